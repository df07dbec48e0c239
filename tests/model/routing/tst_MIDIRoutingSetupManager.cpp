// The one current setup: making new ones, switching, clearing and relaying its state.
#include "app/StatusManager.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "persistence/SetupFileReaderWriter.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QPointer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

MIDIRoutingSetupManager* manager()
{
    return MIDIRoutingSetupManager::GetInstance();
}

using Sent = QList<midiMessage_t>;

// The document of a setup with one input on "Keys": output A first (program 4 on SynthA), output
// B active with a patch on every channel (program 16 on SynthB) and a muted one (program 5).
QByteArray documentWithTwoSounds()
{
    MIDIRoutingSetup source(QStringLiteral("Two sounds"), nullptr);
    MIDIRoute* route = source.createNewMIDIRoute(false);
    route->setMIDIInputPortName(QStringLiteral("Keys"));
    MIDIOutput* a = route->getMIDIOutputAtIndex(0);
    a->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthA"));
    a->getMIDIPatchTargetAtIndex(0)->addMIDIPatchInitializer(createPCInitializer(4, nullptr));
    MIDIOutput* b = route->createNewMIDIOutput(false);
    MIDIPatchTarget* any = b->getMIDIPatchTargetAtIndex(0);
    any->setMIDIOutputPortName(QStringLiteral("SynthB"));
    any->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
    any->addMIDIPatchInitializer(createPCInitializer(16, nullptr));
    MIDIPatchTarget* muted = b->createNewMIDIPatchTarget(false, QStringLiteral("SynthB"));
    muted->addMIDIPatchInitializer(createPCInitializer(5, nullptr));
    muted->setMuted(true);
    return SetupFileReaderWriter::setupDocumentBytes(&source);
}

