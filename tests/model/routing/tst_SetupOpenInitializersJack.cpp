// A setup opened on the private JACK server: the synth hears the active sound's initializers
// exactly once, before the first note played through it, and not at all with the preference off;
// a synth port that comes back later hears them once more, from the reconnection alone.
#include "midi/MIDIPortInfo.h"
#include "midi/RtMidiBackend.h"
#include "midi/RtMidiGraveyard.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "persistence/SetupFileReaderWriter.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/TestPrefs.h"

#include <QTest>
#include <memory>

class SetupOpenInitializersJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synthA;
    std::unique_ptr<JackTestClient> _synthB;
    QByteArray _document;

    // Opens the document as every way of opening a setup does: read, then made current.
    void open()
    {
        auto* setup = new MIDIRoutingSetup(QString(), nullptr);
        QVERIFY(SetupFileReaderWriter::GetInstance()->readSetupFromDocumentBytes(setup, _document,
                                                                                 QStringLiteral("gig")));
        MIDIRoutingSetupManager::GetInstance()->setCurrentRoutingSetup(setup, true);
    }

    // Plays a note until synth B hears it (a loaded server may drop a period).
    bool playUntilBHears()
    {
        const bool heard = _keys->sendUntilReceived({0x90, 60, 99}, *_synthB, {0x90, 60, 99});
        _keys->send({0x80, 60, 0});
        return heard;
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(RtMidiBackend::setPreferredApi(QStringLiteral("jack")));
        registerBuiltInInitializers();
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QoKeys"), QStringLiteral("out"), QString());
        _synthA =
            std::make_unique<JackTestClient>(QStringLiteral("QoSynthA"), QString(), QStringLiteral("in"));
        _synthB =
            std::make_unique<JackTestClient>(QStringLiteral("QoSynthB"), QString(), QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _synthA.get(), _synthB.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));

        // Output A first (program 4 on synth A), output B active (program 16 on synth B, every
        // channel); the document is all that is kept.
        MIDIRoutingSetup source(QStringLiteral("Gig"), nullptr);
        MIDIRoute* route = source.createNewMIDIRoute(false);
        route->setMIDIInputPortName(_keys->sourcePortName());
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        MIDIOutput* a = route->getMIDIOutputAtIndex(0);
        a->setMainActivationValue(36);
        a->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(_synthA->sinkPortName());
        a->getMIDIPatchTargetAtIndex(0)->addMIDIPatchInitializer(createPCInitializer(4, nullptr));
        MIDIOutput* b = route->createNewMIDIOutput(false);
        b->setMainActivationValue(38);
        MIDIPatchTarget* patchB = b->getMIDIPatchTargetAtIndex(0);
        patchB->setMIDIOutputPortName(_synthB->sinkPortName());
        patchB->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
        patchB->addMIDIPatchInitializer(createPCInitializer(16, nullptr));
        _document = SetupFileReaderWriter::setupDocumentBytes(&source);
    }

    void cleanup()
    {
        MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setBoolPrefValue(PrefKeys::SendInitializersWhenSetupOpens, true);
        QTest::qWait(300);
    }

    void openingSendsTheActiveSoundOnceBeforeTheFirstNote_data()
    {
        QTest::addColumn<bool>("preference");
        QTest::newRow("preference on") << true;
        QTest::newRow("preference off") << false;
    }
    void openingSendsTheActiveSoundOnceBeforeTheFirstNote()
    {
        QFETCH(bool, preference);
        setBoolPrefValue(PrefKeys::SendInitializersWhenSetupOpens, preference);
        _synthA->clearReceived();
        _synthB->clearReceived();
        open();
        QVERIFY(playUntilBHears());
        QTest::qWait(300);
        const int program = _synthB->indexOf({0xC0, 16});
        if (preference) {
            QCOMPARE(_synthB->countOf({0xC0, 16}), 1);
            QVERIFY(program >= 0 && program < _synthB->indexOf({0x90, 60, 99}));
        } else {
            QCOMPARE(program, -1);
        }
        // The sound that is not active was never set.
        QCOMPARE(_synthA->receivedCount(), 0);
    }

    // Synth B's program goes away after the setup opened and comes back: the reconnection sets
    // its sound again, once, and the opening of the setup does not send a second time.
    void aPortThatComesBackHearsTheSoundOnce()
    {
        _synthA->clearReceived();
        _synthB->clearReceived();
        open();
        QVERIFY(playUntilBHears());
        QTRY_COMPARE_WITH_TIMEOUT(_synthB->countOf({0xC0, 16}), 1, 2000);

        const QString name = _synthB->sinkPortName();
        _synthB.reset();
        RtMidiGraveyard::releaseAll(); // the JACK name is free again at once
        QTRY_VERIFY_WITH_TIMEOUT(MIDIPortInfo::GetInstance()->isOutputPortGone(name), 3000);
        _synthB =
            std::make_unique<JackTestClient>(QStringLiteral("QoSynthB"), QString(), QStringLiteral("in"));
        QVERIFY2(_synthB->isValid(), qPrintable(_synthB->errorText()));
        QCOMPARE(_synthB->sinkPortName(), name);
        QTRY_COMPARE_WITH_TIMEOUT(_synthB->countOf({0xC0, 16}), 1, 10000);
        QVERIFY(playUntilBHears());
        QTest::qWait(1500); // another rescan or two: nothing is sent again
        QCOMPARE(_synthB->countOf({0xC0, 16}), 1);
        QVERIFY(_synthB->indexOf({0xC0, 16}) < _synthB->indexOf({0x90, 60, 99}));
        QCOMPARE(_synthA->receivedCount(), 0);
    }

    void cleanupTestCase()
    {
        _keys.reset();
        _synthA.reset();
        _synthB.reset();
    }
};

QTEST_GUILESS_MAIN(SetupOpenInitializersJackTest)
#include "tst_SetupOpenInitializersJack.moc"
