// Devices unplugged and plugged back on the private JACK server while a setup runs: the setup
// heals by itself, as soon as the program's own once-a-second look at the ports notices.
#include "app/StatusManager.h"
#include "midi/MIDIBackend.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "midi/RtMidiBackend.h"
#include "midi/RtMidiGraveyard.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using Bytes = midiMessage_t;

namespace {

QString joined(const QSignalSpy& spy)
{
    QStringList texts;
    for (const QList<QVariant>& call : spy)
        texts << call.at(0).toString();
    return texts.join(QLatin1Char('|'));
}

// Lets a client go so completely that a new one can take its JACK name at once.
void unplug(std::unique_ptr<JackTestClient>& client)
{
    client.reset();
    RtMidiGraveyard::releaseAll();
}

} // namespace

class PortsComeAndGoJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synthA;
    std::unique_ptr<JackTestClient> _synthB;
    std::unique_ptr<MIDIRoutingSetup> _setup;
    MIDIPatchTarget* _patchA = nullptr;
    MIDIPatchTarget* _patchB = nullptr;
    QString _keysName;
    QString _synthAName;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(RtMidiBackend::setPreferredApi(QStringLiteral("jack")));
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QhKeys"), QStringLiteral("out"), QString());
        _synthA =
            std::make_unique<JackTestClient>(QStringLiteral("QhSynthA"), QString(), QStringLiteral("in"));
        _synthB =
            std::make_unique<JackTestClient>(QStringLiteral("QhSynthB"), QString(), QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _synthA.get(), _synthB.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));
        _keysName = _keys->sourcePortName();
        _synthAName = _synthA->sinkPortName();
        QCOMPARE(MIDIBackend::GetInstance()->getApiName(), QStringLiteral("JACK"));

        // Keys into synth A on channel 1 (program 5 first) and synth B on channel 2.
        _setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Gig"), nullptr);
        MIDIRoute* route = _setup->createNewMIDIRoute(false);
        route->setMIDIInputPortName(_keysName);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        MIDIOutput* output = route->getMIDIOutputAtIndex(0);
        _patchA = output->getMIDIPatchTargetAtIndex(0);
        _patchA->setMIDIOutputPortName(_synthAName);
        _patchA->setMIDIChannel(0);
        _patchA->addMIDIPatchInitializer(createPCInitializer(5, nullptr));
        _patchB = output->createNewMIDIPatchTarget(false, _synthB->sinkPortName());
        _patchB->setMIDIChannel(1);
        _setup->setModified(false);
        JackTestClient::letConnectionsSettle();
        QVERIFY(_keys->sendUntilReceived({0x90, 30, 1}, *_synthA, {0x90, 30, 1}));
        _keys->send({0x80, 30, 0});
        QTest::qWait(300);
    }

    void theProgramsOwnPortsAreNeverListed()
    {
        QTest::qWait(1200); // at least one look at the ports since they were opened
        const QStringList all = MIDIPortInfo::GetInstance()->getInputPortNames() +
                                MIDIPortInfo::GetInstance()->getOutputPortNames();
        for (const QString& name : all)
            QVERIFY2(!name.startsWith(QStringLiteral("RtMidi ")), qPrintable(name));
    }

    void synthUnpluggedAndPluggedBackGetsTheNextNotes()
    {
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        QSignalSpy statuses(StatusManager::GetInstance(),
                            qOverload<QString, int>(&StatusManager::statusMessagePosted));
        QVERIFY(_keys->sendUntilReceived({0x90, 60, 100}, *_synthA, {0x90, 60, 100}));

        // The cable is pulled with the note held.
        unplug(_synthA);
        QTRY_VERIFY_WITH_TIMEOUT(MIDIPortInfo::GetInstance()->isOutputPortGone(_synthAName), 3000);
        QCOMPARE(warnings.count(), 1);
        QVERIFY2(joined(warnings).contains(_synthAName), qPrintable(joined(warnings)));
        QCOMPARE(_patchA->getNumNotesSounding(), 0);
        QCOMPARE(_patchA->getMIDIOutputPortName(), _synthAName);
        QVERIFY(!_setup->isModified());

        // Nothing blocks meanwhile: the other synth hears the note end and the next one.
        _keys->send({0x80, 60, 0});
        QVERIFY(_keys->sendUntilReceived({0x90, 62, 90}, *_synthB, {0x91, 62, 90}));
        _keys->send({0x80, 62, 0});
        QTest::qWait(1500);

        // Plugged back under the same name.
        _synthA =
            std::make_unique<JackTestClient>(QStringLiteral("QhSynthA"), QString(), QStringLiteral("in"));
        QVERIFY2(_synthA->isValid(), qPrintable(_synthA->errorText()));
        QCOMPARE(_synthA->sinkPortName(), _synthAName);
        QTRY_VERIFY_WITH_TIMEOUT(MIDIPortIOManager::GetInstance()->isOutputPortOpen(_synthAName), 3000);
        QVERIFY2(joined(statuses).contains(_synthAName + QStringLiteral("\" is back")),
                 qPrintable(joined(statuses)));
        QTRY_VERIFY(_synthA->hasReceived({0xC0, 5}));
        JackTestClient::letConnectionsSettle();
        QVERIFY(_keys->sendUntilReceived({0x90, 64, 80}, *_synthA, {0x90, 64, 80}));
        _keys->send({0x80, 64, 0});
        // The synth started afresh and was given its program again, before any note.
        QTRY_VERIFY(!_synthA->receivedMessages().empty());
        QCOMPARE(_synthA->receivedMessages().front().bytes, Bytes({0xC0, 5}));
        QCOMPARE(warnings.count(), 1);
        QVERIFY(!_setup->isModified());
        QTest::qWait(200);
    }

    void keyboardUnpluggedAndPluggedBackIsListenedToAgain()
    {
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        _synthA->clearReceived();
        QVERIFY(_keys->sendUntilReceived({0x90, 48, 100}, *_synthA, {0x90, 48, 100}));

        unplug(_keys);
        QTRY_VERIFY_WITH_TIMEOUT(MIDIPortInfo::GetInstance()->isInputPortGone(_keysName), 3000);
        // Its note off can never come now: the note is ended for it.
        QTRY_VERIFY(_synthA->hasReceived({0x80, 48, 127}));
        QCOMPARE(warnings.count(), 1);
        QVERIFY(joined(warnings).contains(_keysName));
        QTest::qWait(1500);

        _keys = std::make_unique<JackTestClient>(QStringLiteral("QhKeys"), QStringLiteral("out"), QString());
        QVERIFY2(_keys->isValid(), qPrintable(_keys->errorText()));
        QTRY_VERIFY_WITH_TIMEOUT(MIDIPortIOManager::GetInstance()->isInputPortOpen(_keysName), 3000);
        JackTestClient::letConnectionsSettle();
        QVERIFY(_keys->sendUntilReceived({0x90, 50, 70}, *_synthA, {0x90, 50, 70}));
        _keys->send({0x80, 50, 0});
        QVERIFY(!_setup->isModified());
        QTest::qWait(200);
    }

    void aSynthStartedAfterTheProgramIsListedAndUsable()
    {
        auto synthC =
            std::make_unique<JackTestClient>(QStringLiteral("QhSynthC"), QString(), QStringLiteral("in"));
        QVERIFY2(synthC->isValid(), qPrintable(synthC->errorText()));
        QSignalSpy changed(MIDIPortInfo::GetInstance(), &MIDIPortInfo::portCatalogueChanged);
        QTRY_VERIFY_WITH_TIMEOUT(
            MIDIPortInfo::GetInstance()->getOutputPortNames().contains(synthC->sinkPortName()), 3000);
        QVERIFY(changed.count() >= 1);
        QVERIFY(_patchB->setMIDIOutputPortName(synthC->sinkPortName()));
        JackTestClient::letConnectionsSettle();
        QVERIFY(_keys->sendUntilReceived({0x90, 72, 60}, *synthC, {0x91, 72, 60}));
        _keys->send({0x80, 72, 0});
        QTest::qWait(200);
        _patchB->setMIDIOutputPortName(_synthB->sinkPortName());
    }

    void cleanupTestCase()
    {
        _setup.reset();
        MIDIPortIOManager::GetInstance()->removeAllPortRequirements();
        _keys.reset();
        _synthA.reset();
        _synthB.reset();
        RtMidiGraveyard::releaseAll();
    }
};

QTEST_GUILESS_MAIN(PortsComeAndGoJackTest)
#include "tst_PortsComeAndGoJack.moc"
