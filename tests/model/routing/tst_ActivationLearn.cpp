// MIDI learn of an output's activation value, as a player sets a keyswitch by pressing the key:
// the learnt message is never heard and switches nothing, the value lands as one undo step, and a
// learn that is cancelled, times out or loses its input changes nothing.
#include "app/StatusManager.h"
#include "model/edits/EditStack.h"
#include "model/routing/ActivationLearn.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "support/FakeMIDIBackend.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>
#include <memory>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;

namespace {
const QString kKeys = QStringLiteral("Keys");
const QString kSynthA = QStringLiteral("SynthA");
const QString kSynthB = QStringLiteral("SynthB");
} // namespace

// A setup with one input on "Keys" and outputs A (value 60, on SynthA) and B (62, on SynthB), A
// active.
struct LearnRig
{
    std::unique_ptr<MIDIRoutingSetup> setup;
    MIDIRoute* route = nullptr;
    MIDIOutput* a = nullptr;
    MIDIOutput* b = nullptr;
    ActivationLearn* learn = nullptr;

    explicit LearnRig(int method = MIDIRoute::kKeyswitchActivation,
                      int specificity = MIDIRoute::kSpecificValue)
    {
        setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Set"), nullptr);
        route = new MIDIRoute(kKeys, MIDIRoute::kAnyChannel, QStringLiteral("In"), nullptr);
        setup->addMIDIRoute(route);
        route->setOutputActivationMethod(method);
        route->setOutputActivationSpecificity(specificity);
        a = route->createNewMIDIOutput(false);
        b = route->createNewMIDIOutput(false);
        a->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(kSynthA);
        a->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(kSynthB);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        a->setMainActivationValue(60);
        a->setActivationRangeValue(61);
        b->setMainActivationValue(62);
        b->setActivationRangeValue(63);
        a->setActive(true);
        learn = route->getActivationLearn();
        learn->setTimesForTesting(10000, 60);
        RoutingTestRig::clearSent();
    }

    bool nothingHeard() const
    {
        return RoutingTestRig::takeSent(kSynthA).isEmpty() && RoutingTestRig::takeSent(kSynthB).isEmpty();
    }
};

class ActivationLearnTest : public QObject
{
    Q_OBJECT

    static QString lastStatus(const QSignalSpy& spy)
    {
        return spy.isEmpty() ? QString() : spy.last().at(0).toString();
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        qRegisterMetaType<MIDIOutput*>();
    }

