#include "model/ModelSignalPump.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/initializers/VolumeInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;

// An input on "Keys" with outputs A (keyswitch 60, patch on SynthA) and B (62, patch on SynthB).
struct TwoOutputRig
{
    std::unique_ptr<MIDIRoute> route;
    MIDIOutput* a = nullptr;
    MIDIOutput* b = nullptr;

    explicit TwoOutputRig(BYTE channel = MIDIRoute::kAnyChannel)
    {
        route = std::make_unique<MIDIRoute>(QStringLiteral("Keys"), channel, QStringLiteral("In"), nullptr);
        a = route->createNewMIDIOutput(false);
        b = route->createNewMIDIOutput(false);
        a->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthA"));
        a->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthB"));
        b->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        a->setMainActivationValue(60);
        b->setMainActivationValue(62);
        a->setActive(true);
        RoutingTestRig::clearSent();
    }
};

class MIDIRouteTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInInitializers();
    }

    void keyswitchIsNotHeardAndSwitchesBackAndForth()
    {
        TwoOutputRig rig;
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 62, 100});
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.b);
        QVERIFY(!rig.a->isActive());
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty());
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.a);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 62, 100});
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.b);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 61, 100});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")), Sent({{0x90, 61, 100}}));
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
    }

    void keyswitchOfTheActiveOutputIsPlayed()
    {
        TwoOutputRig rig;
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x90, 60, 100}}));
    }

    void heldNoteEndsOnOutputThatStartedIt()
    {
        TwoOutputRig rig;
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 48, 100});
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 62, 100});
        RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 48, 64});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x90, 48, 100}, {0x80, 48, 64}}));
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")), Sent({{0x80, 48, 64}}));
        QVERIFY(!rig.a->hasNotesSounding());
    }

    void sustainPedalHeldAcrossASwitchIsReleasedOnBothSounds()
    {
        TwoOutputRig rig;
        RoutingTestRig::play(QStringLiteral("Keys"), {0xB0, 64, 127});
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 62, 100});
        RoutingTestRig::play(QStringLiteral("Keys"), {0xB0, 64, 0});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0xB0, 64, 127}, {0xB0, 64, 0}}));
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")), Sent({{0xB0, 64, 0}}));
        RoutingTestRig::play(QStringLiteral("Keys"), {0xB0, 64, 0});
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
    }

    void switchingSendsTheInitializersOfTheNewOutput()
    {
        TwoOutputRig rig;
        MIDIPatchTarget* patch = rig.b->getMIDIPatchTargetAtIndex(0);
        patch->setMIDIChannel(4);
        patch->addMIDIPatchInitializer(createPCInitializer(12, nullptr));
        patch->addMIDIPatchInitializer(createVolumeInitializer(90, nullptr));
        RoutingTestRig::clearSent();
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 62, 100});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")), Sent({{0xC4, 12}, {0xB4, 7, 90}}));
    }

    void controllerRangeActivation()
    {
        TwoOutputRig rig;
        rig.route->setOutputActivationMethod(MIDIRoute::kFirstControllerMethod + 1);
        rig.route->setOutputActivationSpecificity(MIDIRoute::kValueRange);
        rig.a->setMainActivationValue(0);
        rig.a->setActivationRangeValue(63);
        rig.b->setMainActivationValue(64);
        rig.b->setActivationRangeValue(127);
        RoutingTestRig::play(QStringLiteral("Keys"), {0xB0, 1, 64});
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.b);
        RoutingTestRig::play(QStringLiteral("Keys"), {0xB0, 2, 64});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")), Sent({{0xB0, 2, 64}}));
        RoutingTestRig::play(QStringLiteral("Keys"), {0xB0, 1, 100});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")), Sent({{0xB0, 1, 100}}));
        QCOMPARE(rig.route->getLastCCValue(1), BYTE(100));
        QCOMPARE(rig.route->getLastCCValue(2), BYTE(64));
    }

    void programChangeActivation()
    {
        TwoOutputRig rig;
        rig.route->setOutputActivationMethod(MIDIRoute::kProgramChangeActivation);
        rig.a->setMainActivationValue(0);
        rig.b->setMainActivationValue(9);
        RoutingTestRig::play(QStringLiteral("Keys"), {0xC0, 9});
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.b);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 62, 10});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")), Sent({{0x90, 62, 10}}));
    }

    void channelFilterDropsOtherChannelsSilently()
    {
        TwoOutputRig rig(3);
        QSignalSpy input(rig.route.get(), &MIDIRoute::receivedMIDIInput);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x94, 50, 100});
        ModelSignalPump::GetInstance()->pumpNow();
        QCOMPARE(input.count(), 0);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x93, 50, 100});
        ModelSignalPump::GetInstance()->pumpNow();
        QCOMPARE(input.count(), 1);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x90, 50, 100}}));
    }

    void lowestKeyMakesTheInputActiveAndIsStillPlayed()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* first = setup.createNewMIDIRoute(false);
        MIDIRoute* second = setup.createNewMIDIRoute(false);
        second->setMIDIInputPortName(QStringLiteral("Pads"));
        second->setMIDIChannel(MIDIRoute::kAnyChannel);
        MIDIPatchTarget* padsPatch = second->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
        padsPatch->setMIDIOutputPortName(QStringLiteral("SynthC"));
        padsPatch->setMIDIChannel(5);
        QCOMPARE(setup.getActiveRoute(), first);
        RoutingTestRig::clearSent();
        RoutingTestRig::play(QStringLiteral("Pads"), {0x90, 21, 100});
        QCOMPARE(setup.getActiveRoute(), second);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthC")), Sent({{0x95, 21, 100}}));
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
    }

    void injectedNotesTakeTheRoutesChannel()
    {
        TwoOutputRig rig(5);
        rig.a->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
        rig.route->injectNoteOnMessage(40, 90);
        rig.route->injectNoteOffMessage(40);
        rig.route->injectPitchBendMessage(8192 + 100);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")),
                 Sent({{0x95, 40, 90}, {0x85, 40, 127}, {0xE5, 100, 64}}));
        QCOMPARE(rig.route->getLastPitchBendValue(), pitchBendValue_t(8292));
    }

    void textualDescriptions()
    {
        TwoOutputRig rig;
        rig.route->setOutputActivationMethod(MIDIRoute::kProgramChangeActivation);
        rig.a->setName(QStringLiteral("P1"));
        rig.b->setName(QStringLiteral("P2"));
        rig.a->setMainActivationValue(0);
        rig.b->setMainActivationValue(9);
        QCOMPARE(rig.route->getTextualDescriptionOfOutputs(),
                 QStringLiteral("Program Changes:\n\nP1: 1\nP2: 10"));
        rig.route->setOutputActivationMethod(MIDIRoute::kKeyswitchActivation);
        rig.route->setOutputActivationSpecificity(MIDIRoute::kValueRange);
        rig.a->setMainActivationValue(48);
        rig.a->setActivationRangeValue(52);
        QCOMPARE(rig.route->getTextualDescriptionOfOutput(rig.a), QStringLiteral("P1: C3 to E3"));
        rig.route->setOutputActivationMethod(MIDIRoute::kFirstControllerMethod + 7);
        QVERIFY(rig.route->getTextualDescriptionOfOutputs().startsWith(
            QStringLiteral("CC7 Output Activations:\n\n")));
        MIDIOutput stranger(QStringLiteral("X"), nullptr);
        QCOMPARE(rig.route->getTextualDescriptionOfOutput(&stranger),
                 QStringLiteral("ERROR - output not owned by this input."));
    }

    void newOutputAfterValue127WrapsToZero()
    {
        TwoOutputRig rig;
        rig.b->setMainActivationValue(127);
        MIDIOutput* c = rig.route->createNewMIDIOutput(false);
        QCOMPARE(c->getName(), QStringLiteral("Output3"));
        QCOMPARE(c->getMainActivationValue(), BYTE(0));
        QVERIFY(c->isActive());
        QCOMPARE(c->getMIDIPatchTargetAtIndex(0)->getMIDIOutputPortName(), QStringLiteral("SynthB"));
        QCOMPARE(c->getMIDIPatchTargetAtIndex(0)->getMIDIChannel(), BYTE(1));
    }

    void duplicatingTheActiveOutputMakesTheDuplicateActive()
    {
        TwoOutputRig rig;
        MIDIOutput* dup = rig.route->duplicateMIDIOutput(rig.a);
        QCOMPARE(rig.route->getIndexOfMIDIOutput(dup), 1);
        QCOMPARE(dup->getName(), rig.a->getName() + QStringLiteral(".dup"));
        QCOMPARE(rig.route->getActiveMIDIOutput(), dup);
        QVERIFY(!rig.a->isActive());
    }

    void removingTheActiveOutputActivatesTheFirst()
    {
        TwoOutputRig rig;
        rig.b->setActive(true);
        rig.route->removeMIDIOutput(rig.b, true);
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.a);
        QVERIFY(rig.a->isActive());
        rig.route->removeMIDIOutput(rig.a, true);
        QCOMPARE(rig.route->getNumMIDIOutputs(), 1);
    }

    void nextAndPreviousStopAtTheEnds()
    {
        TwoOutputRig rig;
        QCOMPARE(rig.route->activatePreviousMIDIOutput(), rig.a);
        QCOMPARE(rig.route->activateNextMIDIOutput(), rig.b);
        QCOMPARE(rig.route->activateNextMIDIOutput(), rig.b);
    }

    void xmlRoundTrip()
    {
        TwoOutputRig rig;
        rig.route->setOutputActivationSpecificity(MIDIRoute::kValueRange);
        rig.route->setColorLabel(3);
        rig.b->setActive(true);
        QDomDocument doc;
        doc.appendChild(rig.route->toDomElement(doc));
        QDomElement element = doc.documentElement();
        MIDIRoute copy(element, nullptr);
        QCOMPARE(copy.getNumMIDIOutputs(), 2);
        QCOMPARE(copy.getActiveMIDIOutput(), copy.getMIDIOutputAtIndex(1));
        QVERIFY(!copy.getMIDIOutputAtIndex(0)->isActive());
        QDomDocument again;
        again.appendChild(copy.toDomElement(again));
        QCOMPARE(again.toString(), doc.toString());
    }
};

QTEST_GUILESS_MAIN(MIDIRouteTest)
#include "tst_MIDIRoute.moc"
