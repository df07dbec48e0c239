// Every gesture (pedals 64/66/67, pitch bend, modulation wheel, breath) ends on the output where
// it began; the ending paths bring every tracked gesture to rest; stray messages at the door.
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/GestureState.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QTest>
#include <functional>
#include <memory>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;
Q_DECLARE_METATYPE(Sent)

namespace {

const QString kKeys = QStringLiteral("Keys");
const QString kSynthA = QStringLiteral("SynthA");
const QString kSynthB = QStringLiteral("SynthB");

// Input "Keys" (every channel), A (keyswitch 60, SynthA channel index 3) active, B (62, SynthB
// channel index 0). A's patch maps every channel to 3, so what A's port hears is on channel 3.
struct Rig
{
    std::unique_ptr<MIDIRoute> route;
    MIDIOutput* a = nullptr;
    MIDIOutput* b = nullptr;

    Rig()
    {
        route = std::make_unique<MIDIRoute>(kKeys, MIDIRoute::kAnyChannel, QStringLiteral("In"), nullptr);
        a = route->createNewMIDIOutput(false);
        b = route->createNewMIDIOutput(false);
        a->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(kSynthA);
        a->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(3);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(kSynthB);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        a->setMainActivationValue(60);
        b->setMainActivationValue(62);
        a->setActive(true);
        RoutingTestRig::clearSent();
    }
    void play(const Bytes& message) { RoutingTestRig::play(kKeys, message); }
    void playAll(const Sent& messages)
    {
        for (const Bytes& message : messages)
            play(message);
    }
    void switchToB() { play({0x90, 62, 100}); }
};

Sent onChannel(Sent messages, BYTE channel)
{
    for (Bytes& message : messages)
        message[0] = BYTE((message[0] & 0xF0) | channel);
    return messages;
}

// The last value each gesture took on each channel of what a port heard must be the rest value.
bool everyGestureAtRest(const Sent& heard)
{
    GestureState state;
    for (const Bytes& message : heard)
        state.record(&message);
    return !state.isAnyAwayFromRest();
}

void addGestureRows()
{
    QTest::addColumn<Sent>("begin");
    QTest::addColumn<Sent>("end");
    // begin: played on A; end: played after the switch to B, ending at rest.
    QTest::newRow("sostenuto") << Sent{{0xB0, 66, 127}} << Sent{{0xB0, 66, 0}};
    QTest::newRow("soft") << Sent{{0xB0, 67, 127}} << Sent{{0xB0, 67, 0}};
    QTest::newRow("half pedal") << Sent{{0xB0, 64, 127}, {0xB0, 64, 90}}
                                << Sent{{0xB0, 64, 60}, {0xB0, 64, 100}, {0xB0, 64, 30}, {0xB0, 64, 0}};
    QTest::newRow("pitch bend") << Sent{{0xE0, 0x00, 0x50}, {0xE0, 0x00, 0x60}}
                                << Sent{{0xE0, 0x00, 0x50}, {0xE0, 0x00, 0x40}};
    QTest::newRow("mod wheel") << Sent{{0xB0, 1, 90}} << Sent{{0xB0, 1, 40}, {0xB0, 1, 0}};
    QTest::newRow("breath") << Sent{{0xB0, 2, 70}} << Sent{{0xB0, 2, 0}};
}

} // namespace

class GestureEndsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInInitializers();
    }

    void gestureEndsWhereItBegan_data() { addGestureRows(); }
    void gestureEndsWhereItBegan()
    {
        QFETCH(Sent, begin);
        QFETCH(Sent, end);
        Rig rig;
        rig.playAll(begin);
        rig.switchToB();
        rig.playAll(end);
        // A hears the whole way back to rest, on its own channel, and nothing else.
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), onChannel(begin + end, 3));
        // B, now active, hears the gesture's end as usual.
        QCOMPARE(RoutingTestRig::takeSent(kSynthB), end);
        // Once at rest on A, the gesture and everything else go to B only.
        rig.playAll(begin);
        rig.play({0x90, 70, 90});
        QVERIFY(RoutingTestRig::takeSent(kSynthA).isEmpty());
        QCOMPARE(RoutingTestRig::takeSent(kSynthB), begin + Sent({{0x90, 70, 90}}));
    }

    void otherChannelsAndOtherGesturesStayOnTheActiveOutput()
    {
        Rig rig;
        rig.play({0xB0, 1, 90});
        rig.switchToB();
        // Another channel's wheel, another gesture, a note: none is A's to end.
        rig.play({0xB1, 1, 0});
        rig.play({0xB0, 64, 0});
        rig.play({0xE0, 0x00, 0x40});
        rig.play({0xB0, 7, 100});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0xB3, 1, 90}}));
        QCOMPARE(rig.a->isGestureAwayFromRest(GestureState::ModWheel, 0), true);
        rig.play({0xB0, 1, 0});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0xB3, 1, 0}}));
        QVERIFY(!rig.a->isGestureAwayFromRest(GestureState::ModWheel, 0));
    }

    void endingPathsBringEveryGestureToRest_data()
    {
        QTest::addColumn<int>("path");
        const char* names[] = {"panic", "mute", "stop", "removal", "reroute"};
        for (int i = 0; i < 5; ++i)
            QTest::newRow(names[i]) << i;
    }
    void endingPathsBringEveryGestureToRest()
    {
        QFETCH(int, path);
        Rig rig;
        // Every gesture begun on A, some moved further on B, none back at rest.
        rig.playAll({{0xB0, 64, 127},
                     {0xB0, 66, 127},
                     {0xB0, 67, 100},
                     {0xE0, 0x00, 0x70},
                     {0xB0, 1, 80},
                     {0xB0, 2, 60},
                     {0x90, 64, 100}});
        rig.switchToB();
        rig.playAll({{0xB0, 64, 70}, {0xE0, 0x00, 0x30}, {0xB0, 1, 20}, {0xB0, 2, 127}, {0x90, 65, 100}});
        Sent heardA = RoutingTestRig::takeSent(kSynthA);
        Sent heardB = RoutingTestRig::takeSent(kSynthB);
        QVERIFY(!everyGestureAtRest(heardA));
        QVERIFY(!everyGestureAtRest(heardB));

        switch (path) {
        case 0:
            rig.route->panic();
            break;
        case 1:
            rig.a->setMuteStateOfAllPatchesTo(true);
            rig.b->setMuteStateOfAllPatchesTo(true);
            break;
        case 2:
            rig.route->endSoundingNotes();
            break;
        case 3:
            // The inactive output, then the whole input with the last one.
            rig.route->removeMIDIOutput(rig.a, true);
            rig.route.reset();
            break;
        case 4:
            rig.a->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthC"));
            rig.b->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthC"));
            break;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const Sent endA = RoutingTestRig::takeSent(kSynthA);
        heardA += endA;
        heardB += RoutingTestRig::takeSent(kSynthB);
        QVERIFY2(everyGestureAtRest(heardA), "SynthA left away from rest");
        QVERIFY2(everyGestureAtRest(heardB), "SynthB left away from rest");
        // A's rest values go out on the channel A sent on.
        QVERIFY(endA.contains(Bytes{0xE3, 0x00, 0x40}));
        QVERIFY(endA.contains(Bytes{0x83, 64, 127}));
        // Nothing more follows a gesture that is at rest everywhere.
        if (path == 0 || path == 2) {
            rig.route->endSoundingNotes();
            QVERIFY(RoutingTestRig::takeSent(kSynthA).isEmpty());
            QVERIFY(RoutingTestRig::takeSent(kSynthB).isEmpty());
        }
    }

    void strayProgramChangesAndClockAreKeptOutOnlyWhenAsked()
    {
        Rig rig;
        rig.route->setOutputActivationMethod(MIDIRoute::kProgramChangeActivation);
        rig.a->setMainActivationValue(0);
        rig.b->setMainActivationValue(1);
        // Off by default: a stray program change and the clock reach the active output.
        Bytes clock{0xF8};
        Bytes sensing{0xFE};
        rig.play({0xC0, 9});
        rig.route->injectMessage(&clock);
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0xC3, 9}, {0xF8}}));

        rig.route->setDropsStrayProgramChanges(true);
        rig.route->setDropsClockAndActiveSensing(true);
        rig.play({0xC0, 9});
        rig.play({0xC0, 0}); // activates nothing new: A is already active
        rig.route->injectMessage(&clock);
        rig.route->injectMessage(&sensing);
        rig.play({0x90, 61, 80});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x93, 61, 80}}));
        // A program change that does switch still switches.
        rig.play({0xC0, 1});
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.b);
        QVERIFY(RoutingTestRig::takeSent(kSynthB).isEmpty());
    }
};

QTEST_GUILESS_MAIN(GestureEndsTest)
#include "tst_GestureEnds.moc"
