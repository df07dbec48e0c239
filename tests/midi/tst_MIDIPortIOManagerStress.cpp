#include "midi/MIDIPortIOManager.h"
#include "support/FakeMIDIBackend.h"
#include "support/PortChurn.h"
#include "support/TestPrefs.h"

#include <QTest>

// A user editing the setup while two keyboards play without pause, on the fake service: every thread
// here is visible to ThreadSanitizer, so a delivery that touches a table being changed is reported.
class MIDIPortIOManagerStressTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QVERIFY(FakeMIDIBackend::install({"Keys", "Pads", "Wind"}, {"Synth", "Sampler"}));
    }

    void editingWhileKeyboardsPlayNeverCallsARemovedRoute()
    {
        auto* fake = static_cast<FakeMIDIBackend*>(MIDIBackend::GetInstance());
        long operations = 0;
        long violations = 0;
        long handlerCalls = 0;
        long streamed = 0;
        {
            PortChurn churn({"Keys", "Pads", "Wind"}, {"Synth", "Sampler"}, 1, 0);
            fake->startInjecting(0, {0x90, 0x3C, 0x64});
            fake->startInjecting(1, {0x89, 0x24, 0x00});
            operations = churn.run(std::chrono::milliseconds(2000));
            streamed = fake->stopInjecting();
            violations = churn.violations();
            handlerCalls = churn.handlerCalls();
        }
        QVERIFY(operations > 100);
        QCOMPARE(violations, 0L);
        QVERIFY(streamed > 0);
        QVERIFY(handlerCalls > 0);
        QVERIFY(fake->sentMessageCount(0) > 0); // routes on the MIDI threads reached the synth
        QVERIFY(fake->sentMessageCount(1) > 0); // and the GUI thread's own sends the sampler
        QCOMPARE(fake->liveInputPortObjects(), 0);
        QCOMPARE(fake->liveOutputPortObjects(), 0);
        QVERIFY(!MIDIPortIOManager::GetInstance()->isIOSuspended());
    }
};

QTEST_GUILESS_MAIN(MIDIPortIOManagerStressTest)
#include "tst_MIDIPortIOManagerStress.moc"