    void pressedKeyBecomesTheKeyswitchAndIsNotHeard()
    {
        LearnRig rig;
        QSignalSpy learnt(rig.learn, &ActivationLearn::learnt);
        QSignalSpy status(StatusManager::GetInstance(),
                          qOverload<QString, int>(&StatusManager::statusMessagePosted));
        QVERIFY(rig.learn->start(rig.b));
        QVERIFY(rig.learn->isLearning());
        // A velocity-0 note on ends a note: it is no keyswitch and reaches the active output.
        RoutingTestRig::play(kKeys, {0x90, 50, 0});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 50, 0}}));
        // A's own keyswitch, then another key before the learn ends: both taken, neither heard.
        RoutingTestRig::play(kKeys, {0x90, 64, 100});
        RoutingTestRig::play(kKeys, {0x90, 60, 100});
        QVERIFY(rig.nothingHeard());
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.a);
        QTRY_COMPARE(learnt.count(), 1);
        QCOMPARE(learnt.at(0).at(0).value<MIDIOutput*>(), rig.b);
        QCOMPARE(int(rig.b->getMainActivationValue()), 64);
        QCOMPARE(int(rig.a->getMainActivationValue()), 60);
        QVERIFY(!rig.learn->isLearning());
        QCOMPARE(lastStatus(status), QStringLiteral("Learnt the activation value of \"Output2\": E4."));
        // The learn is over: the new keyswitch switches and the old one plays.
        RoutingTestRig::play(kKeys, {0x90, 64, 100});
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.b);
        RoutingTestRig::play(kKeys, {0x90, 62, 90});
        QCOMPARE(RoutingTestRig::takeSent(kSynthB), Sent({{0x90, 62, 90}}));
    }

    void keyFromThePortThreadIsLearnt()
    {
        LearnRig rig;
        QSignalSpy learnt(rig.learn, &ActivationLearn::learnt);
        QVERIFY(rig.learn->start(rig.b));
        const int index = RoutingTestRig::inputIndex(kKeys);
        QCOMPARE(RoutingTestRig::backend()->injectInputMessagesFromOwnThread(
                     index, {{0x90, 72, 100}, {0x80, 72, 0}, {0x90, 62, 100}}),
                 3);
        QTRY_COMPARE(learnt.count(), 1);
        QCOMPARE(int(rig.b->getMainActivationValue()), 72);
        // Only the note off passed, to the active output; B's old keyswitch was taken too.
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x80, 72, 0}}));
        QVERIFY(RoutingTestRig::takeSent(kSynthB).isEmpty());
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.a);
    }

    void learnsComeAndGoWhileTheKeyboardPlays()
    {
        // A stream of the same key from the port's thread while the GUI thread starts, polls and
        // cancels learns of the active output: every learn that ends takes that key, and nothing
        // ever switches to B or reaches it.
        LearnRig rig;
        rig.learn->setTimesForTesting(10000, 0);
        QSignalSpy learnt(rig.learn, &ActivationLearn::learnt);
        FakeMIDIBackend* backend = RoutingTestRig::backend();
        backend->startInjecting(RoutingTestRig::inputIndex(kKeys), {0x90, 70, 100});
        for (int i = 0; i < 300; ++i) {
            rig.a->setMainActivationValue(60);
            QVERIFY(rig.learn->start(rig.a));
            QTest::qWait(1);
            const qsizetype before = learnt.count();
            if (i % 3 == 0)
                rig.learn->cancel();
            else
                rig.learn->poll();
            if (learnt.count() > before)
                QCOMPARE(int(rig.a->getMainActivationValue()), 70);
            else if (i % 3 != 0)
                rig.learn->cancel();
        }
        QVERIFY(backend->stopInjecting() > 0);
        QVERIFY(learnt.count() > 0);
        for (const QList<QVariant>& one : learnt)
            QCOMPARE(one.at(0).value<MIDIOutput*>(), rig.a);
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.a);
        QVERIFY(RoutingTestRig::takeSent(kSynthB).isEmpty());
        // No learn is left listening: the key is heard again.
        RoutingTestRig::clearSent();
        RoutingTestRig::play(kKeys, {0x90, 70, 100});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 70, 100}}));
    }

    void programChangeIsLearnt()
    {
        LearnRig rig(MIDIRoute::kProgramChangeActivation);
        QSignalSpy learnt(rig.learn, &ActivationLearn::learnt);
        QVERIFY(rig.learn->start(rig.b));
        RoutingTestRig::play(kKeys, {0xC3, 4});
        QVERIFY(rig.nothingHeard());
        QTRY_COMPARE(learnt.count(), 1);
        QCOMPARE(int(rig.b->getMainActivationValue()), 4);
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.a);
        RoutingTestRig::play(kKeys, {0xC3, 4});
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.b);
    }

    void controllerSweepBecomesTheRange_data()
    {
        QTest::addColumn<QList<int>>("sweep");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::newRow("upwards") << QList<int>{10, 40, 90} << 10 << 90;
        QTest::newRow("downwards") << QList<int>{100, 70, 20} << 20 << 100;
        QTest::newRow("one value") << QList<int>{33} << 33 << 33;
        QTest::newRow("first and last, not the extremes") << QList<int>{5, 127, 64} << 5 << 64;
    }

    void controllerSweepBecomesTheRange()
    {
        QFETCH(QList<int>, sweep);
        QFETCH(int, low);
        QFETCH(int, high);
        LearnRig rig(MIDIRoute::kFirstControllerMethod + 7, MIDIRoute::kValueRange);
        QSignalSpy learnt(rig.learn, &ActivationLearn::learnt);
        QSignalSpy status(StatusManager::GetInstance(),
                          qOverload<QString, int>(&StatusManager::statusMessagePosted));
        QVERIFY(rig.learn->start(rig.b));
        for (int value : sweep)
            RoutingTestRig::play(kKeys, {0xB0, 7, BYTE(value)});
        QVERIFY(rig.learn->isSweeping());
        // Another controller is no switching message: it is heard while the sweep goes on.
        RoutingTestRig::play(kKeys, {0xB0, 1, 64});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0xB0, 1, 64}}));
        QVERIFY(rig.nothingHeard());
        QTRY_COMPARE(learnt.count(), 1);
        QCOMPARE(int(rig.b->getMainActivationValue()), low);
        QCOMPARE(int(rig.b->getActivationRangeValue()), high);
        QCOMPARE(lastStatus(status),
                 QStringLiteral("Learnt the activation value of \"Output2\": %1-%2.").arg(low).arg(high));
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.a);
        QVERIFY(!rig.learn->isSweeping());
    }

    void lowestThenHighestKeyBecomeTheRange()
    {
        // Keys get longer than a controller to find the second one.
        LearnRig rig(MIDIRoute::kKeyswitchActivation, MIDIRoute::kValueRange);
        rig.learn->setTimesForTesting(10000, 50, 2000);
        QSignalSpy learnt(rig.learn, &ActivationLearn::learnt);
        QVERIFY(rig.learn->start(rig.b));
        RoutingTestRig::play(kKeys, {0x90, 48, 100});
        RoutingTestRig::play(kKeys, {0x80, 48, 0});
        QTest::qWait(200);
        QCOMPARE(learnt.count(), 0);
        RoutingTestRig::play(kKeys, {0x90, 55, 100});
        QTRY_COMPARE(learnt.count(), 1);
        QCOMPARE(int(rig.b->getMainActivationValue()), 48);
        QCOMPARE(int(rig.b->getActivationRangeValue()), 55);
        // Only the note off was heard, on the active output.
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x80, 48, 0}}));
        QVERIFY(RoutingTestRig::takeSent(kSynthB).isEmpty());
    }

    void sweepStillMovingAtTheTimeOutIsTaken()
    {
        LearnRig rig(MIDIRoute::kFirstControllerMethod + 11, MIDIRoute::kValueRange);
        rig.learn->setTimesForTesting(300, 100000);
        QSignalSpy learnt(rig.learn, &ActivationLearn::learnt);
        QVERIFY(rig.learn->start(rig.b));
        RoutingTestRig::play(kKeys, {0xB0, 11, 20});
        RoutingTestRig::play(kKeys, {0xB0, 11, 30});
        QTRY_COMPARE(learnt.count(), 1);
        QCOMPARE(int(rig.b->getMainActivationValue()), 20);
        QCOMPARE(int(rig.b->getActivationRangeValue()), 30);
    }

    void escapeCancelsAndChangesNothing()
    {
        LearnRig rig;
        QSignalSpy cancelled(rig.learn, &ActivationLearn::learnCancelled);
        QSignalSpy learnt(rig.learn, &ActivationLearn::learnt);
        QVERIFY(rig.learn->start(rig.b));
        rig.learn->cancel();
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(cancelled.at(0).at(1).toString().contains(QStringLiteral("cancelled")));
        QVERIFY(!rig.learn->isLearning());
        RoutingTestRig::play(kKeys, {0x90, 62, 100});
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.b);
        QCOMPARE(int(rig.b->getMainActivationValue()), 62);
        QTest::qWait(100);
        QCOMPARE(learnt.count(), 0);
    }

    void silenceTimesOut()
    {
        LearnRig rig;
        rig.learn->setTimesForTesting(150, 60);
        QSignalSpy cancelled(rig.learn, &ActivationLearn::learnCancelled);
        QVERIFY(rig.learn->start(rig.b));
        // A message of another kind is no answer.
        RoutingTestRig::play(kKeys, {0xC0, 3});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0xC0, 3}}));
        QTRY_COMPARE(cancelled.count(), 1);
        QVERIFY(cancelled.at(0).at(1).toString().contains(QStringLiteral("nothing arrived")));
        QCOMPARE(int(rig.b->getMainActivationValue()), 62);
        QVERIFY(!rig.learn->isLearning());
    }

    void learnOfAnotherOutputReplacesTheFirst()
    {
        LearnRig rig;
        QSignalSpy cancelled(rig.learn, &ActivationLearn::learnCancelled);
        QSignalSpy learnt(rig.learn, &ActivationLearn::learnt);
        QVERIFY(rig.learn->start(rig.b));
        QVERIFY(rig.learn->start(rig.a));
        QCOMPARE(cancelled.count(), 1);
        QCOMPARE(rig.learn->getOutput(), rig.a);
        RoutingTestRig::play(kKeys, {0x90, 48, 100});
        QTRY_COMPARE(learnt.count(), 1);
        QCOMPARE(int(rig.a->getMainActivationValue()), 48);
        QCOMPARE(int(rig.b->getMainActivationValue()), 62);
        // An output of another input is refused.
        LearnRig other;
        QVERIFY(!rig.learn->start(other.a));
        QVERIFY(!rig.learn->isLearning());
    }

    void inputSwitchCutsTheLearnShort_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("port") << 0;
        QTest::newRow("channel") << 1;
        QTest::newRow("method") << 2;
        QTest::newRow("specificity") << 3;
        QTest::newRow("output removed") << 4;
        QTest::newRow("input removed") << 5;
        QTest::newRow("setup closed") << 6;
    }

    void inputSwitchCutsTheLearnShort()
    {
        QFETCH(int, change);
        LearnRig rig;
        ActivationLearn* learn = rig.learn;
        QSignalSpy cancelled(learn, &ActivationLearn::learnCancelled);
        QSignalSpy learnt(learn, &ActivationLearn::learnt);
        QVERIFY(learn->start(rig.b));
        switch (change) {
        case 0:
            rig.route->setMIDIInputPortName(QStringLiteral("Pads"));
            break;
        case 1:
            rig.route->setMIDIChannel(2);
            break;
        case 2:
            rig.route->setOutputActivationMethod(MIDIRoute::kProgramChangeActivation);
            break;
        case 3:
            rig.route->setOutputActivationSpecificity(MIDIRoute::kValueRange);
            break;
        case 4:
            rig.route->removeMIDIOutput(rig.b, false);
            break;
        case 5:
            rig.setup->removeMIDIRoute(rig.route, false);
            break;
        case 6: {
            auto* manager = MIDIRoutingSetupManager::GetInstance();
            manager->setCurrentRoutingSetup(rig.setup.release(), false);
            manager->clearCurrentRoutingSetup(true);
            break;
        }
        }
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(!cancelled.at(0).at(1).toString().isEmpty());
        if (change == 6) {
            // The closed setup goes with its input; nothing more to play.
            QTRY_VERIFY(!MIDIRoutingSetupManager::GetInstance()->hasCurrentRoutingSetup());
            return;
        }
        QVERIFY(!learn->isLearning());
        QCOMPARE(int(rig.b->getMainActivationValue()), 62);
        if (change == 5) {
            delete rig.route;
            return;
        }
        // What plays now is routed as usual and nothing is learnt.
        const QString port = change == 0 ? QStringLiteral("Pads") : kKeys;
        RoutingTestRig::play(port, {0x92, 64, 100});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 64, 100}}));
        QTest::qWait(100);
        QCOMPARE(learnt.count(), 0);
        if (change == 4)
            delete rig.b;
    }

    void destroyedInputEndsTheLearn()
    {
        auto rig = std::make_unique<LearnRig>();
        QVERIFY(rig->learn->start(rig->b));
        QSignalSpy status(StatusManager::GetInstance(),
                          qOverload<QString, int>(&StatusManager::statusMessagePosted));
        rig->setup.reset();
        QCOMPARE(status.count(), 1);
        QVERIFY(lastStatus(status).contains(QStringLiteral("the input was removed")));
    }

    void learnIsOneUndoStep()
    {
        LearnRig rig(MIDIRoute::kFirstControllerMethod + 4, MIDIRoute::kValueRange);
        QUndoStack stack;
        EditStack::attach(rig.setup.get(), &stack);
        QSignalSpy learnt(rig.learn, &ActivationLearn::learnt);
        QVERIFY(rig.learn->start(rig.b));
        RoutingTestRig::play(kKeys, {0xB0, 4, 0});
        RoutingTestRig::play(kKeys, {0xB0, 4, 127});
        QTRY_COMPARE(learnt.count(), 1);
        QCOMPARE(stack.count(), 1);
        QVERIFY(stack.undoText().contains(QStringLiteral("Learn Activation Value")));
        QCOMPARE(int(rig.b->getMainActivationValue()), 0);
        QCOMPARE(int(rig.b->getActivationRangeValue()), 127);
        stack.undo();
        QCOMPARE(int(rig.b->getMainActivationValue()), 62);
        QCOMPARE(int(rig.b->getActivationRangeValue()), 63);
        stack.redo();
        QCOMPARE(int(rig.b->getMainActivationValue()), 0);
        QCOMPARE(int(rig.b->getActivationRangeValue()), 127);
        EditStack::attach(rig.setup.get(), nullptr);
    }
};

QTEST_GUILESS_MAIN(ActivationLearnTest)
#include "tst_ActivationLearn.moc"
