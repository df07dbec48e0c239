// SIGTERM to the windowed program on the private JACK server: every held note ends, the quit-time
// preferences are stored, and a setup with unsaved changes is kept in a recovery file that the
// next start tells about.
#include "app/MainWindow.h"
#include "app/WindowedStop.h"
#include "app/cli/CleanStop.h"
#include "midi/RtMidiBackend.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "support/BusyNeighbours.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <unistd.h>

class WindowedStopJackTest : public QObject
{
    Q_OBJECT

    QTemporaryDir _dir;
    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synth;
    QString _setupFile;
    QString _recoveryFile;

    bool waitUntilRouted()
    {
        // Only the probe counts: what an earlier stop sent may still be arriving.
        _synth->clearReceived();
        const bool routed = JackTestClient::retryUntil(
            [&] {
                _keys->send({0xB0, 7, 1});
            },
            [&] { return _synth->receivedCount() > 0; }, 20000, 200);
        QTest::qWait(100);
        _synth->clearReceived();
        return routed;
    }

private slots:
    void initTestCase()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(_dir.isValid());
        // This process and the programs it starts share preferences and data folder, away from
        // the user's.
        qputenv("XDG_CONFIG_HOME", _dir.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", _dir.filePath(QStringLiteral("data")).toUtf8());
        QCoreApplication::setOrganizationName(QStringLiteral("Dunmoor Software"));
        QCoreApplication::setApplicationName(QStringLiteral("Quorvell"));
        RtMidiBackend::setPreferredApi(QStringLiteral("jack"));

        _keys = std::make_unique<JackTestClient>(QStringLiteral("QwKeys"), QStringLiteral("out"), QString());
        _synth = std::make_unique<JackTestClient>(QStringLiteral("QwSynth"), QString(), QStringLiteral("in"));
        QVERIFY2(_keys->isValid(), qPrintable(_keys->errorText()));
        QVERIFY2(_synth->isValid(), qPrintable(_synth->errorText()));
        _setupFile = _dir.filePath(QStringLiteral("stage.ms"));
        QFile file(_setupFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE MIDIRoutingSetupDocument>\n"
                           "<MIDIRoutingSetup name=\"Stage\" documentVersion=\"1.0\"><MIDIRoutes>"
                           "<MIDIRoute name=\"Keys\" midiPortName=\"%1\" midiChannelIndex=\"127\" "
                           "outputActivationMethod=\"0\"><MIDIOutputs><MIDIOutput name=\"Piano\" "
                           "isActive=\"1\" mainActivationValue=\"36\" activationRangeValue=\"36\">"
                           "<MIDIPatchTargets><MIDIPatchTarget name=\"Grand\" midiOutputPortName=\"%2\" "
                           "midiChannelIndex=\"0\"/></MIDIPatchTargets></MIDIOutput></MIDIOutputs>"
                           "</MIDIRoute></MIDIRoutes></MIDIRoutingSetup>\n")
                .arg(_keys->sourcePortName(), _synth->sinkPortName())
                .toUtf8());
        file.close();
        registerBuiltInTransforms();
        registerBuiltInInitializers();
    }

    void sigtermEndsHeldNotesAndKeepsTheUnsavedSetup()
    {
        auto* window = new MainWindow();
        bool loopEnded = false;
        auto* stop = new WindowedStop(window, [&loopEnded] { loopEnded = true; });
        stop->setWindow(window);
        window->show();
        window->openFirstSetup(_setupFile);
        QVERIFY(waitUntilRouted());

        _keys->send({0x90, 60, 100});
        QVERIFY(_synth->waitForMessages(1, 5000));
        QVERIFY(_synth->hasReceived({0x90, 60, 100}));
        getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->setName(QStringLiteral("Keys (edited)"));

        ::kill(::getpid(), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(loopEnded, 5000);
        // The stop goes with the window.
        const QStringList keptFiles = stop->recoveryFilePaths();
        // What the program does once the event loop has ended.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete window;
        CleanStop::perform();
        QTRY_VERIFY_WITH_TIMEOUT(_synth->hasReceived({0x80, 60, 127}), 5000);

        QCOMPARE(keptFiles.size(), 1);
        _recoveryFile = keptFiles.first();
        QVERIFY2(_recoveryFile.startsWith(_dir.filePath(QStringLiteral("data"))), qPrintable(_recoveryFile));
        QFile kept(_recoveryFile);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QVERIFY(kept.readAll().contains("Keys (edited)"));
        QVERIFY(hasPrefValueFor(PrefKeys::MainWindowPosition));
        QVERIFY(hasPrefValueFor(PrefKeys::KeyboardVisible));
        // The file on disk was not touched.
        QFile original(_setupFile);
        QVERIFY(original.open(QIODevice::ReadOnly));
        QVERIFY(!original.readAll().contains("edited"));
    }

    void nextStartSaysWhereTheSetupWasKept()
    {
        QVERIFY2(!_recoveryFile.isEmpty(), "needs the test before");
        QProcess program;
        program.start(
            QStringLiteral(QUORVELL_PROGRAM),
            {QStringLiteral("--headless"), _setupFile, QStringLiteral("--midi-api"), QStringLiteral("jack")});
        QVERIFY(program.waitForStarted(10000));
        // Stopped before it watches for the signal, the program would end with nothing said.
        program.setReadChannel(QProcess::StandardError);
        QDeadlineTimer reading(20000);
        while (!program.peek(1 << 16).contains("status: routing") && !reading.hasExpired())
            program.waitForReadyRead(100);
        QVERIFY(waitUntilRouted());
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        const QString text = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(text.contains(QStringLiteral("status: The setup that had unsaved changes")),
                 qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(_recoveryFile)), qPrintable(text));
    }

    // Beside two busy processes, where the flush at stop once gave up before the last note off.
    void windowedProgramStopsCleanlyOnSigterm()
    {
        BusyNeighbours neighbours(2);
        QProcess program;
        program.start(QStringLiteral(QUORVELL_PROGRAM),
                      {_setupFile, QStringLiteral("--midi-api"), QStringLiteral("jack")});
        QVERIFY(program.waitForStarted(10000));
        QVERIFY2(waitUntilRouted(), program.readAllStandardError().constData());
        _keys->send({0x90, 64, 90});
        _keys->send({0xB0, 64, 127});
        QVERIFY(_synth->waitForMessages(2, 5000));
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(_synth->hasReceived({0x80, 64, 127}), 5000);
        QVERIFY(_synth->hasReceived({0xB0, 64, 0}));
        // Nothing was changed, so nothing needed keeping.
        QVERIFY(!program.readAllStandardError().contains("kept in"));
    }
};

QTEST_MAIN(WindowedStopJackTest)
#include "tst_WindowedStopJack.moc"
