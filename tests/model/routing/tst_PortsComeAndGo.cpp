// Devices come and go while a setup runs: a synth or keyboard unplugged and plugged back heals by
// itself, without the setup changing, and a port seen for the first time can be used at once.
#include "app/StatusManager.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "support/FakeMIDIBackend.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>
#include <thread>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;

namespace {

const QString kKeys = QStringLiteral("Keys");
const QString kSynthA = QStringLiteral("SynthA");
const QString kSynthB = QStringLiteral("SynthB");

QStringList texts(const QSignalSpy& spy)
{
    QStringList result;
    for (const QList<QVariant>& call : spy)
        result << call.at(0).toString();
    return result;
}

// Keys (any channel) into one output whose patch sends on SynthA channel 1 with program 5 as its
// initializer, and a second patch on SynthB channel 2. Saved state: nothing modified.
struct Rig
{
    MIDIRoutingSetup setup{QStringLiteral("S"), nullptr};
    MIDIRoute* route = nullptr;
    MIDIOutput* output = nullptr;
    MIDIPatchTarget* patchA = nullptr;
    MIDIPatchTarget* patchB = nullptr;

    Rig()
    {
        route = setup.createNewMIDIRoute(false);
        route->setMIDIInputPortName(kKeys);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        output = route->getMIDIOutputAtIndex(0);
        patchA = output->getMIDIPatchTargetAtIndex(0);
        patchA->setMIDIOutputPortName(kSynthA);
        patchA->setMIDIChannel(0);
        patchA->addMIDIPatchInitializer(createPCInitializer(5, nullptr));
        patchB = output->createNewMIDIPatchTarget(false, kSynthB);
        patchB->setMIDIChannel(1);
        setup.setModified(false);
        RoutingTestRig::clearSent();
    }
};

} // namespace

class PortsComeAndGoTest : public QObject
{
    Q_OBJECT

