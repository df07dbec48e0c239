// Nothing the player or the program does may leave a note or a sustain pedal hanging on a port.
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"
#include "support/HangingNotesChecker.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"
#include "support/TestTransforms.h"

#include <QRandomGenerator>
#include <QTest>
#include <memory>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;

namespace {

const QStringList kSynths = {QStringLiteral("SynthA"), QStringLiteral("SynthB"), QStringLiteral("SynthC")};

} // namespace

class LiveSafetyTest : public QObject
{
    Q_OBJECT

private:
    // One input on "Keys" with one output whose patch sends on SynthA channel 3, transposed up 7.
    struct TransposedRig
    {
        MIDIRoutingSetup setup{QStringLiteral("S"), nullptr};
        MIDIRoute* route = nullptr;
        MIDIOutput* output = nullptr;
        MIDIPatchTarget* patch = nullptr;
        MIDIDataTransform* transpose = nullptr;

        TransposedRig()
        {
            route = setup.createNewMIDIRoute(false);
            route->setMIDIChannel(MIDIRoute::kAnyChannel);
            output = route->getMIDIOutputAtIndex(0);
            patch = output->getMIDIPatchTargetAtIndex(0);
            patch->setMIDIOutputPortName(QStringLiteral("SynthA"));
            patch->setMIDIChannel(2);
            transpose = patch->createNewMIDIDataTransform(QStringLiteral("Transpose"));
            transpose->setInt1(7);
            // A second patch so the first can be removed.
            output->createNewMIDIPatchTarget(false, QStringLiteral("SynthC"));
            RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
            QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x92, 67, 100}}));
            RoutingTestRig::clearSent();
        }
    };

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInTransforms();
        registerBuiltInInitializers();
    }

    // What an earlier test's setup sent as it went is no concern of the next one.
    void init() { RoutingTestRig::clearSent(); }

    void initializerNoteSoundsOnceHoweverOftenItsOutputIsChosen()
    {
        // Output A's patch starts a drone note when A is chosen; it has no "Note Off" initializer.
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        MIDIOutput* a = route->getMIDIOutputAtIndex(0);
        a->setMainActivationValue(24);
        MIDIPatchTarget* drone = a->getMIDIPatchTargetAtIndex(0);
        drone->setMIDIOutputPortName(QStringLiteral("SynthA"));
        drone->setMIDIChannel(0);
        MIDIPatchInitializer* noteOn = drone->createNewMIDIPatchInitializer(QStringLiteral("Note On"));
        QVERIFY(noteOn);
        MIDIOutput* b = route->createNewMIDIOutput(false);
        b->setMainActivationValue(25);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthB"));
        RoutingTestRig::clearSent();

        for (int i = 0; i < 3; ++i) {
            RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 24, 100});
            RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 25, 100});
        }
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")),
                 Sent({{0x90, 0x0C, 0x7F}, {0x90, 0x0C, 0x7F}, {0x90, 0x0C, 0x7F}}));
        QCOMPARE(drone->getNumNotesSounding(), 1);
        drone->setMuted(true);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x80, 0x0C, 127}}));
    }

    void notePlayedAfterManyActivationsIsNotPrecededByANoteOff()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        MIDIOutput* a = route->getMIDIOutputAtIndex(0);
        a->setMainActivationValue(24);
        MIDIPatchTarget* drone = a->getMIDIPatchTargetAtIndex(0);
        drone->setMIDIOutputPortName(QStringLiteral("SynthA"));
        drone->setMIDIChannel(0);
        QVERIFY(drone->createNewMIDIPatchInitializer(QStringLiteral("Note On")));
        MIDIOutput* b = route->createNewMIDIOutput(false);
        b->setMainActivationValue(25);
        for (int i = 0; i < 600; ++i) {
            RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 24, 100});
            RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 25, 100});
        }
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 24, 100});
        RoutingTestRig::clearSent();
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x90, 60, 100}}));
    }

    void mutingEndsTheTransposedNote()
    {
        TransposedRig rig;
        rig.patch->setMuted(true);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x82, 67, 127}}));
        RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 60, 0});
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
    }

    void removingThePatchEndsTheTransposedNote()
    {
        TransposedRig rig;
        rig.output->removeMIDIPatchTarget(rig.patch, true);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x82, 67, 127}}));
        RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 60, 0});
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
    }

    void removingTheOutputEndsTheTransposedNote()
    {
        TransposedRig rig;
        rig.route->createNewMIDIOutput(false);
        RoutingTestRig::clearSent();
        rig.route->removeMIDIOutput(rig.output, true);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x82, 67, 127}}));
    }

    void stoppingEndsTheTransposedNoteOnce()
    {
        TransposedRig rig;
        rig.setup.endSoundingNotes();
        rig.setup.endSoundingNotes();
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x82, 67, 127}}));
    }

    void panicEndsTheNoteThenReleasesPedalsAndSilencesEveryChannel()
    {
        TransposedRig rig;
        rig.setup.panic();
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")),
                 Sent({{0x82, 67, 127}, {0xB2, 64, 0}, {0xB2, 123, 0}}));
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthC")),
                 Sent({{0x83, 60, 127}, {0xB3, 64, 0}, {0xB3, 123, 0}}));
    }

    void panicCentresABendLeftHanging()
    {
        TransposedRig rig;
        RoutingTestRig::play(QStringLiteral("Keys"), {0xE0, 0x00, 0x60}); // bent up, held there
        RoutingTestRig::clearSent();
        rig.setup.panic();
        // The bend is brought to rest with the notes, before the pedal up and All Notes Off.
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")),
                 Sent({{0x82, 67, 127}, {0xE2, 0x00, 0x40}, {0xB2, 64, 0}, {0xB2, 123, 0}}));
        // The second patch of the output got the bend too, on its own channel.
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthC")),
                 Sent({{0x83, 60, 127}, {0xE3, 0x00, 0x40}, {0xB3, 64, 0}, {0xB3, 123, 0}}));
        // A patch that never bent anything gets no bend.
        MIDIPatchTarget* quiet = rig.output->createNewMIDIPatchTarget(false, QStringLiteral("SynthB"));
        quiet->setMIDIChannel(5);
        RoutingTestRig::clearSent();
        rig.setup.panic();
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")), Sent({{0xB5, 64, 0}, {0xB5, 123, 0}}));
        RoutingTestRig::clearSent();
    }

    void panicLeavesACentredBendAlone()
    {
        TransposedRig rig;
        RoutingTestRig::play(QStringLiteral("Keys"), {0xE0, 0x00, 0x60});
        RoutingTestRig::play(QStringLiteral("Keys"), {0xE0, 0x00, 0x40}); // back to the centre
        RoutingTestRig::clearSent();
        rig.setup.panic();
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")),
                 Sent({{0x82, 67, 127}, {0xB2, 64, 0}, {0xB2, 123, 0}}));
        // A second panic has nothing left to centre.
        rig.setup.panic();
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0xB2, 64, 0}, {0xB2, 123, 0}}));
    }

    void changingTheTransposeWhileHoldingStillEndsTheSoundingNote()
    {
        TransposedRig rig;
        rig.transpose->setInt1(5);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 60, 0});
        // The chain's own note off (for 65) goes out, then the note that really sounds is ended.
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x82, 65, 0}, {0x82, 67, 0}}));
        QCOMPARE(rig.patch->getNumNotesSounding(), 0);
    }

    void changingTheChannelWhileHoldingEndsTheNoteWhereItBegan()
    {
        TransposedRig rig;
        rig.patch->setMIDIChannel(9);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 60, 0});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x89, 67, 0}, {0x82, 67, 0}}));
    }

    void sustainHeldWhileMutingIsReleased()
    {
        TransposedRig rig;
        RoutingTestRig::play(QStringLiteral("Keys"), {0xB0, 64, 127});
        RoutingTestRig::clearSent();
        rig.patch->setMuted(true);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x82, 67, 127}, {0xB2, 64, 0}}));
    }

    void randomEveningLeavesNothingHanging_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 7u, 42u, 1234u, 99991u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }

    void randomEveningLeavesNothingHanging()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        RoutingTestRig::clearSent();
        HangingNotesChecker listener;

        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        QList<MIDIPatchTarget*> patches;
        QList<ShiftingTestTransform*> shifts;
        for (int o = 0; o < 3; ++o) {
            MIDIOutput* output = o == 0 ? route->getMIDIOutputAtIndex(0) : route->createNewMIDIOutput(false);
            output->setMainActivationValue(BYTE(24 + o));
            for (int p = 0; p < 2; ++p) {
                MIDIPatchTarget* patch = p == 0 ? output->getMIDIPatchTargetAtIndex(0)
                                                : output->createNewMIDIPatchTarget(false, QString());
                patch->setMIDIOutputPortName(kSynths.at(random.bounded(3)));
                patch->setMIDIChannel(BYTE(random.bounded(4)));
                auto* shift = new ShiftingTestTransform(random.bounded(-12, 13));
                patch->addMIDIDataTransform(shift);
                patches << patch;
                shifts << shift;
            }
        }

        QList<QPair<int, int>> held; // channel, note the player holds
        bool pedal = false;
        for (int step = 0; step < 3000; ++step) {
            const int action = random.bounded(100);
            if (action < 35) {
                const int channel = random.bounded(2);
                const int note = random.bounded(36, 96);
                RoutingTestRig::play(QStringLiteral("Keys"), {BYTE(0x90 | channel), BYTE(note), 100});
                held.append({channel, note});
            } else if (action < 65 && !held.isEmpty()) {
                const auto [channel, note] = held.takeAt(random.bounded(int(held.size())));
                RoutingTestRig::play(QStringLiteral("Keys"), {BYTE(0x80 | channel), BYTE(note), 0});
            } else if (action < 72) {
                pedal = !pedal;
                RoutingTestRig::play(QStringLiteral("Keys"), {0xB0, 64, BYTE(pedal ? 127 : 0)});
            } else if (action < 82) {
                // A keyswitch is a key like any other: the player lets go of it later.
                const int note = 24 + random.bounded(3);
                RoutingTestRig::play(QStringLiteral("Keys"), {0x90, BYTE(note), 100});
                held.append({0, note});
            } else if (action < 88) {
                patches.at(random.bounded(int(patches.size())))->muteToggle();
            } else if (action < 94) {
                shifts.at(random.bounded(int(shifts.size())))->setInt1(random.bounded(-12, 13));
            } else if (action < 97) {
                patches.at(random.bounded(int(patches.size())))->setMIDIChannel(BYTE(random.bounded(4)));
            } else if (action < 99) {
                patches.at(random.bounded(int(patches.size())))
                    ->setMIDIOutputPortName(kSynths.at(random.bounded(3)));
            } else {
                setup.panic();
            }
            listener.collectFromRig(kSynths);
        }
        for (const auto& [channel, note] : held)
            RoutingTestRig::play(QStringLiteral("Keys"), {BYTE(0x80 | channel), BYTE(note), 0});
        RoutingTestRig::play(QStringLiteral("Keys"), {0xB0, 64, 0});
        listener.collectFromRig(kSynths);
        QCOMPARE(listener.hanging(), QString());
    }
};

QTEST_GUILESS_MAIN(LiveSafetyTest)
#include "tst_LiveSafety.moc"
