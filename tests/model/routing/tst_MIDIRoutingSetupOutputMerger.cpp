// Merging one input's outputs' patches into another input's matching outputs.
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupOutputMerger.h"
#include "model/transforms/MIDIDataTransform.h"
#include "support/FullSetupBuilder.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QTest>
#include <memory>

namespace {

// Gives the route outputs with these names, activation values and patch counts, replacing its
// first output's patch list and values. Patches are named "<output>.<n>" on SynthB.
void shapeOutputs(MIDIRoute* route, const QList<std::tuple<QString, int, int, int>>& outputs)
{
    for (int i = 0; i < outputs.size(); ++i) {
        const auto& [name, main, range, patches] = outputs.at(i);
        MIDIOutput* output = i == 0 ? route->getMIDIOutputAtIndex(0) : route->createNewMIDIOutput(false);
        output->setName(name);
        output->setMainActivationValue(BYTE(main));
        output->setActivationRangeValue(BYTE(range));
        while (output->getNumMIDIPatchTargets() < patches)
            output->createNewMIDIPatchTarget(false, QStringLiteral("SynthB"));
        for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p)
            output->getMIDIPatchTargetAtIndex(p)->setName(QStringLiteral("%1.%2").arg(name).arg(p + 1));
    }
}

QStringList patchNames(MIDIOutput* output)
{
    QStringList names;
    for (int i = 0; i < output->getNumMIDIPatchTargets(); ++i)
        names.append(output->getMIDIPatchTargetAtIndex(i)->getName());
    return names;
}

MIDIOutput* outputNamed(MIDIRoute* route, const QString& name)
{
    for (int i = 0; i < route->getNumMIDIOutputs(); ++i) {
        if (route->getMIDIOutputAtIndex(i)->getName() == name)
            return route->getMIDIOutputAtIndex(i);
    }
    return nullptr;
}

using MergeFactor = MIDIRoutingSetupOutputMerger::TargetAcceptanceFactor;

} // namespace

class MIDIRoutingSetupOutputMergerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        delete buildSetupUsingEverything(); // fills the registries
    }

    void startsWithNothingChosenAndMatchingByName()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoutingSetupOutputMerger merger(&setup);
        QCOMPARE(merger.getMIDIRoutingSetup(), &setup);
        QVERIFY(merger.getSourceRoute() == nullptr);
        QVERIFY(merger.getTargetRoute() == nullptr);
        QCOMPARE(merger.getTargetAcceptanceFactor(), MIDIRoutingSetupOutputMerger::kMatchOutputName);
        QCOMPARE(MIDIRoutingSetupOutputMerger::kMatchOutputName, 0);
        QCOMPARE(MIDIRoutingSetupOutputMerger::kMatchActivationValueOrRange, 1);
    }

    void oneInputIsNotEnoughToMerge()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoutingSetupOutputMerger merger(&setup);
        QString error = QStringLiteral("stale");
        QVERIFY(!merger.canPerformMerging(&error));
        QCOMPARE(error, QStringLiteral("Insufficient outputs for merging."));
        setup.createNewMIDIRoute(false);
        QVERIFY(!merger.canPerformMerging(&error));
        QCOMPARE(error, QStringLiteral("Insufficient outputs for merging."));
        QVERIFY(!merger.canPerformMerging(nullptr));
        setup.createNewMIDIRoute(false);
        QVERIFY(merger.canPerformMerging(&error));
        QCOMPARE(error, QString());
        QVERIFY(merger.canPerformMerging(nullptr));
    }

    void byNamePatchesGoToTheOutputOfTheSameName()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* source = setup.createNewMIDIRoute(false);
        MIDIRoute* target = setup.createNewMIDIRoute(false);
        shapeOutputs(source, {{QStringLiteral("Piano"), 0, 0, 2}, {QStringLiteral("Strings"), 1, 1, 1}});
        shapeOutputs(target, {{QStringLiteral("Strings"), 5, 5, 1}, {QStringLiteral("Brass"), 6, 6, 1}});
        MIDIPatchTarget* original =
            outputNamed(source, QStringLiteral("Strings"))->getMIDIPatchTargetAtIndex(0);
        original->setMIDIChannel(9);
        original->createNewMIDIDataTransform(QStringLiteral("Transpose"))->setInt1(12);
        original->createNewMIDIPatchInitializer(QStringLiteral("Volume"))->setByte2(80);

        MIDIRoutingSetupOutputMerger merger(&setup);
        merger.setSourceRoute(source);
        merger.setTargetRoute(target);
        merger.setTargetAcceptanceFactor(MIDIRoutingSetupOutputMerger::kMatchOutputName);
        QString error = QStringLiteral("stale");
        QCOMPARE(merger.doMerge(&error), 1);
        QCOMPARE(error, QString());

        MIDIOutput* strings = outputNamed(target, QStringLiteral("Strings"));
        QCOMPARE(patchNames(strings),
                 QStringList({QStringLiteral("Strings.1"), QStringLiteral("Strings.1")}));
        MIDIPatchTarget* copy = strings->getMIDIPatchTargetAtIndex(1);
        QVERIFY(copy != original);
        QCOMPARE(copy->getMIDIChannel(), BYTE(9));
        QCOMPARE(copy->getMIDIDataTransformAtIndex(0)->getInt1(), 12);
        QCOMPARE(copy->getMIDIPatchInitializerAtIndex(0)->getByte2(), BYTE(80));
        QCOMPARE(patchNames(outputNamed(target, QStringLiteral("Brass"))),
                 QStringList({QStringLiteral("Brass.1")}));
        // The source is left as it was.
        QCOMPARE(patchNames(outputNamed(source, QStringLiteral("Piano"))),
                 QStringList({QStringLiteral("Piano.1"), QStringLiteral("Piano.2")}));
        QCOMPARE(outputNamed(source, QStringLiteral("Strings"))->getNumMIDIPatchTargets(), 1);
    }

    void namesMatchExactly()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* source = setup.createNewMIDIRoute(false);
        MIDIRoute* target = setup.createNewMIDIRoute(false);
        shapeOutputs(source, {{QStringLiteral("Strings"), 0, 0, 1}});
        shapeOutputs(target, {{QStringLiteral("strings"), 0, 0, 1}, {QStringLiteral("Strings "), 0, 0, 1}});
        MIDIRoutingSetupOutputMerger merger(&setup);
        merger.setSourceRoute(source);
        merger.setTargetRoute(target);
        QCOMPARE(merger.doMerge(nullptr), 0);
    }

    void oneSourceFeedsEveryMatchingTargetAndATargetTakesFromEverySource()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* source = setup.createNewMIDIRoute(false);
        MIDIRoute* target = setup.createNewMIDIRoute(false);
        shapeOutputs(source, {{QStringLiteral("Pad"), 0, 0, 2}, {QStringLiteral("Pad"), 1, 1, 1}});
        shapeOutputs(target, {{QStringLiteral("Pad"), 0, 0, 1}, {QStringLiteral("Pad"), 1, 1, 0}});
        MIDIRoutingSetupOutputMerger merger(&setup);
        merger.setSourceRoute(source);
        merger.setTargetRoute(target);
        QCOMPARE(merger.doMerge(nullptr), 6);
        QCOMPARE(target->getMIDIOutputAtIndex(0)->getNumMIDIPatchTargets(), 1 + 3);
        QCOMPARE(target->getMIDIOutputAtIndex(1)->getNumMIDIPatchTargets(), 1 + 3);
    }

    void byValueNeedsTheSameWayOfSwitching()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* source = setup.createNewMIDIRoute(false);
        MIDIRoute* target = setup.createNewMIDIRoute(false);
        source->setOutputActivationMethod(MIDIRoute::kKeyswitchActivation);
        target->setOutputActivationMethod(MIDIRoute::kProgramChangeActivation);
        shapeOutputs(source, {{QStringLiteral("A"), 10, 10, 1}});
        shapeOutputs(target, {{QStringLiteral("B"), 10, 10, 1}});
        MIDIRoutingSetupOutputMerger merger(&setup);
        merger.setSourceRoute(source);
        merger.setTargetRoute(target);
        merger.setTargetAcceptanceFactor(MIDIRoutingSetupOutputMerger::kMatchActivationValueOrRange);
        QCOMPARE(merger.doMerge(nullptr), 0);
        QCOMPARE(target->getMIDIOutputAtIndex(0)->getNumMIDIPatchTargets(), 1);

        // Same method, but one switches by value and the other by range.
        target->setOutputActivationMethod(MIDIRoute::kKeyswitchActivation);
        target->setOutputActivationSpecificity(MIDIRoute::kValueRange);
        QCOMPARE(merger.doMerge(nullptr), 0);

        target->setOutputActivationSpecificity(MIDIRoute::kSpecificValue);
        QCOMPARE(merger.doMerge(nullptr), 1);
    }

    void bySpecificValueTheMainValuesDecide()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* source = setup.createNewMIDIRoute(false);
        MIDIRoute* target = setup.createNewMIDIRoute(false);
        // Range values differ but do not count when switching by specific value.
        shapeOutputs(source, {{QStringLiteral("A"), 60, 70, 2}, {QStringLiteral("B"), 62, 62, 1}});
        shapeOutputs(target, {{QStringLiteral("X"), 62, 90, 1},
                              {QStringLiteral("Y"), 60, 60, 1},
                              {QStringLiteral("Z"), 61, 61, 1}});
        MIDIRoutingSetupOutputMerger merger(&setup);
        merger.setSourceRoute(source);
        merger.setTargetRoute(target);
        merger.setTargetAcceptanceFactor(MIDIRoutingSetupOutputMerger::kMatchActivationValueOrRange);
        QCOMPARE(merger.doMerge(nullptr), 3);
        QCOMPARE(patchNames(outputNamed(target, QStringLiteral("X"))),
                 QStringList({QStringLiteral("X.1"), QStringLiteral("B.1")}));
        QCOMPARE(patchNames(outputNamed(target, QStringLiteral("Y"))),
                 QStringList({QStringLiteral("Y.1"), QStringLiteral("A.1"), QStringLiteral("A.2")}));
        QCOMPARE(patchNames(outputNamed(target, QStringLiteral("Z"))), QStringList({QStringLiteral("Z.1")}));
    }

    void byRangeBothEndsMustMatch()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* source = setup.createNewMIDIRoute(false);
        MIDIRoute* target = setup.createNewMIDIRoute(false);
        source->setOutputActivationSpecificity(MIDIRoute::kValueRange);
        target->setOutputActivationSpecificity(MIDIRoute::kValueRange);
        shapeOutputs(source, {{QStringLiteral("Low"), 0, 63, 1}, {QStringLiteral("High"), 64, 127, 1}});
        shapeOutputs(target, {{QStringLiteral("Low'"), 0, 63, 1}, {QStringLiteral("High'"), 64, 100, 1}});
        MIDIRoutingSetupOutputMerger merger(&setup);
        merger.setSourceRoute(source);
        merger.setTargetRoute(target);
        merger.setTargetAcceptanceFactor(MIDIRoutingSetupOutputMerger::kMatchActivationValueOrRange);
        QCOMPARE(merger.doMerge(nullptr), 1);
        QCOMPARE(patchNames(target->getMIDIOutputAtIndex(0)),
                 QStringList({QStringLiteral("Low'.1"), QStringLiteral("Low.1")}));
        QCOMPARE(target->getMIDIOutputAtIndex(1)->getNumMIDIPatchTargets(), 1);
    }

    void mergingAnInputIntoItselfDoublesEachOutputOnce()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        setup.createNewMIDIRoute(false);
        shapeOutputs(route, {{QStringLiteral("A"), 0, 0, 1}, {QStringLiteral("B"), 1, 1, 2}});
        MIDIRoutingSetupOutputMerger merger(&setup);
        merger.setSourceRoute(route);
        merger.setTargetRoute(route);
        QCOMPARE(merger.doMerge(nullptr), 3);
        QCOMPARE(patchNames(route->getMIDIOutputAtIndex(0)),
                 QStringList({QStringLiteral("A.1"), QStringLiteral("A.1")}));
        QCOMPARE(patchNames(route->getMIDIOutputAtIndex(1)),
                 QStringList({QStringLiteral("B.1"), QStringLiteral("B.2"), QStringLiteral("B.1"),
                              QStringLiteral("B.2")}));
    }

    void unknownMatchingRuleOrMissingInputsCopyNothing()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* source = setup.createNewMIDIRoute(false);
        MIDIRoute* target = setup.createNewMIDIRoute(false);
        shapeOutputs(source, {{QStringLiteral("A"), 0, 0, 1}});
        shapeOutputs(target, {{QStringLiteral("A"), 0, 0, 1}});
        MIDIRoutingSetupOutputMerger merger(&setup);
        QCOMPARE(merger.doMerge(nullptr), 0); // nothing chosen
        merger.setSourceRoute(source);
        QCOMPARE(merger.doMerge(nullptr), 0); // no target
        merger.setTargetRoute(target);
        merger.setTargetAcceptanceFactor(MergeFactor(2));
        QCOMPARE(merger.doMerge(nullptr), 0);
        merger.setTargetAcceptanceFactor(MergeFactor(-1));
        QCOMPARE(merger.doMerge(nullptr), 0);

        // An input of another setup is not touched.
        MIDIRoutingSetup other(QStringLiteral("Other"), nullptr);
        MIDIRoute* foreign = other.createNewMIDIRoute(false);
        shapeOutputs(foreign, {{QStringLiteral("A"), 0, 0, 1}});
        merger.setTargetAcceptanceFactor(MIDIRoutingSetupOutputMerger::kMatchOutputName);
        merger.setTargetRoute(foreign);
        QCOMPARE(merger.doMerge(nullptr), 0);
        QCOMPARE(foreign->getMIDIOutputAtIndex(0)->getNumMIDIPatchTargets(), 1);
        QCOMPARE(target->getMIDIOutputAtIndex(0)->getNumMIDIPatchTargets(), 1);

        MIDIRoutingSetupOutputMerger noSetup(nullptr);
        QString error;
        QVERIFY(!noSetup.canPerformMerging(&error));
        QCOMPARE(error, QStringLiteral("Insufficient outputs for merging."));
        QCOMPARE(noSetup.doMerge(&error), 0);
    }

    void mergedPatchesPlay()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* source = setup.createNewMIDIRoute(false);
        MIDIRoute* target = setup.createNewMIDIRoute(false);
        source->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(
            QStringLiteral("SynthC"));
        source->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(4);
        target->setMIDIInputPortName(QStringLiteral("Pads"));
        target->setMIDIChannel(MIDIRoute::kAnyChannel);
        target->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(
            QStringLiteral("SynthA"));
        target->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        MIDIRoutingSetupOutputMerger merger(&setup);
        merger.setSourceRoute(source);
        merger.setTargetRoute(target);
        QCOMPARE(merger.doMerge(nullptr), 1); // both outputs are named "Output1"
        RoutingTestRig::clearSent();
        RoutingTestRig::play(QStringLiteral("Pads"), {0x90, 64, 100});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), QList<midiMessage_t>({{0x90, 64, 100}}));
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthC")), QList<midiMessage_t>({{0x94, 64, 100}}));
    }
};

QTEST_GUILESS_MAIN(MIDIRoutingSetupOutputMergerTest)
#include "tst_MIDIRoutingSetupOutputMerger.moc"
