// A headless box restarted on the same setup comes back on the outputs that were active when it
// stopped; a changed setup file, or --fresh, starts on the outputs the file marks active. Played
// on the private JACK server: which synth hears a note tells which output is active.
#include "support/JackBackendUnderTest.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

namespace {

// One input with two outputs switched by keyswitch: "Lead" (C2 = 36, active in the file) sends to
// synth A, "Pad" (D2 = 38) to synth B.
QByteArray setupText(const QString& keys, const QString& synthA, const QString& synthB)
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE MIDIRoutingSetupDocument>\n"
               "<MIDIRoutingSetup name=\"Box\" documentVersion=\"1.0\"><MIDIRoutes>\n"
               " <MIDIRoute name=\"Keys\" midiPortName=\"%1\" midiChannelIndex=\"127\" "
               "outputActivationMethod=\"0\"><MIDIOutputs>\n"
               "  <MIDIOutput name=\"Lead\" isActive=\"1\" mainActivationValue=\"36\" "
               "activationRangeValue=\"36\"><MIDIPatchTargets><MIDIPatchTarget name=\"A\" "
               "midiOutputPortName=\"%2\" midiChannelIndex=\"0\"/></MIDIPatchTargets></MIDIOutput>\n"
               "  <MIDIOutput name=\"Pad\" isActive=\"0\" mainActivationValue=\"38\" "
               "activationRangeValue=\"38\"><MIDIPatchTargets><MIDIPatchTarget name=\"B\" "
               "midiOutputPortName=\"%3\" midiChannelIndex=\"0\"/></MIDIPatchTargets></MIDIOutput>\n"
               " </MIDIOutputs></MIDIRoute>\n"
               "</MIDIRoutes></MIDIRoutingSetup>\n")
        .arg(keys, synthA, synthB)
        .toUtf8();
}

} // namespace

class HeadlessStateJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synthA;
    std::unique_ptr<JackTestClient> _synthB;
    QTemporaryDir _dir;
    QString _setupFile;
    QString _stderr;

    void writeSetup(const QByteArray& bytes)
    {
        QFile file(_setupFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Starts the program and waits until it routes: a probe controller reaches either synth.
    bool start(QProcess& program, const QStringList& extra = {})
    {
        program.setProcessChannelMode(QProcess::SeparateChannels);
        program.start(QStringLiteral(QUORVELL_PROGRAM),
                      QStringList{QStringLiteral("--headless"), _setupFile, QStringLiteral("--midi-api"),
                                  JackBackendUnderTest::midiApiOption()} +
                          extra);
        if (!program.waitForStarted(10000))
            return false;
        const bool heard = JackTestClient::retryUntil(
            [&] {
                _keys->send({0xB0, 7, 1});
            },
            [&] { return _synthA->receivedCount() > 0 || _synthB->receivedCount() > 0; }, 20000, 200);
        QTest::qWait(100);
        _synthA->clearReceived();
        _synthB->clearReceived();
        return heard;
    }

    bool stop(QProcess& program)
    {
        ::kill(pid_t(program.processId()), SIGTERM);
        const bool stopped = program.waitForFinished(20000);
        _stderr = QString::fromLocal8Bit(program.readAllStandardError());
        return stopped && program.exitCode() == 0;
    }

    // Plays a note and says which synth heard it: 'A', 'B', or '-' for none (or both).
    char whoHearsANote()
    {
        _keys->send({0x90, 60, 100});
        _keys->send({0x80, 60, 0});
        JackTestClient::retryUntil(
            [] {}, [&] { return _synthA->receivedCount() + _synthB->receivedCount() >= 2; }, 10000, 50);
        QTest::qWait(100);
        const int a = _synthA->receivedCount();
        const int b = _synthB->receivedCount();
        _synthA->clearReceived();
        _synthB->clearReceived();
        return a > 0 && b == 0 ? 'A' : (b > 0 && a == 0 ? 'B' : '-');
    }

    // Runs the program, switches to Pad and stops at once (the write at stop must catch it).
    void runAndSwitchToPad()
    {
        QProcess program;
        QVERIFY(start(program));
        _keys->send({0x90, 38, 100}); // keyswitch D2: Pad
        _keys->send({0x80, 38, 0});
        QTest::qWait(200);
        QCOMPARE(whoHearsANote(), 'B');
        QVERIFY2(stop(program), qPrintable(_stderr));
    }

private slots:
    void initTestCase()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(_dir.isValid());
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QsKeys"), QStringLiteral("out"), QString());
        _synthA =
            std::make_unique<JackTestClient>(QStringLiteral("QsSynthA"), QString(), QStringLiteral("in"));
        _synthB =
            std::make_unique<JackTestClient>(QStringLiteral("QsSynthB"), QString(), QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _synthA.get(), _synthB.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));
        _setupFile = _dir.filePath(QStringLiteral("box.ms"));
        writeSetup(setupText(_keys->sourcePortName(), _synthA->sinkPortName(), _synthB->sinkPortName()));
        qputenv("XDG_CONFIG_HOME", _dir.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_STATE_HOME", _dir.filePath(QStringLiteral("state")).toUtf8());
    }

    void restartOnTheSameFileComesBackOnTheSameOutputs()
    {
        runAndSwitchToPad();
        QProcess program;
        QVERIFY(start(program));
        QCOMPARE(whoHearsANote(), 'B');
        QVERIFY2(stop(program), qPrintable(_stderr));
        QVERIFY2(_stderr.contains(
                     QStringLiteral("status: back on the outputs active at the last stop (1 switched)")),
                 qPrintable(_stderr));
        // The file itself is untouched: it still marks Lead active.
        QFile file(_setupFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("name=\"Lead\" isActive=\"1\""));
    }

    void freshStartsOnTheFilesOutputs()
    {
        runAndSwitchToPad();
        QProcess program;
        QVERIFY(start(program, {QStringLiteral("--fresh")}));
        QCOMPARE(whoHearsANote(), 'A');
        QVERIFY2(stop(program), qPrintable(_stderr));
        QVERIFY2(!_stderr.contains(QStringLiteral("back on the outputs")), qPrintable(_stderr));
        // The fresh run's state is what is remembered now.
        QProcess again;
        QVERIFY(start(again));
        QCOMPARE(whoHearsANote(), 'A');
        QVERIFY2(stop(again), qPrintable(_stderr));
    }

    void changedSetupFileIgnoresTheState()
    {
        runAndSwitchToPad();
        // Same inputs and outputs, but the file was edited (here: renamed setup).
        QByteArray bytes =
            setupText(_keys->sourcePortName(), _synthA->sinkPortName(), _synthB->sinkPortName());
        bytes.replace("name=\"Box\"", "name=\"Box 2\"");
        writeSetup(bytes);
        QProcess program;
        QVERIFY(start(program));
        QCOMPARE(whoHearsANote(), 'A');
        QVERIFY2(stop(program), qPrintable(_stderr));
        QVERIFY2(_stderr.contains(QStringLiteral("The setup file changed since the last run")),
                 qPrintable(_stderr));
    }
};

QTEST_GUILESS_MAIN(HeadlessStateJackTest)
#include "tst_HeadlessStateJack.moc"
