// A synth and a keyboard come and go every few tens of milliseconds while notes stream in from
// another keyboard on a MIDI thread: nothing races or crashes (run it under ThreadSanitizer), and
// every note on that reached the synth that stayed gets its note off.
#include "midi/MIDIPortInfo.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "support/FakeMIDIBackend.h"
#include "support/HangingNotesChecker.h"
#include "support/MIDIFuzzer.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <atomic>
#include <memory>
#include <thread>

using Bytes = midiMessage_t;

namespace {

const QString kKeys = QStringLiteral("Keys");
const QString kPads = QStringLiteral("Pads");
const QString kSynthA = QStringLiteral("SynthA");
const QString kSynthB = QStringLiteral("SynthB");

} // namespace

class PortsComeAndGoStressTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        MIDIPortInfo::GetInstance()->setPollInterval(0); // the test rescans itself, much faster
    }

    void portsChurnWhileNotesStreamIn()
    {
        FakeMIDIBackend* backend = RoutingTestRig::backend();
        // Keys into SynthA (stays) and SynthB (comes and goes); Pads (comes and goes) into SynthA
        // on another channel.
        auto setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Stress"), nullptr);
        MIDIRoute* keys = setup->createNewMIDIRoute(false);
        keys->setMIDIInputPortName(kKeys);
        keys->setMIDIChannel(MIDIRoute::kAnyChannel);
        MIDIOutput* output = keys->getMIDIOutputAtIndex(0);
        output->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(kSynthA);
        output->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        output->createNewMIDIPatchTarget(false, kSynthB)->setMIDIChannel(1);
        MIDIRoute* pads = setup->createNewMIDIRoute(false);
        pads->setMIDIInputPortName(kPads);
        pads->setMIDIChannel(MIDIRoute::kAnyChannel);
        pads->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(kSynthA);
        pads->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(9);
        RoutingTestRig::clearSent();

        std::atomic<bool> stop{false};
        std::atomic<long> played{0};
        auto stream = [&](const QString& port, BYTE firstNote) {
            const int index = RoutingTestRig::inputIndex(port);
            BYTE note = firstNote;
            while (!stop.load()) {
                backend->injectInputMessage(index, {0x90, note, 100});
                std::this_thread::sleep_for(std::chrono::microseconds(100));
                backend->injectInputMessage(index, {0x80, note, 0});
                note = BYTE(firstNote + (note - firstNote + 1) % 24);
                played.fetch_add(1);
            }
        };
        std::thread keysStream(stream, kKeys, BYTE(40));
        std::thread padsStream(stream, kPads, BYTE(70));

        QRandomGenerator random(19);
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QElapsedTimer clock;
        clock.start();
        int changes = 0;
        bool synthBHere = true;
        bool padsHere = true;
        while (clock.elapsed() < 2500) {
            if (random.bounded(2)) {
                synthBHere ? backend->removeOutputPort(kSynthB) : (void)backend->addOutputPort(kSynthB);
                synthBHere = !synthBHere;
            } else {
                padsHere ? backend->removeInputPort(kPads) : (void)backend->addInputPort(kPads);
                padsHere = !padsHere;
            }
            changes += info->refreshPorts() ? 1 : 0;
            QTest::qWait(10 + random.bounded(40));
        }
        stop.store(true);
        keysStream.join();
        padsStream.join();
        backend->addOutputPort(kSynthB);
        backend->addInputPort(kPads);
        info->refreshPorts();
        QVERIFY2(changes > 20, qPrintable(QString::number(changes)));
        QVERIFY2(played.load() > 200, qPrintable(QString::number(played.load())));

        // The clean stop, then what each synth heard.
        setup.reset();
        HangingNotesChecker stayed;
        for (const Bytes& message : RoutingTestRig::takeSent(kSynthA)) {
            QVERIFY(MIDIFuzzer::isCompleteNonExclusive(message));
            stayed.heard(kSynthA, message);
        }
        QVERIFY2(stayed.noteOnsHeard() > 100, qPrintable(QString::number(stayed.noteOnsHeard())));
        QVERIFY2(stayed.hanging().isEmpty(), qPrintable(stayed.hanging()));
        for (const Bytes& message : RoutingTestRig::takeSent(kSynthB))
            QVERIFY(MIDIFuzzer::isCompleteNonExclusive(message));
    }
};

QTEST_GUILESS_MAIN(PortsComeAndGoStressTest)
#include "tst_PortsComeAndGoStress.moc"
