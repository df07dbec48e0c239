// The program run without a window on the private JACK server: it routes a saved setup, ends
// every held note and pedal when stopped or on panic, and checks setup files.
#include "support/BusyNeighbours.h"
#include "support/JackBackendUnderTest.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

using Bytes = midiMessage_t;

namespace {

// Input from the keyboard on every channel, switched by keyswitch: output "Lead" (C2 = 36) sends
// a fifth up to synth A on channel 3; output "Pad" (D2 = 38) sends to
// synth B on channel 1.
QString setupText(const QString& keys, const QString& synthA, const QString& synthB)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE MIDIRoutingSetupDocument>\n"
                          "<MIDIRoutingSetup name=\"Gig\" documentVersion=\"1.0\"><MIDIRoutes>\n"
                          " <MIDIRoute name=\"Keys\" midiPortName=\"%1\" midiChannelIndex=\"127\" "
                          "outputActivationMethod=\"0\">\n"
                          "  <MIDIOutputs>\n"
                          "   <MIDIOutput name=\"Lead\" isActive=\"1\" mainActivationValue=\"36\" "
                          "activationRangeValue=\"36\">\n"
                          "    <MIDIPatchTargets><MIDIPatchTarget name=\"A\" midiOutputPortName=\"%2\" "
                          "midiChannelIndex=\"2\">\n"
                          "     <MIDIPatchInitializers/><MIDIDataTransforms>\n"
                          "      <MIDIDataTransform name=\"Transpose\" int1=\"7\" int2=\"0\"/>\n"
                          "     </MIDIDataTransforms></MIDIPatchTarget></MIDIPatchTargets>\n"
                          "   </MIDIOutput>\n"
                          "   <MIDIOutput name=\"Pad\" isActive=\"0\" mainActivationValue=\"38\" "
                          "activationRangeValue=\"38\">\n"
                          "    <MIDIPatchTargets><MIDIPatchTarget name=\"B\" midiOutputPortName=\"%3\" "
                          "midiChannelIndex=\"0\"/>\n"
                          "    </MIDIPatchTargets>\n"
                          "   </MIDIOutput>\n"
                          "  </MIDIOutputs>\n"
                          " </MIDIRoute>\n"
                          "</MIDIRoutes></MIDIRoutingSetup>\n")
        .arg(keys, synthA, synthB);
}

} // namespace

class HeadlessJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synthA;
    std::unique_ptr<JackTestClient> _synthB;
    QTemporaryDir _dir;
    QString _setupFile;

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = _dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return path;
    }

    // Starts the program on the setup and waits until it routes (a probe controller is heard).
    bool startRouting(QProcess& program)
    {
        program.setProcessChannelMode(QProcess::SeparateChannels);
        program.start(QStringLiteral(QUORVELL_PROGRAM),
                      {QStringLiteral("--headless"), _setupFile, QStringLiteral("--fresh"),
                       QStringLiteral("--midi-api"), JackBackendUnderTest::midiApiOption()});
        if (!program.waitForStarted(10000))
            return false;
        // The setup is read whole (ports opening one by one can take a while) before the probe:
        // a keyswitch played earlier may meet an output not yet read.
        program.setReadChannel(QProcess::StandardError);
        QDeadlineTimer reading(20000);
        while (!program.peek(1 << 16).contains("status: routing") && !reading.hasExpired())
            program.waitForReadyRead(100);
        const bool heard = JackTestClient::retryUntil(
            [&] {
                _keys->send({0xB0, 7, 1});
            },
            [&] { return _synthA->receivedCount() > 0; }, 20000, 200);
        QTest::qWait(100);
        _synthA->clearReceived();
        _synthB->clearReceived();
        return heard;
    }

    void play(const Bytes& bytes)
    {
        _keys->send(bytes);
        QTest::qWait(30);
    }

    static bool stop(QProcess& program, int signalNumber)
    {
        ::kill(pid_t(program.processId()), signalNumber);
        return program.waitForFinished(20000);
    }

