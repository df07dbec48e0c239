// The headless program as a systemd service of Type=notify: it says READY=1 once it routes,
// feeds the watchdog from its main loop at half the interval it is given, and says STOPPING=1
// when asked to stop. systemd's notification socket is played by a datagram socket of the test.
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QByteArray kSetup =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE MIDIRoutingSetupDocument>\n"
    "<MIDIRoutingSetup name=\"Box\" documentVersion=\"1.0\"><MIDIRoutes>\n"
    " <MIDIRoute name=\"Keys\" midiPortName=\"NoSuchKeys:out\" midiChannelIndex=\"127\" "
    "outputActivationMethod=\"0\"><MIDIOutputs>\n"
    "  <MIDIOutput name=\"Lead\" isActive=\"1\" mainActivationValue=\"36\" "
    "activationRangeValue=\"36\"><MIDIPatchTargets/></MIDIOutput>\n"
    " </MIDIOutputs></MIDIRoute>\n"
    "</MIDIRoutes></MIDIRoutingSetup>\n";

// A bound datagram socket standing in for systemd's NOTIFY_SOCKET.
class NotifySocket
{
public:
    explicit NotifySocket(const QString& path) : _path(path.toLocal8Bit())
    {
        _fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        if (_fd < 0 || size_t(_path.size()) >= sizeof(address.sun_path))
            return;
        std::memcpy(address.sun_path, _path.constData(), size_t(_path.size()));
        if (::bind(_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            ::close(_fd);
            _fd = -1;
        }
    }
    ~NotifySocket()
    {
        if (_fd >= 0)
            ::close(_fd);
    }
    bool isValid() const { return _fd >= 0; }
    QByteArray path() const { return _path; }

    // The next notice, or an empty array when none comes within timeoutMs.
    QByteArray next(int timeoutMs)
    {
        pollfd descriptor = {_fd, POLLIN, 0};
        if (::poll(&descriptor, 1, timeoutMs) <= 0)
            return QByteArray();
        char buffer[4096];
        const ssize_t length = ::recv(_fd, buffer, sizeof(buffer), 0);
        return length > 0 ? QByteArray(buffer, int(length)) : QByteArray();
    }

private:
    QByteArray _path;
    int _fd = -1;
};

} // namespace

class HeadlessServiceTest : public QObject
{
    Q_OBJECT

    QTemporaryDir _dir;

    QString setupFile()
    {
        const QString path = _dir.filePath(QStringLiteral("box.ms"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(kSetup);
        return path;
    }

    void startAsService(QProcess& program, const NotifySocket& socket, const QString& watchdogUsec)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("NOTIFY_SOCKET"), QString::fromLocal8Bit(socket.path()));
        environment.remove(QStringLiteral("WATCHDOG_PID"));
        if (watchdogUsec.isEmpty())
            environment.remove(QStringLiteral("WATCHDOG_USEC"));
        else
            environment.insert(QStringLiteral("WATCHDOG_USEC"), watchdogUsec);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), _dir.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_STATE_HOME"), _dir.filePath(QStringLiteral("state")));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::SeparateChannels);
        program.start(QStringLiteral(QUORVELL_PROGRAM), {QStringLiteral("--headless"), setupFile()});
    }

private slots:
    void initTestCase() { QVERIFY(_dir.isValid()); }

    void reportsReadyFeedsTheWatchdogAndReportsStopping()
    {
        NotifySocket socket(_dir.filePath(QStringLiteral("notify-1")));
        QVERIFY(socket.isValid());
        QProcess program;
        startAsService(program, socket, QStringLiteral("400000")); // 0.4 s: fed every 0.2 s
        QVERIFY(program.waitForStarted(10000));

        const QByteArray ready = socket.next(30000);
        QVERIFY2(ready.startsWith("READY=1\nSTATUS=routing \""), ready.constData());
        QVERIFY(ready.contains("box.ms\" (1 inputs)"));

        // Fed again and again while the program runs; on a loaded machine a feed may come late, so
        // only the count is checked, with room to spare.
        int feeds = 0;
        QElapsedTimer clock;
        clock.start();
        while (feeds < 4 && clock.elapsed() < 30000) {
            const QByteArray notice = socket.next(30000);
            QCOMPARE(notice, QByteArray("WATCHDOG=1"));
            ++feeds;
        }
        QCOMPARE(feeds, 4);

        ::kill(pid_t(program.processId()), SIGTERM);
        QByteArray notice;
        do
            notice = socket.next(30000);
        while (notice == "WATCHDOG=1");
        QCOMPARE(notice, QByteArray("STOPPING=1"));
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    void withoutWatchdogOnlyReadyAndStopping()
    {
        NotifySocket socket(_dir.filePath(QStringLiteral("notify-2")));
        QVERIFY(socket.isValid());
        QProcess program;
        startAsService(program, socket, QString());
        QVERIFY(program.waitForStarted(10000));
        QVERIFY(socket.next(30000).startsWith("READY=1\n"));
        QCOMPARE(socket.next(1000), QByteArray()); // nothing while it runs
        ::kill(pid_t(program.processId()), SIGTERM);
        QCOMPARE(socket.next(30000), QByteArray("STOPPING=1"));
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
    }

    void noForeignNoiseWhenNoMIDIServiceOpens()
    {
        if (QFile::exists(QStringLiteral("/dev/snd/seq")))
            QSKIP("this machine has an ALSA sequencer");
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QUORVELL_MIDI_API"));
        environment.insert(QStringLiteral("JACK_DEFAULT_SERVER"), QStringLiteral("quorvell-no-such-server"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), _dir.filePath(QStringLiteral("config")));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::SeparateChannels);
        program.start(QStringLiteral(QUORVELL_PROGRAM), {QStringLiteral("--list-ports")});
        QVERIFY(program.waitForFinished(30000));
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        // Only our own lines: no complaint of the ALSA library, RtMidi or the JACK library.
        QVERIFY2(!errors.contains(QStringLiteral("ALSA lib")), qPrintable(errors));
        QVERIFY2(!errors.contains(QStringLiteral("MidiInAlsa")), qPrintable(errors));
        QVERIFY2(!errors.contains(QStringLiteral("Cannot connect to server")), qPrintable(errors));
        QVERIFY2(errors.contains(QStringLiteral("the ALSA sequencer cannot be opened (/dev/snd/seq: ")),
                 qPrintable(errors));
    }

    void unreadableSetupNeverReportsReady()
    {
        NotifySocket socket(_dir.filePath(QStringLiteral("notify-3")));
        QVERIFY(socket.isValid());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("NOTIFY_SOCKET"), QString::fromLocal8Bit(socket.path()));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), _dir.filePath(QStringLiteral("config")));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUORVELL_PROGRAM),
                      {QStringLiteral("--headless"), _dir.filePath(QStringLiteral("missing.ms"))});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 2);
        QCOMPARE(socket.next(0), QByteArray()); // systemd sees a failed start, and restarts it
    }
};

QTEST_GUILESS_MAIN(HeadlessServiceTest)
#include "tst_HeadlessService.moc"