// Runs the deferred deletions asked for so far.
void runDeferredDeletions()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class MIDIRoutingSetupManagerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
    }

    void cleanup()
    {
        manager()->clearCurrentRoutingSetup(true);
        runDeferredDeletions();
    }

    void openingSendsTheActiveSoundsInitializersOnceAfterReading_data()
    {
        QTest::addColumn<bool>("preference");
        QTest::addColumn<bool>("commandLineAllows");
        QTest::addColumn<bool>("expectSent");
        QTest::newRow("default") << true << true << true;
        QTest::newRow("preference off") << false << true << false;
        QTest::newRow("--no-initializers-on-open") << true << false << false;
    }
    void openingSendsTheActiveSoundsInitializersOnceAfterReading()
    {
        QFETCH(bool, preference);
        QFETCH(bool, commandLineAllows);
        QFETCH(bool, expectSent);
        registerBuiltInInitializers();
        setBoolPrefValue(PrefKeys::SendInitializersWhenSetupOpens, preference);
        manager()->setInitializersOnOpenAllowed(commandLineAllows);
        auto restore = qScopeGuard([] {
            setBoolPrefValue(PrefKeys::SendInitializersWhenSetupOpens, true);
            manager()->setInitializersOnOpenAllowed(true);
        });
        const QByteArray document = documentWithTwoSounds();
        RoutingTestRig::clearSent();

        auto* setup = new MIDIRoutingSetup(QString(), nullptr);
        QVERIFY(SetupFileReaderWriter::GetInstance()->readSetupFromDocumentBytes(setup, document,
                                                                                 QStringLiteral("two")));
        // Reading sends nothing at all, not even the first output's initializers.
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty());
        QCOMPARE(setup->getMIDIRouteAtIndex(0)->getActiveMIDIOutput(),
                 setup->getMIDIRouteAtIndex(0)->getMIDIOutputAtIndex(1));

        manager()->setCurrentRoutingSetup(setup, true);
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
        // Channel "Any" sends on channel index 0; the muted patch sends nothing.
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")),
                 expectSent ? Sent({{0xC0, 16}}) : Sent());
        // Making the same setup current again is no opening.
        manager()->setCurrentRoutingSetup(setup, true);
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty());
    }

    void isOneObjectForTheWholeProgram()
    {
        QCOMPARE(MIDIRoutingSetupManager::GetInstance(), MIDIRoutingSetupManager::GetInstance());
        QVERIFY(manager()->parent() == nullptr);
    }

    void newSetupFromAMissingFileIsCurrentEmptyAndUnnamed()
    {
        QSignalSpy switched(manager(), &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo);
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QTemporaryDir dir;
        MIDIRoutingSetup* setup =
            manager()->createNewRoutingSetup(true, dir.filePath(QStringLiteral("gone.ms")));
        QVERIFY(setup);
        QCOMPARE(manager()->getCurrentRoutingSetup(), setup);
        QCOMPARE(getCurrentRoutingSetup(), setup);
        QVERIFY(manager()->hasCurrentRoutingSetup());
        QCOMPARE(setup->getName(), QStringLiteral("no name"));
        QVERIFY(setup->isEmpty());
        QCOMPARE(setup->getFilePath(), QString());
        QCOMPARE(setup->parent(), manager());
        QCOMPARE(switched.count(), 1);
        // The player is told why nothing was opened.
        QCOMPARE(errors.count(), 1);
        QVERIFY(errors.at(0).at(0).toString().contains(QStringLiteral("gone.ms")));
    }

    void newSetupFromAFileIsReadAndUnmodified()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("gig.ms"));
        {
            MIDIRoutingSetup saved(QStringLiteral("Gig"), nullptr);
            saved.createNewMIDIRoute(false);
            saved.createNewMIDIRoute(false)->setName(QStringLiteral("Bass pedals"));
            QVERIFY(SetupFileReaderWriter::GetInstance()->saveSetupToDisk(&saved, path));
        }
        QSignalSpy modified(manager(), &MIDIRoutingSetupManager::currentRoutingSetupModifiedChangedTo);
        MIDIRoutingSetup* setup = manager()->createNewRoutingSetup(true, path);
        QCOMPARE(setup->getName(), QStringLiteral("Gig"));
        QCOMPARE(setup->getNumMIDIRoutes(), 2);
        QCOMPARE(setup->getMIDIRouteAtIndex(1)->getName(), QStringLiteral("Bass pedals"));
        QCOMPARE(setup->getFilePath(), path);
        QVERIFY(!setup->isModified());
        QCOMPARE(modified.count(), 0);
    }

    void newSetupNotMadeCurrentLeavesTheCurrentOne()
    {
        MIDIRoutingSetup* current = manager()->createNewRoutingSetup(true, QString());
        QSignalSpy switched(manager(), &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo);
        std::unique_ptr<MIDIRoutingSetup> spare(manager()->createNewRoutingSetup(false, QString()));
        QCOMPARE(manager()->getCurrentRoutingSetup(), current);
        QCOMPARE(switched.count(), 0);
        QVERIFY(spare->isEmpty());
    }

    void switchingSchedulesTheOldSetupForDeletionAndAnnouncesOnce()
    {
        QPointer<MIDIRoutingSetup> old = manager()->createNewRoutingSetup(true, QString());
        auto* next = new MIDIRoutingSetup(QStringLiteral("Next"), nullptr);
        QSignalSpy switched(manager(), &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo);
        QSignalSpy cleared(manager(), &MIDIRoutingSetupManager::currentRoutingSetupCleared);
        manager()->setCurrentRoutingSetup(next, true);
        QCOMPARE(switched.count(), 1);
        QCOMPARE(switched.at(0).at(0).value<MIDIRoutingSetup*>(), next);
        QCOMPARE(cleared.count(), 0);
        QCOMPARE(next->parent(), manager());
        QVERIFY(old); // deferred, not deleted under the caller
        QVERIFY(old->parent() == nullptr);
        runDeferredDeletions();
        QVERIFY(old.isNull());
    }

    void switchingWithoutDeletionHandsTheOldSetupBack()
    {
        std::unique_ptr<MIDIRoutingSetup> old(new MIDIRoutingSetup(QStringLiteral("Old"), nullptr));
        manager()->setCurrentRoutingSetup(old.get(), true);
        manager()->setCurrentRoutingSetup(new MIDIRoutingSetup(QStringLiteral("New"), nullptr), false);
        runDeferredDeletions();
        QVERIFY(old->parent() == nullptr);
        QCOMPARE(old->getName(), QStringLiteral("Old"));
    }

    void clearingAnnouncesClearedAndNoSwitch()
    {
        QPointer<MIDIRoutingSetup> old = manager()->createNewRoutingSetup(true, QString());
        QSignalSpy switched(manager(), &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo);
        QSignalSpy cleared(manager(), &MIDIRoutingSetupManager::currentRoutingSetupCleared);
        manager()->clearCurrentRoutingSetup(true);
        QCOMPARE(cleared.count(), 1);
        QCOMPARE(switched.count(), 0);
        QVERIFY(!manager()->hasCurrentRoutingSetup());
        QVERIFY(getCurrentRoutingSetup() == nullptr);
        runDeferredDeletions();
        QVERIFY(old.isNull());
    }

    void makingTheCurrentSetupCurrentAgainKeepsIt()
    {
        QPointer<MIDIRoutingSetup> setup = manager()->createNewRoutingSetup(true, QString());
        QSignalSpy modified(manager(), &MIDIRoutingSetupManager::currentRoutingSetupModifiedChangedTo);
        manager()->setCurrentRoutingSetup(setup, true);
        runDeferredDeletions();
        QVERIFY(!setup.isNull());
        QCOMPARE(manager()->getCurrentRoutingSetup(), setup.data());
        QCOMPARE(setup->parent(), manager());
        // Still relayed, and only once.
        setup->setName(QStringLiteral("Renamed"));
        QCOMPARE(modified.count(), 1);
    }

    void currentSetupsModifiedFlagAndPathAreRelayed()
    {
        MIDIRoutingSetup* setup = manager()->createNewRoutingSetup(true, QString());
        QSignalSpy modified(manager(), &MIDIRoutingSetupManager::currentRoutingSetupModifiedChangedTo);
        QSignalSpy path(manager(), &MIDIRoutingSetupManager::currentRoutingSetupFilePathChangedTo);
        setup->createNewMIDIRoute(false);
        QCOMPARE(modified.count(), 1);
        QCOMPARE(modified.at(0).at(0).toBool(), true);

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("relay.ms"));
        QVERIFY(SetupFileReaderWriter::GetInstance()->saveSetupToDisk(setup, file));
        QCOMPARE(path.count(), 1);
        QCOMPARE(path.at(0).at(0).toString(), file);
        QCOMPARE(modified.count(), 2);
        QCOMPARE(modified.at(1).at(0).toBool(), false);
    }

    void aSetupNoLongerCurrentIsNotRelayed()
    {
        std::unique_ptr<MIDIRoutingSetup> old(new MIDIRoutingSetup(QStringLiteral("Old"), nullptr));
        manager()->setCurrentRoutingSetup(old.get(), false);
        manager()->setCurrentRoutingSetup(new MIDIRoutingSetup(QStringLiteral("New"), nullptr), false);
        QSignalSpy modified(manager(), &MIDIRoutingSetupManager::currentRoutingSetupModifiedChangedTo);
        QSignalSpy path(manager(), &MIDIRoutingSetupManager::currentRoutingSetupFilePathChangedTo);
        old->createNewMIDIRoute(false);
        old->setFilePath(QStringLiteral("/gig/old.ms"));
        QVERIFY(old->isModified());
        QCOMPARE(modified.count(), 0);
        QCOMPARE(path.count(), 0);
    }
};

QTEST_GUILESS_MAIN(MIDIRoutingSetupManagerTest)
#include "tst_MIDIRoutingSetupManager.moc"
