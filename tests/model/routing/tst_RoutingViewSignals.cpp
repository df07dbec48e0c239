// What views hear of the playing: the MIDI thread leaves it for the signal pump, which tells the
// views on the GUI thread with no lock held, at display rate.
#include "model/ModelSignalPump.h"
#include "model/NoteEventRing.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "support/FakeMIDIBackend.h"
#include "support/HangingNotesChecker.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QCoreApplication>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

namespace {

const QStringList kSynths = {QStringLiteral("SynthA"), QStringLiteral("SynthB"), QStringLiteral("SynthC")};

// The keys an on-screen keyboard would show lit, followed only through the route's signals.
class LitKeys : public QObject
{
public:
    explicit LitKeys(MIDIRoute* route)
    {
        connect(route, &MIDIRoute::receivedNoteOn, this, [this](int note, int velocity) {
            if (velocity > 0)
                keys.insert(note);
            else
                keys.remove(note);
            wrongThread |= QThread::currentThread() != thread();
        });
        connect(route, &MIDIRoute::receivedNoteOff, this, [this](int note) {
            keys.remove(note);
            wrongThread |= QThread::currentThread() != thread();
        });
    }
    QSet<int> keys;
    bool wrongThread = false;
};

// An input on "Keys", every channel, with outputs A (keyswitch 24, SynthA) and B (25, SynthB).
struct Rig
{
    MIDIRoutingSetup setup{QStringLiteral("S"), nullptr};
    MIDIRoute* route = nullptr;
    MIDIOutput* a = nullptr;
    MIDIOutput* b = nullptr;

    Rig()
    {
        route = setup.createNewMIDIRoute(false);
        route->setMIDIInputPortName(QStringLiteral("Keys"));
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        a = route->getMIDIOutputAtIndex(0);
        a->setMainActivationValue(24);
        a->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthA"));
        b = route->createNewMIDIOutput(false);
        b->setMainActivationValue(25);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthB"));
        a->setActive(true);
        RoutingTestRig::clearSent();
    }
};

// Plays the messages on a thread of their own, as a MIDI thread does, and waits for it.
void playFromMIDIThread(const std::vector<midiMessage_t>& messages)
{
    RoutingTestRig::backend()->injectInputMessagesFromOwnThread(
        RoutingTestRig::inputIndex(QStringLiteral("Keys")), messages);
}

} // namespace

class RoutingViewSignalsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
    }

    // Runs first, before any test connects a listener.
    void withNobodyListeningNoPumpRuns()
    {
        Rig rig;
        const long long ticks = ModelSignalPump::GetInstance()->getNumTicks();
        playFromMIDIThread({{0x90, 60, 100}, {0x80, 60, 0}});
        QTest::qWait(4 * ModelSignalPump::kIntervalMs);
        QVERIFY(!ModelSignalPump::isRunning());
        QCOMPARE(ModelSignalPump::GetInstance()->getNumTicks(), ticks);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")).size(), 2);
    }

    void heldKeyShowsAsSoundingAndGoesDarkAfterItsNoteOff()
    {
        Rig rig;
        LitKeys lit(rig.route);
        QVERIFY(ModelSignalPump::isRunning());
        playFromMIDIThread({{0x90, 60, 100}, {0x90, 64, 90}});
        QTRY_COMPARE(lit.keys, (QSet<int>{60, 64}));
        playFromMIDIThread({{0x80, 60, 0}});
        QTRY_COMPARE(lit.keys, (QSet<int>{64}));
        playFromMIDIThread({{0x90, 64, 0}}); // a note on with velocity 0 ends the note too
        QTRY_VERIFY(lit.keys.isEmpty());
        QVERIFY(!lit.wrongThread);
    }

    void heldKeyGoesDarkEvenWhenItsNoteOffWasLostInAFlood()
    {
        Rig rig;
        LitKeys lit(rig.route);
        // More note events than the ring holds arrive between two ticks; the note off of 60 is
        // among those that do not fit.
        std::vector<midiMessage_t> flood = {{0x90, 60, 100}, {0x90, 72, 100}};
        for (unsigned i = 0; i < NoteEventRing::kCapacity; ++i)
            flood.push_back({BYTE(i % 2 ? 0x80 : 0x90), BYTE(80 + (i / 2) % 20), 90});
        flood.push_back({0x80, 60, 0});
        playFromMIDIThread(flood);
        ModelSignalPump::GetInstance()->pumpNow();
        QCOMPARE(lit.keys, (QSet<int>{72})); // still held, everything else has ended
        playFromMIDIThread({{0x80, 72, 0}});
        QTRY_VERIFY(lit.keys.isEmpty());
        QVERIFY(!lit.wrongThread);
    }

    void controllerSweepReachesViewsAsItsLatestValue()
    {
        Rig rig;
        QList<int> modWheel;
        int bends = 0;
        connect(rig.route, &MIDIRoute::receivedControlMessage, this, [&](int cc, int value) {
            if (cc == 1)
                modWheel.append(value);
        });
        connect(rig.route, &MIDIRoute::receivedPitchBendMessage, this, [&](int value) {
            ++bends;
            QCOMPARE(value, 0x2000 + 5);
        });
        std::vector<midiMessage_t> sweep;
        for (int value = 0; value < 128; ++value)
            sweep.push_back({0xB0, 0x01, BYTE(value)});
        sweep.push_back({0xE0, 0x05, 0x40});
        playFromMIDIThread(sweep);
        ModelSignalPump::GetInstance()->pumpNow();
        QCOMPARE(modWheel, QList<int>{127});
        QCOMPARE(bends, 1);
        QCOMPARE(rig.route->getLastCCValue(1), BYTE(127));
    }

    void activeOutputChangeReachesTheGuiThreadWithinTwoPumpPeriods()
    {
        Rig rig;
        QList<MIDIOutput*> announced;
        QThread* arrivedOn = nullptr;
        long long arrivedAtTick = -1;
        ModelSignalPump* pump = ModelSignalPump::GetInstance();
        connect(rig.route, &MIDIRoute::activeMIDIOutputChangedTo, this, [&](MIDIOutput* output) {
            announced.append(output);
            arrivedOn = QThread::currentThread();
            arrivedAtTick = pump->getNumTicks();
        });
        QSignalSpy bActive(rig.b, &MIDIOutput::activeChangedTo);
        const long long playedAtTick = pump->getNumTicks();
        playFromMIDIThread({{0x90, 25, 100}});
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.b); // switched on the MIDI thread at once
        QVERIFY(announced.isEmpty());                      // views hear it from the pump
        QTRY_COMPARE(announced, QList<MIDIOutput*>{rig.b});
        QVERIFY(arrivedAtTick - playedAtTick <= 2);
        QCOMPARE(arrivedOn, QThread::currentThread());
        QCOMPARE(bActive.count(), 1);
        QCOMPARE(bActive.at(0).at(0).toBool(), true);
    }

    void outputAndPatchLampsLightOnceATick()
    {
        Rig rig;
        QSignalSpy input(rig.route, &MIDIRoute::receivedMIDIInput);
        QSignalSpy output(rig.a, &MIDIOutput::receivedMIDIMessage);
        QSignalSpy patch(rig.a->getMIDIPatchTargetAtIndex(0), &MIDIPatchTarget::receivedMIDIMessage);
        QSignalSpy idlePatch(rig.b->getMIDIPatchTargetAtIndex(0), &MIDIPatchTarget::receivedMIDIMessage);
        std::vector<midiMessage_t> chord;
        for (BYTE note = 60; note < 70; ++note)
            chord.push_back({0x90, note, 80});
        playFromMIDIThread(chord);
        ModelSignalPump::GetInstance()->pumpNow();
        QCOMPARE(input.count(), 1);
        QCOMPARE(output.count(), 1);
        QCOMPARE(patch.count(), 1);
        QCOMPARE(idlePatch.count(), 0);
        ModelSignalPump::GetInstance()->pumpNow();
        QCOMPARE(input.count(), 1); // nothing new, nothing said
    }

    void listenerThatEditsTheModelWhileNotesStreamInNeitherHangsNorLeavesANote()
    {
        Rig rig;
        MIDIOutput* c = rig.route->createNewMIDIOutput(false);
        c->setMainActivationValue(26);
        c->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthC"));
        rig.a->setActive(true);
        RoutingTestRig::clearSent();
        MIDIPatchTarget* patchA = rig.a->getMIDIPatchTargetAtIndex(0);

        // The view mutes and unmutes a patch on every note it sees, and removes an output once.
        int heard = 0;
        connect(rig.route, &MIDIRoute::receivedNoteOn, this, [&](int, int) {
            ++heard;
            patchA->setMuted(!patchA->isMuted());
            if (heard == 5 && rig.route->hasMIDIOutput(c))
                rig.route->removeMIDIOutput(c, true);
        });

        std::atomic<bool> stop{false};
        FakeMIDIBackend* backend = RoutingTestRig::backend();
        const int keys = RoutingTestRig::inputIndex(QStringLiteral("Keys"));
        std::thread player([&] {
            BYTE note = 40;
            int count = 0;
            while (!stop.load()) {
                backend->injectInputMessage(keys, {0x90, note, 100});
                if (++count % 7 == 0) {
                    const BYTE keyswitch = BYTE(24 + count % 3);
                    backend->injectInputMessage(keys, {0x90, keyswitch, 100});
                    backend->injectInputMessage(keys, {0x80, keyswitch, 0});
                }
                backend->injectInputMessage(keys, {0x80, note, 0});
                note = BYTE(40 + count % 40);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(heard >= 20, 20000);
        stop.store(true);
        player.join();
        QCoreApplication::processEvents();
        QVERIFY(!rig.route->hasMIDIOutput(c));

        HangingNotesChecker checker;
        checker.collectFromRig(kSynths);
        QVERIFY(checker.noteOnsHeard() > 0);
        QCOMPARE(checker.hanging(), QString());
    }
};

QTEST_GUILESS_MAIN(RoutingViewSignalsTest)
#include "tst_RoutingViewSignals.moc"
