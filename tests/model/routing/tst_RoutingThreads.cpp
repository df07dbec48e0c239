// The GUI thread edits the setup while another thread plays into it, as a MIDI thread does. Run
// under ThreadSanitizer this shows the locking is sound; in any build it shows nothing hangs.
#include "model/routing/GestureState.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "support/FakeMIDIBackend.h"
#include "support/HangingNotesChecker.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"
#include "support/TestTransforms.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <atomic>
#include <thread>

namespace {

const QStringList kSynths = {QStringLiteral("SynthA"), QStringLiteral("SynthB"), QStringLiteral("SynthC")};

// Stops the player thread, then hears the last of what went out.
void stopPlayer(std::atomic<bool>& stop, std::thread& player, HangingNotesChecker& checker)
{
    stop.store(true);
    player.join();
    QCoreApplication::processEvents();
    checker.collectFromRig(kSynths);
}

} // namespace

class RoutingThreadsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
    }

    void editingWhilePlayingLeavesNothingHanging()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        route->getMIDIOutputAtIndex(0)->setMainActivationValue(24);
        route->createNewMIDIOutput(false)->setMainActivationValue(25);
        RoutingTestRig::clearSent();

        // The player: note on, note off, now and then a keyswitch, on its own thread.
        std::atomic<bool> stop{false};
        std::atomic<long> played{0};
        FakeMIDIBackend* backend = RoutingTestRig::backend();
        const int keys = RoutingTestRig::inputIndex(QStringLiteral("Keys"));
        std::thread player([&] {
            QRandomGenerator random(17);
            while (!stop.load()) {
                const BYTE note = BYTE(random.bounded(36, 96));
                backend->injectInputMessage(keys, {0x91, note, 100});
                if (random.bounded(10) == 0) {
                    const BYTE keyswitch = BYTE(24 + random.bounded(2));
                    backend->injectInputMessage(keys, {0x91, keyswitch, 100});
                    backend->injectInputMessage(keys, {0x81, keyswitch, 0});
                }
                backend->injectInputMessage(keys, {0x81, note, 0});
                played.fetch_add(1);
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        });

        // The user, on the GUI thread.
        QRandomGenerator random(4711);
        HangingNotesChecker checker;
        QElapsedTimer clock;
        clock.start();
        for (int step = 0; (step < 1500 || played.load() < 3000) && clock.elapsed() < 5000; ++step) {
            MIDIOutput* output = route->getMIDIOutputAtIndex(random.bounded(int(route->getNumMIDIOutputs())));
            MIDIPatchTarget* patch =
                output->getMIDIPatchTargetAtIndex(random.bounded(int(output->getNumMIDIPatchTargets())));
            switch (random.bounded(11)) {
            case 0:
                output->createNewMIDIPatchTarget(false, kSynths.at(random.bounded(3)));
                break;
            case 1:
                output->removeMIDIPatchTarget(patch, true);
                break;
            case 2:
                patch->addMIDIDataTransform(new ShiftingTestTransform(random.bounded(-5, 6)));
                break;
            case 3:
                if (patch->getNumMIDIDataTransforms() > 0)
                    patch->removeMIDIDataTransform(patch->getMIDIDataTransformAtIndex(0), true);
                break;
            case 4:
                output->moveMIDIPatchTargetToIndex(patch, 0);
                break;
            case 5:
                patch->muteToggle();
                break;
            case 6:
                output->setActive(true);
                break;
            case 7:
                if (route->getNumMIDIOutputs() < 4)
                    route->createNewMIDIOutput(false);
                else
                    route->removeMIDIOutput(output, true);
                break;
            case 8:
                patch->setMIDIChannel(BYTE(random.bounded(3)));
                break;
            case 9:
                patch->setMIDIOutputPortName(kSynths.at(random.bounded(3)));
                break;
            default: {
                const BYTE note = BYTE(random.bounded(36, 96));
                route->injectNoteOnMessage(note, 90);
                route->injectNoteOffMessage(note);
                break;
            }
            }
            QCoreApplication::processEvents();
            checker.collectFromRig(kSynths);
        }
        stopPlayer(stop, player, checker);

        QVERIFY(played.load() > 100);
        QVERIFY(checker.noteOnsHeard() > 100);
        QCOMPARE(checker.hanging(), QString());
    }

    // Pedals, bend and wheels stream from the MIDI thread with keyswitches among them, while the
    // user switches sounds and panics. Once the player brings every gesture back to rest, every
    // port has heard every gesture at rest on every channel it was moved on.
    void gesturesStreamingThroughSwitchesAndPanicsEndAtRestEverywhere()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        route->getMIDIOutputAtIndex(0)->setMainActivationValue(24);
        route->createNewMIDIOutput(false)->setMainActivationValue(25);
        route->createNewMIDIOutput(false)->setMainActivationValue(26);
        route->getMIDIOutputAtIndex(2)->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(kSynths.at(1));
        RoutingTestRig::clearSent();

        const midiMessage_t gestures[] = {{0xB0, 64, 0},   {0xB0, 66, 0}, {0xB0, 67, 0},
                                          {0xE0, 0, 0x40}, {0xB0, 1, 0},  {0xB0, 2, 0}};
        std::atomic<bool> stop{false};
        std::atomic<long> played{0};
        FakeMIDIBackend* backend = RoutingTestRig::backend();
        const int keys = RoutingTestRig::inputIndex(QStringLiteral("Keys"));
        std::thread player([&] {
            QRandomGenerator random(23);
            while (!stop.load()) {
                midiMessage_t message = gestures[random.bounded(6)];
                message[0] = BYTE(message[0] | random.bounded(2));
                // A third of the values are the gesture's rest (0, or the bend's centre).
                if (random.bounded(3) != 0)
                    message[2] = BYTE(random.bounded(128));
                backend->injectInputMessage(keys, message);
                if (random.bounded(8) == 0)
                    backend->injectInputMessage(keys, {0x90, BYTE(24 + random.bounded(3)), 100});
                played.fetch_add(1);
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        });

        QMap<QString, GestureState> heard;
        auto collect = [&heard] {
            for (const QString& port : kSynths) {
                for (const midiMessage_t& message : RoutingTestRig::takeSent(port))
                    heard[port].record(&message);
            }
        };
        QRandomGenerator random(99);
        QElapsedTimer clock;
        clock.start();
        for (int step = 0; (step < 800 || played.load() < 2000) && clock.elapsed() < 5000; ++step) {
            const int choice = random.bounded(10);
            if (choice == 0)
                route->panic();
            else if (choice == 1)
                route->getMIDIOutputAtIndex(random.bounded(3))->setMuteStateOfAllPatchesTo(random.bounded(2));
            else
                route->getMIDIOutputAtIndex(random.bounded(3))->setActive(true);
            QCoreApplication::processEvents();
            collect();
        }
        stop.store(true);
        player.join();
        // The hand returns every gesture to rest, on both channels.
        for (midiMessage_t message : gestures) {
            for (BYTE channel = 0; channel < 2; ++channel) {
                message[0] = BYTE((message[0] & 0xF0) | channel);
                RoutingTestRig::play(QStringLiteral("Keys"), message);
            }
        }
        collect();

        QVERIFY(played.load() > 100);
        for (const QString& port : kSynths)
            QVERIFY2(!heard[port].isAnyAwayFromRest(),
                     qPrintable(port + QStringLiteral(" left away from rest")));
    }

    // A keyswitch may activate an output while the user removes it. The route must never be left
    // sending to the removed output: it would keep notes nobody can end, and the output is
    // deleted soon after.
    void removingAnOutputAsItIsKeyswitchedLeavesNoOrphan()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        route->getMIDIOutputAtIndex(0)->setMainActivationValue(24);
        RoutingTestRig::clearSent();

        std::atomic<bool> stop{false};
        FakeMIDIBackend* backend = RoutingTestRig::backend();
        const int keys = RoutingTestRig::inputIndex(QStringLiteral("Keys"));
        std::thread player([&] {
            while (!stop.load()) {
                backend->injectInputMessage(keys, {0x90, 30, 100});
                backend->injectInputMessage(keys, {0x80, 30, 0});
                backend->injectInputMessage(keys, {0x90, 60, 100});
                backend->injectInputMessage(keys, {0x80, 60, 0});
            }
        });

        HangingNotesChecker checker;
        int orphaned = 0;
        for (int round = 0; round < 400; ++round) {
            MIDIOutput* keyswitched = route->createNewMIDIOutput(false);
            keyswitched->setMainActivationValue(30);
            route->getMIDIOutputAtIndex(0)->setActive(true);
            std::this_thread::sleep_for(std::chrono::microseconds(round % 50));
            route->removeMIDIOutput(keyswitched, true);
            MIDIOutput* active = route->getActiveMIDIOutput();
            if (!active || route->getIndexOfMIDIOutput(active) < 0 || keyswitched->isActive())
                ++orphaned;
            QCoreApplication::processEvents();
            checker.collectFromRig(kSynths);
        }
        stopPlayer(stop, player, checker);

        QCOMPARE(orphaned, 0);
        QVERIFY(checker.noteOnsHeard() > 0);
        QCOMPARE(checker.hanging(), QString());
    }
};

QTEST_GUILESS_MAIN(RoutingThreadsTest)
#include "tst_RoutingThreads.moc"
