#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>

class MIDIRoutingSetupTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
    }

    void firstInputsComeReadyToPlay()
    {
        setIntPrefValue(PrefKeys::DefaultMIDIOutputActivationMethod, 1);
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* first = setup.createNewMIDIRoute(false);
        setIntPrefValue(PrefKeys::DefaultMIDIOutputActivationMethod, 0);
        QCOMPARE(first->getName(), QStringLiteral("Input1"));
        QCOMPARE(first->getMIDIInputPortName(), QStringLiteral("Keys"));
        QCOMPARE(first->getMIDIChannel(), BYTE(0));
        QVERIFY(first->isActivationMethodProgramChange());
        QCOMPARE(first->getNumMIDIOutputs(), 1);
        QCOMPARE(first->getMIDIOutputAtIndex(0)->getName(), QStringLiteral("Output1"));
        QCOMPARE(first->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0)->getName(),
                 QStringLiteral("Patch1"));
        QCOMPARE(setup.getActiveRoute(), first);

        first->setOutputActivationSpecificity(MIDIRoute::kValueRange);
        MIDIRoute* second = setup.createNewMIDIRoute(false);
        QCOMPARE(second->getName(), QStringLiteral("Input2"));
        QCOMPARE(second->getMIDIInputPortName(), QStringLiteral("Keys"));
        QCOMPARE(second->getMIDIChannel(), BYTE(1));
        QVERIFY(second->isActivationMethodProgramChange());
        QVERIFY(second->isOutputActivationValueRange());
    }

    void removingARouteMakesTheFirstActive()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* a = setup.createNewMIDIRoute(false);
        MIDIRoute* b = setup.createNewMIDIRoute(false);
        MIDIRoute* c = setup.createNewMIDIRoute(false);
        setup.setActiveRoute(c);
        setup.removeMIDIRoute(b, true);
        QCOMPARE(setup.getActiveRoute(), a);
        QVERIFY(a->isActive());
        QVERIFY(!c->isActive());
    }

    void removingTheOnlyRouteLeavesNoneActive()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* a = setup.createNewMIDIRoute(false);
        QSignalSpy spy(&setup, &MIDIRoutingSetup::activeRouteChangedTo);
        setup.removeMIDIRoute(a, true);
        QVERIFY(!setup.hasActiveRoute());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<MIDIRoute*>(), nullptr);
        QVERIFY(setup.isEmpty());
    }

    void filePathAnnouncedOnlyWhenChanged()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        QSignalSpy spy(&setup, &MIDIRoutingSetup::filePathChangedTo);
        setup.setFilePath(QStringLiteral("/tmp/a.ms"));
        setup.setFilePath(QStringLiteral("/tmp/a.ms"));
        QCOMPARE(spy.count(), 1);
        QVERIFY(setup.hasBeenSaved());
        QVERIFY(!setup.isModified());
    }

    void duplicateRouteIsPlacedAfterAndActivated()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* a = setup.createNewMIDIRoute(false);
        setup.createNewMIDIRoute(false);
        a->createNewMIDIOutput(false);
        MIDIRoute* dup = setup.duplicateMIDIRoute(a);
        QCOMPARE(setup.getIndexOfMIDIRoute(dup), 1);
        QCOMPARE(dup->getName(), QStringLiteral("Input1.dup"));
        QCOMPARE(dup->getNumMIDIOutputs(), 2);
        QCOMPARE(setup.getActiveRoute(), dup);
    }

    void activeRouteWalksAndSetsAgain()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* a = setup.createNewMIDIRoute(false);
        MIDIRoute* b = setup.createNewMIDIRoute(false);
        setup.activateRouteBeforeCurrent();
        QCOMPARE(setup.getActiveRoute(), a);
        setup.activateRouteAfterCurrent();
        setup.activateRouteAfterCurrent();
        QCOMPARE(setup.getActiveRoute(), b);
        QSignalSpy routeActive(b, &MIDIRoute::activeChangedTo);
        setup.setActiveRoute(b);
        QCOMPARE(routeActive.count(), 2);
        setup.setModified(false);
        setup.setActiveRoute(a);
        QVERIFY(!setup.isModified());
    }

    void reroutingInputsAndOutputs()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        MIDIRoute* a = setup.createNewMIDIRoute(false);
        MIDIRoute* b = setup.createNewMIDIRoute(false);
        QCOMPARE(setup.rerouteInputPort(QStringLiteral("Keys"), 1, QStringLiteral("Pads"), -1), 1);
        QCOMPARE(b->getMIDIInputPortName(), QStringLiteral("Pads"));
        QCOMPARE(a->getMIDIInputPortName(), QStringLiteral("Keys"));
        QCOMPARE(setup.rerouteInputPort(QStringLiteral("Pads"), -1, QStringLiteral("Keys"), 7), 1);
        QCOMPARE(b->getMIDIChannel(), BYTE(7));
        QCOMPARE(setup.rerouteOutputPort(QStringLiteral("SynthA"), -1, QStringLiteral("SynthC"), -1), 2);
        setup.setInputPortAndIncrementChannelFrom(a, QStringLiteral("Pads"), 15);
        QCOMPARE(a->getMIDIChannel(), BYTE(15));
        QCOMPARE(b->getMIDIChannel(), BYTE(0));
    }

    void xmlRoundTripKeepsTheActiveRouteByName()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        setup.createNewMIDIRoute(false);
        MIDIRoute* b = setup.createNewMIDIRoute(false);
        b->setName(QStringLiteral("Input1"));
        setup.setActiveRoute(b);
        QDomDocument doc;
        doc.appendChild(setup.toDomElement(doc));
        MIDIRoutingSetup copy(QStringLiteral("no name"), nullptr);
        copy.initFromDomElement(doc.documentElement());
        QCOMPARE(copy.getNumMIDIRoutes(), 2);
        // Two inputs of that name: the first of them becomes active.
        QCOMPARE(copy.getActiveRoute(), copy.getMIDIRouteAtIndex(0));
    }
};

QTEST_GUILESS_MAIN(MIDIRoutingSetupTest)
#include "tst_MIDIRoutingSetup.moc"