    FakeMIDIBackend* _backend = nullptr;
    MIDIPortInfo* _info = nullptr;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QMap<QString, QVariant> aliases;
        aliases.insert(QStringLiteral("SynthLate"), QVariant(QStringLiteral("Late Strings")));
        setMapPrefValue(PrefKeys::MIDIOutputPortNameAliases, aliases);
        RoutingTestRig::install();
        _backend = RoutingTestRig::backend();
        _info = MIDIPortInfo::GetInstance();
    }

    void synthUnpluggedAndPluggedBackGetsTheNextNotes()
    {
        Rig rig;
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        QSignalSpy statuses(StatusManager::GetInstance(),
                            qOverload<QString, int>(&StatusManager::statusMessagePosted));
        const int indexBefore = _info->getIndexOfOutputPortNamed(kSynthA);
        RoutingTestRig::play(kKeys, {0x90, 60, 100});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 60, 100}}));
        QCOMPARE(rig.patchA->getNumNotesSounding(), 1);

        _backend->removeOutputPort(kSynthA);
        QVERIFY(_info->refreshPorts());
        QCOMPARE(warnings.count(), 1);
        QVERIFY2(texts(warnings).first().contains(QStringLiteral("\"SynthA\"")),
                 qPrintable(texts(warnings).first()));
        // The setup is as it was: same port name, nothing to save. The note there is forgotten.
        QCOMPARE(rig.patchA->getMIDIOutputPortName(), kSynthA);
        QVERIFY(!rig.setup.isModified());
        QCOMPARE(rig.patchA->getNumNotesSounding(), 0);
        QVERIFY(!MIDIPortIOManager::GetInstance()->isOutputPortOpen(kSynthA));
        QVERIFY(!_info->getOutputPortNames().contains(kSynthA));
        QVERIFY(_info->isOutputPortGone(kSynthA));

        // Playing on while it is gone: the other synth still hears, nothing goes to the stale port.
        RoutingTestRig::play(kKeys, {0x80, 60, 0});
        RoutingTestRig::play(kKeys, {0x90, 62, 90});
        QCOMPARE(RoutingTestRig::takeSent(kSynthB), Sent({{0x91, 60, 100}, {0x81, 60, 0}, {0x91, 62, 90}}));
        QCOMPARE(_backend->staleSendCount(), 0);
        QCOMPARE(rig.patchA->getNumNotesSounding(), 0);

        _backend->addOutputPort(kSynthA);
        QVERIFY(_info->refreshPorts());
        QCOMPARE(_info->getIndexOfOutputPortNamed(kSynthA), indexBefore);
        QVERIFY(MIDIPortIOManager::GetInstance()->isOutputPortOpen(kSynthA));
        QVERIFY2(texts(statuses).join(QLatin1Char('|')).contains(QStringLiteral("\"SynthA\" is back")),
                 qPrintable(texts(statuses).join(QLatin1Char('|'))));
        QCOMPARE(warnings.count(), 1);
        // The synth may have started afresh: its program is sent again, then it hears the next notes.
        RoutingTestRig::play(kKeys, {0x80, 62, 0});
        RoutingTestRig::play(kKeys, {0x90, 64, 80});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0xC0, 5}, {0x80, 62, 0}, {0x90, 64, 80}}));
        QVERIFY(!rig.setup.isModified());
        RoutingTestRig::play(kKeys, {0x80, 64, 0});
        RoutingTestRig::clearSent();
    }

    void keyboardUnpluggedEndsItsNotesAndIsListenedToWhenBack()
    {
        Rig rig;
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        RoutingTestRig::play(kKeys, {0x90, 48, 100});
        RoutingTestRig::clearSent();

        _backend->removeInputPort(kKeys);
        QVERIFY(_info->refreshPorts());
        // Its note off can never come: the note is ended now, on each synth where it sounds.
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x80, 48, 127}}));
        QCOMPARE(RoutingTestRig::takeSent(kSynthB), Sent({{0x81, 48, 127}}));
        QCOMPARE(warnings.count(), 1);
        QVERIFY(texts(warnings).first().contains(QStringLiteral("\"Keys\"")));
        QCOMPARE(rig.route->getMIDIInputPortName(), kKeys);
        QVERIFY(!rig.setup.isModified());
        QVERIFY(!MIDIPortIOManager::GetInstance()->isInputPortOpen(kKeys));

        _backend->addInputPort(kKeys);
        QVERIFY(_info->refreshPorts());
        QVERIFY(MIDIPortIOManager::GetInstance()->isInputPortOpen(kKeys));
        RoutingTestRig::play(kKeys, {0x90, 50, 70});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 50, 70}}));
        RoutingTestRig::play(kKeys, {0x80, 50, 0});
        RoutingTestRig::clearSent();
    }

    void aPortAppearingAfterStartIsListedAndUsable()
    {
        Rig rig;
        QSignalSpy changed(_info, &MIDIPortInfo::portCatalogueChanged);
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        const int serviceIndex = _backend->addOutputPort(QStringLiteral("SynthD"));
        QVERIFY(_info->refreshPorts());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(warnings.count(), 0);
        QCOMPARE(_info->getOutputPortNames().last(), QStringLiteral("SynthD"));
        QCOMPARE(_info->getIndexOfOutputPortNamed(QStringLiteral("SynthD")), serviceIndex);
        QVERIFY(rig.patchB->setMIDIOutputPortName(QStringLiteral("SynthD")));
        RoutingTestRig::play(kKeys, {0x90, 70, 60});
        QCOMPARE(_backend->sentMessages(serviceIndex), std::vector<Bytes>({{0x91, 70, 60}}));
        RoutingTestRig::play(kKeys, {0x80, 70, 0});
        // Nothing changed: no signal.
        QVERIFY(!_info->refreshPorts());
        QCOMPARE(changed.count(), 1);
        RoutingTestRig::clearSent();
    }

    void indexesStayPutWhilePortsComeAndGo()
    {
        const int synthB = _info->getIndexOfOutputPortNamed(kSynthB);
        const int keys = _info->getIndexOfInputPortNamed(kKeys);
        _backend->removeOutputPort(kSynthB);
        _backend->removeInputPort(kKeys);
        _backend->addOutputPort(QStringLiteral("SynthE"));
        QVERIFY(_info->refreshPorts());
        QCOMPARE(_info->getIndexOfOutputPortNamed(kSynthB), synthB);
        QCOMPARE(_info->getNameOfOutputPortAtIndex(synthB), kSynthB);
        QVERIFY(!_info->hasOutputPortNamed(kSynthB));
        QVERIFY(!_info->getInputPortNames().contains(kKeys));
        const int synthE = _info->getIndexOfOutputPortNamed(QStringLiteral("SynthE"));
        QCOMPARE(synthE, _info->getOutputPortIndexCount() - 1);
        _backend->addOutputPort(kSynthB);
        _backend->addInputPort(kKeys);
        QVERIFY(_info->refreshPorts());
        QCOMPARE(_info->getIndexOfOutputPortNamed(kSynthB), synthB);
        QCOMPARE(_info->getIndexOfInputPortNamed(kKeys), keys);
        QCOMPARE(_info->getIndexOfOutputPortNamed(QStringLiteral("SynthE")), synthE);
        QVERIFY(_info->hasOutputPortNamed(kSynthB));
    }

    void anUnusedPortGoingSaysNothing()
    {
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        QSignalSpy changed(_info, &MIDIPortInfo::portCatalogueChanged);
        _backend->removeOutputPort(QStringLiteral("SynthC"));
        QVERIFY(_info->refreshPorts());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(warnings.count(), 0);
        _backend->addOutputPort(QStringLiteral("SynthC"));
        QVERIFY(_info->refreshPorts());
    }

    void aDisplayNameOutlivesItsPortsAbsence()
    {
        const QString synthC = QStringLiteral("SynthC");
        _info->setOutputPortAlias(synthC, QStringLiteral("Strings"));
        _backend->removeOutputPort(synthC);
        QVERIFY(_info->refreshPorts());
        QVERIFY(!_info->doesOutputPortHaveAnAlias(synthC));
        QCOMPARE(_info->getAliasOfUnavailableOutputPortNamed(synthC), QStringLiteral("Strings"));
        QCOMPARE(_info->getOutputPortAliasedTo(QStringLiteral("Strings")), QString());
        _info->updateAliasesInPrefs();
        QCOMPARE(getMapPrefValue(PrefKeys::MIDIOutputPortNameAliases).value(synthC).toString(),
                 QStringLiteral("Strings"));
        _backend->addOutputPort(synthC);
        QVERIFY(_info->refreshPorts());
        QCOMPARE(_info->getOutputPortAlias(synthC), QStringLiteral("Strings"));
        QCOMPARE(_info->getOutputPortAliasedTo(QStringLiteral("Strings")), synthC);
    }

    void aPortFirstSeenLateTakesItsStoredDisplayName()
    {
        QVERIFY(!_info->doesOutputPortHaveAnAlias(QStringLiteral("SynthLate")));
        _backend->addOutputPort(QStringLiteral("SynthLate"));
        QVERIFY(_info->refreshPorts());
        QCOMPARE(_info->getOutputPortAlias(QStringLiteral("SynthLate")), QStringLiteral("Late Strings"));
    }

    void theCatalogueNoticesByItselfWithinASecondOrTwo()
    {
        QSignalSpy changed(_info, &MIDIPortInfo::portCatalogueChanged);
        _backend->addInputPort(QStringLiteral("Drums"));
        QTRY_VERIFY_WITH_TIMEOUT(_info->getInputPortNames().contains(QStringLiteral("Drums")), 2500);
        QCOMPARE(changed.count(), 1);
    }

    void aBackendThreadCanAskForARescan()
    {
        _info->setPollInterval(0); // only the request can bring the news
        QSignalSpy changed(_info, &MIDIPortInfo::portCatalogueChanged);
        _backend->addInputPort(QStringLiteral("Pedals"));
        std::thread notifier([] {
            for (int i = 0; i < 5; ++i)
                MIDIPortInfo::requestPortRescan();
        });
        notifier.join();
        QTRY_VERIFY_WITH_TIMEOUT(_info->getInputPortNames().contains(QStringLiteral("Pedals")), 1000);
        QCOMPARE(changed.count(), 1);
        _info->setPollInterval(1000);
    }
};

QTEST_GUILESS_MAIN(PortsComeAndGoTest)
#include "tst_PortsComeAndGo.moc"