private slots:
    void initTestCase()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(_dir.isValid());
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QhKeys"), QStringLiteral("out"), QString());
        _synthA =
            std::make_unique<JackTestClient>(QStringLiteral("QhSynthA"), QString(), QStringLiteral("in"));
        _synthB =
            std::make_unique<JackTestClient>(QStringLiteral("QhSynthB"), QString(), QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _synthA.get(), _synthB.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));
        _setupFile = writeFile(
            QStringLiteral("gig.ms"),
            setupText(_keys->sourcePortName(), _synthA->sinkPortName(), _synthB->sinkPortName()).toUtf8());
        // The program keeps its preferences away from the user's.
        qputenv("XDG_CONFIG_HOME", _dir.filePath(QStringLiteral("config")).toUtf8());
    }

    // Beside two busy processes: the last note off of a stop once left after the flush gave up.
    void stoppingReleasesEveryHeldNoteAndPedalWhereItBegan()
    {
        BusyNeighbours neighbours(2);
        QProcess program;
        QVERIFY2(startRouting(program), program.readAllStandardError().constData());
        play({0x90, 60, 100}); // Lead: G4 on synth A channel 3
        play({0xB0, 64, 127}); // pedal down on Lead
        play({0x90, 38, 127}); // switch to Pad
        play({0x90, 62, 90});  // Pad: D4 on synth B channel 1
        play({0xB0, 64, 127}); // pedal down on Pad; Lead's pedal is still down and hears it too
        QTest::qWait(100);
        QCOMPARE(_synthA->receivedBytes(),
                 std::vector<Bytes>({{0x92, 67, 100}, {0xB2, 64, 127}, {0xB2, 64, 127}}));
        QCOMPARE(_synthB->receivedBytes(), std::vector<Bytes>({{0x90, 62, 90}, {0xB0, 64, 127}}));

        QVERIFY(stop(program, SIGTERM));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QTest::qWait(200);
        QVERIFY2(_synthA->hasReceived({0x82, 67, 127}) && _synthA->hasReceived({0xB2, 64, 0}),
                 "synth A still sounds");
        QVERIFY2(_synthB->hasReceived({0x80, 62, 127}) && _synthB->hasReceived({0xB0, 64, 0}),
                 "synth B still sounds");
        QCOMPARE(_synthA->receivedCount(), 5);
        QCOMPARE(_synthB->receivedCount(), 4);
        QVERIFY(program.readAllStandardError().contains("status: stopped"));
        _synthA->clearReceived();
        _synthB->clearReceived();
    }

    void panicSignalEndsNotesAndPedalsOnEveryPort()
    {
        QProcess program;
        QVERIFY2(startRouting(program), program.readAllStandardError().constData());
        play({0x90, 48, 100});
        play({0xB0, 64, 127});
        QTest::qWait(100);
        ::kill(pid_t(program.processId()), SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(_synthA->receivedCount() >= 5, 5000);
        QTest::qWait(200);
        QVERIFY(_synthA->hasReceived({0x82, 55, 127}));
        QVERIFY(_synthA->hasReceived({0xB2, 64, 0}));
        QVERIFY(_synthA->hasReceived({0xB2, 123, 0}));
        QVERIFY(_synthB->hasReceived({0xB0, 123, 0}));
        QVERIFY(_synthB->hasReceived({0xB0, 64, 0}));
        QVERIFY(stop(program, SIGINT));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardError().contains("status: panic"));
        _synthA->clearReceived();
        _synthB->clearReceived();
    }

    void checkTellsAGoodFileFromABrokenOne()
    {
        QProcess good;
        good.start(QStringLiteral(QUORVELL_PROGRAM),
                   {QStringLiteral("--check"), _setupFile, QStringLiteral("--midi-api"),
                    JackBackendUnderTest::midiApiOption()});
        QVERIFY(good.waitForFinished(20000));
        const QString report = QString::fromUtf8(good.readAllStandardOutput());
        QCOMPARE(good.exitCode(), 0);
        QVERIFY2(report.contains(QStringLiteral("Lead: C2 [active]")), qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("Transform: Transpose")), qPrintable(report));
        QVERIFY(report.contains(QStringLiteral("No problems found.")));

        const QString unknown = writeFile(
            QStringLiteral("unknown.ms"),
            setupText(QStringLiteral("Nowhere:out"), _synthA->sinkPortName(), _synthB->sinkPortName())
                .replace(QStringLiteral("\"Transpose\""), QStringLiteral("\"Flanger\""))
                .toUtf8());
        QProcess problems;
        problems.start(QStringLiteral(QUORVELL_PROGRAM), {QStringLiteral("--check"), unknown});
        QVERIFY(problems.waitForFinished(20000));
        const QString problemReport = QString::fromUtf8(problems.readAllStandardOutput());
        QCOMPARE(problems.exitCode(), 1);
        QVERIFY2(problemReport.contains(QStringLiteral("Invalid transform: Flanger")),
                 qPrintable(problemReport));
        QVERIFY2(problemReport.contains(QStringLiteral("MIDI input port \"Nowhere:out\" not found.")),
                 qPrintable(problemReport));

        const QString broken = writeFile(QStringLiteral("broken.ms"), "<MIDIRoutingSetup><MIDIRoutes>");
        QProcess unreadable;
        unreadable.start(QStringLiteral(QUORVELL_PROGRAM), {QStringLiteral("--check"), broken});
        QVERIFY(unreadable.waitForFinished(20000));
        QCOMPARE(unreadable.exitCode(), 2);
        QVERIFY(unreadable.readAllStandardOutput().contains("is not a readable setup file"));

        QProcess missing;
        missing.start(QStringLiteral(QUORVELL_PROGRAM),
                      {QStringLiteral("--headless"), _dir.filePath(QStringLiteral("absent.ms"))});
        QVERIFY(missing.waitForFinished(20000));
        QVERIFY(missing.exitCode() != 0);
        QVERIFY(missing.readAllStandardError().contains("error: The setup file"));
    }
};

QTEST_GUILESS_MAIN(HeadlessJackTest)
#include "tst_HeadlessJack.moc"
