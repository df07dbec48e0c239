// PipeWire stops and comes back while the program routes a setup without a window on the native
// JACK backend through PipeWire's JACK library: the loss is reported once, the program keeps
// running, and once PipeWire is back every port is reconnected and notes are routed again.
// Run by scripts/pipewire-tests.sh (a private PipeWire under pw-jack); skipped anywhere else.
#include "support/JackServer.h"
#include "support/JackTestClient.h"

#include <QElapsedTimer>
#include <QProcess>
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

class PipeWireRestartJackTest : public QObject
{
    Q_OBJECT

    QTemporaryDir _dir;
    QProcess _pipewire;
    QProcess _wireplumber;
    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synth;
    QByteArray _programErrors;

    bool startPipeWire()
    {
        _pipewire.setProcessChannelMode(QProcess::MergedChannels);
        _pipewire.start(QStringLiteral("pipewire"), {});
        if (!_pipewire.waitForStarted(5000))
            return false;
        QTest::qWait(300);
        _wireplumber.setProcessChannelMode(QProcess::MergedChannels);
        _wireplumber.start(QStringLiteral("wireplumber"), {});
        if (!_wireplumber.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100; ++i) {
            if (checkJackServer() == JackServerState::Running) {
                // The quantum of a 256-frame JACK server, as the other runs use.
                QProcess::execute(QStringLiteral("pw-metadata"),
                                  {QStringLiteral("-n"), QStringLiteral("settings"), QStringLiteral("0"),
                                   QStringLiteral("clock.force-quantum"), QStringLiteral("256")});
                return true;
            }
            QTest::qWait(100);
        }
        return false;
    }

    void stopPipeWire()
    {
        for (QProcess* process : {&_wireplumber, &_pipewire}) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->terminate();
            if (!process->waitForFinished(10000)) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    bool makeClients()
    {
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QpwKeys"), QStringLiteral("out"), QString());
        _synth =
            std::make_unique<JackTestClient>(QStringLiteral("QpwSynth"), QString(), QStringLiteral("in"));
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
        if (qEnvironmentVariableIsEmpty("QUORVELL_TEST_PIPEWIRE"))
            QSKIP("runs on a private PipeWire: scripts/pipewire-tests.sh");
        QVERIFY(_dir.isValid());
        qputenv("JACK_DEFAULT_SERVER", "default");
        qputenv("XDG_CONFIG_HOME", _dir.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_STATE_HOME", _dir.filePath(QStringLiteral("state")).toUtf8());
        QVERIFY2(startPipeWire(), _pipewire.readAll().constData());
    }

    void cleanupTestCase() { stopPipeWire(); }

    void pipeWireRestartIsReportedAndRoutingComesBack()
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

        _keys.release(); // PipeWire's JACK library frees them with the lost connection
        _synth.release();
        stopPipeWire();
        QVERIFY2(waitForProgramLine(program, "error: The JACK server has stopped.", 10000),
                 _programErrors.constData());
        QTest::qWait(1500);
        QCOMPARE(program.state(), QProcess::Running);
        QCOMPARE(_programErrors.count("The JACK server has stopped."), 1);

        QVERIFY2(startPipeWire(), _pipewire.readAll().constData());
        QVERIFY(makeClients());
        QVERIFY2(waitForProgramLine(program, "status: The JACK server is back", 15000),
                 _programErrors.constData());
        QVERIFY2(routesANote(62), _programErrors.constData());

        _keys.release();
        _synth.release();
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(PipeWireRestartJackTest)
#include "tst_PipeWireRestartJack.moc"
