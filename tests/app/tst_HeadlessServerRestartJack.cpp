// The JACK server stops and comes back while the program routes a setup without a window on the
// native JACK backend: the loss is reported once, the program keeps running, and once the server
// is back every port is reopened and reconnected and notes are routed again. The test runs a JACK
// server of its own, so stopping it disturbs no other test.
#include "support/JackServer.h"
#include "support/JackTestClient.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

namespace {

QString setupText(const QString& keys, const QString& synth)
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE MIDIRoutingSetupDocument>\n"
               "<MIDIRoutingSetup name=\"Restart\" documentVersion=\"1.0\"><MIDIRoutes>\n"
               " <MIDIRoute name=\"Keys\" midiPortName=\"%1\" midiChannelIndex=\"127\">\n"
               "  <MIDIOutputs><MIDIOutput name=\"Piano\" isActive=\"1\" mainActivationValue=\"36\" "
               "activationRangeValue=\"36\">\n"
               "   <MIDIPatchTargets><MIDIPatchTarget name=\"P\" midiOutputPortName=\"%2\" "
               "midiChannelIndex=\"4\"/></MIDIPatchTargets>\n"
               "  </MIDIOutput></MIDIOutputs>\n"
               " </MIDIRoute>\n"
               "</MIDIRoutes></MIDIRoutingSetup>\n")
        .arg(keys, synth);
}

} // namespace

class HeadlessServerRestartJackTest : public QObject
{
    Q_OBJECT

    QTemporaryDir _dir;
    QString _serverName;
    QProcess _server;
    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synth;
    QByteArray _programErrors;

    bool startServer()
    {
        _server.setProcessChannelMode(QProcess::MergedChannels);
        _server.start(QStringLiteral("jackd"),
                      {QStringLiteral("-S"), QStringLiteral("-n"), _serverName,
                       QStringLiteral("--no-realtime"), QStringLiteral("-d"), QStringLiteral("dummy"),
                       QStringLiteral("-r"), QStringLiteral("48000"), QStringLiteral("-p"),
                       QStringLiteral("64")});
        if (!_server.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100; ++i) {
            if (checkJackServer() == JackServerState::Running)
                return true;
            QTest::qWait(100);
        }
        return false;
    }

    void stopServer()
    {
        if (_server.state() == QProcess::NotRunning)
            return;
        _server.terminate();
        if (!_server.waitForFinished(10000)) {
            _server.kill();
            _server.waitForFinished(5000);
        }
    }

    bool makeClients()
    {
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QsKeys"), QStringLiteral("out"), QString());
        _synth = std::make_unique<JackTestClient>(QStringLiteral("QsSynth"), QString(), QStringLiteral("in"));
        return _keys->isValid() && _synth->isValid();
    }

    bool routesANote(BYTE note)
    {
        _synth->clearReceived();
        return JackTestClient::retryUntil(
                   [&] {
                       _keys->send({0x90, note, 100});
                   },
                   [&] { return _synth->receivedCount() > 0; }, 20000, 200) &&
               _synth->receivedMessages().front().bytes == midiMessage_t({0x94, note, 100});
    }

    // Reads what the program printed until `text` shows up; false after `timeoutMs`.
    bool waitForProgramLine(QProcess& program, const QByteArray& text, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!_programErrors.contains(text) && clock.elapsed() < timeoutMs) {
            program.waitForReadyRead(100);
            _programErrors += program.readAllStandardError();
        }
        return _programErrors.contains(text);
    }

private slots:
    void initTestCase()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        if (QStandardPaths::findExecutable(QStringLiteral("jackd")).isEmpty())
            QSKIP("jackd is not installed");
        QVERIFY(_dir.isValid());
        _serverName = QStringLiteral("quorvell-restart-%1").arg(QCoreApplication::applicationPid());
        qputenv("JACK_DEFAULT_SERVER", _serverName.toUtf8());
        qputenv("XDG_CONFIG_HOME", _dir.filePath(QStringLiteral("config")).toUtf8());
        QVERIFY2(startServer(), _server.readAll().constData());
    }

    void cleanupTestCase() { stopServer(); }

    void serverRestartIsReportedAndRoutingComesBack()
    {
        QVERIFY(makeClients());
        const QString setupFile = _dir.filePath(QStringLiteral("restart.ms"));
        QFile file(setupFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(setupText(_keys->sourcePortName(), _synth->sinkPortName()).toUtf8());
        file.close();

        QProcess program;
        program.start(
            QStringLiteral(QUORVELL_PROGRAM),
            {QStringLiteral("--headless"), setupFile, QStringLiteral("--midi-api"), QStringLiteral("jack")});
        QVERIFY(program.waitForStarted(10000));
        QVERIFY2(routesANote(60), program.readAllStandardError().constData());

        // The server goes away under the program's feet; the test's own clients go with it.
        _keys.reset();
        _synth.reset();
        stopServer();
        QVERIFY2(waitForProgramLine(program, "error: The JACK server has stopped.", 10000),
                 _programErrors.constData());
        QTest::qWait(1500); // a few attempts to reach a server that is not there
        QCOMPARE(program.state(), QProcess::Running);
        QCOMPARE(_programErrors.count("The JACK server has stopped."), 1);

        QVERIFY2(startServer(), _server.readAll().constData());
        QVERIFY(makeClients());
        QVERIFY2(waitForProgramLine(program, "status: The JACK server is back", 10000),
                 _programErrors.constData());
        QVERIFY2(routesANote(62), _programErrors.constData());

        // The JACK library of this process saw its server die under clients it had: closing the
        // clients made afterwards can crash inside it. They are left for the process's end.
        _keys.release();
        _synth.release();
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(HeadlessServerRestartJackTest)
#include "tst_HeadlessServerRestartJack.moc"
