// The program run without a window on a set list, on the private JACK server: it plays from the
// first song, SIGUSR2 plays the next one (named on stderr, its sound set before its first note),
// the last song's next is refused and said, and --check names every broken song.
#include "support/JackBackendUnderTest.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/SetListTestSongs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

class HeadlessSetListJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synthA;
    std::unique_ptr<JackTestClient> _synthB;
    QTemporaryDir _dir;
    QString _listFile;
    QByteArray _stderr;

    QString writeList(const QString& name, const QString& songs)
    {
        const QString path = _dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(QStringLiteral(
                           "<!DOCTYPE QuorvellSetList>\n<SetList name=\"Friday\" documentVersion=\"1.0\">\n"
                           " <Songs>\n%1 </Songs>\n <Triggers/>\n</SetList>\n")
                           .arg(songs)
                           .toUtf8());
        return path;
    }

    // What the synth heard, for a failure's message.
    static QString heardBy(const JackTestClient& synth)
    {
        QStringList heard;
        for (const auto& received : synth.receivedMessages()) {
            QStringList bytes;
            for (const unsigned char byte : received.bytes)
                bytes << QString::number(byte, 16);
            heard << bytes.join(QLatin1Char(' '));
        }
        return QStringLiteral("heard: ") + heard.join(QStringLiteral(", "));
    }

    bool saidSoFar(QProcess& program, const char* text)
    {
        _stderr += program.readAllStandardError();
        return _stderr.contains(text);
    }

private slots:
    void initTestCase()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(_dir.isValid());
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QlKeys"), QStringLiteral("out"), QString());
        _synthA =
            std::make_unique<JackTestClient>(QStringLiteral("QlSynthA"), QString(), QStringLiteral("in"));
        _synthB =
            std::make_unique<JackTestClient>(QStringLiteral("QlSynthB"), QString(), QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _synthA.get(), _synthB.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));
        QVERIFY(SetListTestSongs::writeSong(_dir.filePath(QStringLiteral("opener.ms")),
                                            _keys->sourcePortName(), _synthA->sinkPortName(), 1));
        QVERIFY(SetListTestSongs::writeSong(_dir.filePath(QStringLiteral("ballad.ms")),
                                            _keys->sourcePortName(), _synthB->sinkPortName(), 2));
        _listFile = writeList(QStringLiteral("friday.msl"),
                              QStringLiteral("  <Song name=\"Opener\" file=\"opener.ms\"/>\n"
                                             "  <Song name=\"Ballad\" file=\"ballad.ms\"/>\n"));
        qputenv("XDG_CONFIG_HOME", _dir.filePath(QStringLiteral("config")).toUtf8());
    }

    void sigusr2PlaysTheNextSong()
    {
        QProcess program;
        program.setProcessChannelMode(QProcess::SeparateChannels);
        program.start(QStringLiteral(QUORVELL_PROGRAM),
                      {QStringLiteral("--headless"), QStringLiteral("--set-list"), _listFile,
                       QStringLiteral("--midi-api"), JackBackendUnderTest::midiApiOption()});
        QVERIFY(program.waitForStarted(10000));
        QVERIFY2(JackTestClient::retryUntil(
                     [&] {
                         _keys->send({0xB0, 7, 1});
                     },
                     [&] { return _synthA->receivedCount() > 1; }, 20000, 200),
                 program.readAllStandardError().constData());
        QTRY_VERIFY(saidSoFar(program, "status: song 1 of 2: Opener"));
        QVERIFY2(_synthA->indexOf({0xC0, 1}) == 0, qPrintable(heardBy(*_synthA)));

        ::kill(pid_t(program.processId()), SIGUSR2);
        QTRY_VERIFY_WITH_TIMEOUT(saidSoFar(program, "status: song 2 of 2: Ballad"), 10000);
        QVERIFY(_keys->sendUntilReceived({0x90, 60, 90}, *_synthB, {0x90, 60, 90}, 10000, 200));
        _keys->send({0x80, 60, 0});
        QVERIFY(_synthB->indexOf({0xC0, 2}) >= 0 &&
                _synthB->indexOf({0xC0, 2}) < _synthB->indexOf({0x90, 60, 90}));
        QVERIFY(_synthA->indexOf({0x90, 60, 90}) < 0);

        ::kill(pid_t(program.processId()), SIGUSR2);
        QTRY_VERIFY_WITH_TIMEOUT(saidSoFar(program, "next song: this is the last song (song 2 of 2: Ballad)"),
                                 10000);

        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(saidSoFar(program, "status: stopped"));
    }

    void checkNamesEveryBrokenSong()
    {
        QProcess good;
        good.start(QStringLiteral(QUORVELL_PROGRAM),
                   {QStringLiteral("--check"), _listFile, QStringLiteral("--midi-api"),
                    JackBackendUnderTest::midiApiOption()});
        QVERIFY(good.waitForFinished(20000));
        const QString report = QString::fromUtf8(good.readAllStandardOutput());
        QVERIFY2(report.contains(QLatin1String("Song 2: Ballad (ballad.ms): ok")), qPrintable(report));
        QVERIFY(report.contains(QLatin1String("No problems found.")));
        QCOMPARE(good.exitCode(), 0);

        QFile garbled(_dir.filePath(QStringLiteral("garbled.ms")));
        QVERIFY(garbled.open(QIODevice::WriteOnly));
        garbled.write("<MIDIRoutingSetup><MIDIRoutes>");
        garbled.close();
        const QString broken = writeList(QStringLiteral("broken.msl"),
                                         QStringLiteral("  <Song name=\"Opener\" file=\"opener.ms\"/>\n"
                                                        "  <Song name=\"Gone\" file=\"gone.ms\"/>\n"
                                                        "  <Song name=\"Garbled\" file=\"garbled.ms\"/>\n"));
        QProcess check;
        check.start(QStringLiteral(QUORVELL_PROGRAM),
                    {QStringLiteral("--check"), broken, QStringLiteral("--midi-api"),
                     JackBackendUnderTest::midiApiOption()});
        QVERIFY(check.waitForFinished(20000));
        const QString problems = QString::fromUtf8(check.readAllStandardOutput());
        QCOMPARE(check.exitCode(), 1);
        QVERIFY2(problems.contains(QLatin1String("Song 2 \"Gone\" cannot be played")), qPrintable(problems));
        QVERIFY(problems.contains(QLatin1String("Song 3 \"Garbled\" cannot be played")));
        QVERIFY(!problems.contains(QLatin1String("Song 1 \"Opener\"")));
    }
};

QTEST_GUILESS_MAIN(HeadlessSetListJackTest)
#include "tst_HeadlessSetListJack.moc"
