// The state file of a headless box: the active output of each input, taken back only for the
// same setup file with the same content, and never applied to outputs that no longer match.
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/ActiveOutputState.h"
#include "support/FullSetupBuilder.h"
#include "support/RoutingTestRig.h"
#include "support/SetupFileTestHelpers.h"
#include "support/TestPrefs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using SetupFileTestHelpers::SetupPtr;

namespace {

QVector<int> activeIndices(MIDIRoutingSetup* setup)
{
    QVector<int> indices;
    for (int r = 0; r < setup->getNumMIDIRoutes(); ++r) {
        MIDIRoute* route = setup->getMIDIRouteAtIndex(r);
        int active = -1;
        for (int o = 0; o < route->getNumMIDIOutputs(); ++o)
            if (route->getMIDIOutputAtIndex(o) == route->getActiveMIDIOutput())
                active = o;
        indices << active;
    }
    return indices;
}

// Makes the last output of every input with more than one the active one.
void switchEveryInputToItsLastOutput(MIDIRoutingSetup* setup)
{
    for (int r = 0; r < setup->getNumMIDIRoutes(); ++r) {
        MIDIRoute* route = setup->getMIDIRouteAtIndex(r);
        if (route->getNumMIDIOutputs() > 1)
            route->setActiveMIDIOutput(route->getMIDIOutputAtIndex(route->getNumMIDIOutputs() - 1));
    }
}

} // namespace

class ActiveOutputStateTest : public QObject
{
    Q_OBJECT

    QTemporaryDir _dir;
    QString _setupFile;
    QByteArray _hash;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        QVERIFY(_dir.isValid());
        _setupFile = _dir.filePath(QStringLiteral("gig.ms"));
        QVERIFY(SetupFileTestHelpers::writeFile(_setupFile, "<setup/>"));
        _hash = ActiveOutputState::contentHash(_setupFile);
        QCOMPARE(_hash.size(), 64);
    }

    void switchedOutputsComeBackOnAFreshCopyOfTheSetup()
    {
        SetupPtr played(buildSetupUsingEverything());
        switchEveryInputToItsLastOutput(played.get());
        const QVector<int> expected = activeIndices(played.get());
        const QString statePath = _dir.filePath(QStringLiteral("state/a.state"));
        QString error;
        QVERIFY2(ActiveOutputState::capture(played.get()).save(statePath, _setupFile, _hash, &error),
                 qPrintable(error));

        SetupPtr reopened(buildSetupUsingEverything());
        QVERIFY(activeIndices(reopened.get()) != expected);
        const ActiveOutputState state = ActiveOutputState::load(statePath, _setupFile, _hash);
        QVERIFY(state.isValid());
        QCOMPARE(state.numInputs(), played->getNumMIDIRoutes());
        QVERIFY(state.applyTo(reopened.get()) > 0);
        QCOMPARE(activeIndices(reopened.get()), expected);
        // Applied again, nothing more switches.
        QCOMPARE(state.applyTo(reopened.get()), 0);
    }

    void stateOfOtherContentAnotherFileOrDamagedIsIgnored()
    {
        SetupPtr setup(buildSetupUsingEverything());
        const QString statePath = _dir.filePath(QStringLiteral("state/b.state"));
        QVERIFY(ActiveOutputState::capture(setup.get()).save(statePath, _setupFile, _hash));
        QString why;

        QVERIFY(!ActiveOutputState::load(statePath, _setupFile, QByteArray(64, 'f'), &why).isValid());
        QVERIFY2(why.contains(QStringLiteral("changed")), qPrintable(why));
        QVERIFY(!ActiveOutputState::load(statePath, _dir.filePath(QStringLiteral("other.ms")), _hash, &why)
                     .isValid());
        QVERIFY(!ActiveOutputState::load(statePath, _setupFile, QByteArray(), &why).isValid());

        why.clear();
        QVERIFY(!ActiveOutputState::load(_dir.filePath(QStringLiteral("none.state")), _setupFile, _hash, &why)
                     .isValid());
        QVERIFY(why.isEmpty()); // none kept: nothing to say

        for (const QByteArray& damaged : {QByteArray("{\"version\": 1, \"inputs\": [tru"), QByteArray("[]"),
                                          QByteArray("{\"version\": 7, \"inputs\": []}"), QByteArray()}) {
            QVERIFY(SetupFileTestHelpers::writeFile(statePath, damaged));
            QVERIFY(!ActiveOutputState::load(statePath, _setupFile, _hash, &why).isValid());
            QVERIFY2(why.contains(QStringLiteral("damaged")), qPrintable(why));
        }
    }

    void outputsThatNoLongerMatchAreLeftAsTheFileHasThem()
    {
        SetupPtr played(buildSetupUsingEverything());
        switchEveryInputToItsLastOutput(played.get());
        const QString statePath = _dir.filePath(QStringLiteral("state/c.state"));
        QVERIFY(ActiveOutputState::capture(played.get()).save(statePath, _setupFile, _hash));

        SetupPtr reopened(buildSetupUsingEverything());
        const QVector<int> before = activeIndices(reopened.get());
        for (int r = 0; r < reopened->getNumMIDIRoutes(); ++r) {
            MIDIRoute* route = reopened->getMIDIRouteAtIndex(r);
            if (route->getNumMIDIOutputs() > 0)
                route->getMIDIOutputAtIndex(route->getNumMIDIOutputs() - 1)
                    ->setName(QStringLiteral("Renamed"));
        }
        QCOMPARE(ActiveOutputState::load(statePath, _setupFile, _hash).applyTo(reopened.get()), 0);
        QCOMPARE(activeIndices(reopened.get()), before);
    }

    void stateFolderFollowsXdgStateHome()
    {
        const QByteArray saved = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", _dir.filePath(QStringLiteral("xdg")).toUtf8());
        QCOMPARE(ActiveOutputState::stateDirectory(), _dir.filePath(QStringLiteral("xdg/quorvell")));
        QVERIFY(ActiveOutputState::stateFilePathFor(_setupFile)
                    .startsWith(_dir.filePath(QStringLiteral("xdg/quorvell/gig-"))));
        // Two setups of the same name in different folders keep apart.
        QVERIFY(ActiveOutputState::stateFilePathFor(_setupFile) !=
                ActiveOutputState::stateFilePathFor(_dir.filePath(QStringLiteral("sub/gig.ms"))));
        qputenv("XDG_STATE_HOME", "relative/ignored");
        QCOMPARE(ActiveOutputState::stateDirectory(),
                 QDir::home().filePath(QStringLiteral(".local/state/quorvell")));
        qputenv("XDG_STATE_HOME", saved);
    }
};

QTEST_GUILESS_MAIN(ActiveOutputStateTest)
#include "tst_ActiveOutputState.moc"
