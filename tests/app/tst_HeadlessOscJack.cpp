// The program run without a window on the private JACK server, driven over OSC as a tablet would:
// every address is sent with liblo's own client calls, and what the synths' ports hear is checked.
#include "support/JackBackendUnderTest.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <lo/lo.h>
#include <memory>

using Bytes = midiMessage_t;

namespace {

struct Received
{
    QByteArray path;
    QList<QVariant> args;
};

int collect(const char* path, const char* types, lo_arg** argv, int argc, lo_message, void* data)
{
    auto* into = static_cast<QList<Received>*>(data);
    Received message{QByteArray(path), {}};
    for (int i = 0; i < argc; ++i) {
        if (types[i] == 'i')
            message.args << argv[i]->i;
        else if (types[i] == 's')
            message.args << QString::fromUtf8(&argv[i]->s);
    }
    into->append(message);
    return 0;
}

// Keys on every channel, switched by keyswitch: "Lead" (36) to synth A channel 1, "Pad" (38) to
// synth B channel 1 with program change 16 when it comes up.
QString setupText(const QString& keys, const QString& synthA, const QString& synthB)
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE MIDIRoutingSetupDocument>\n"
               "<MIDIRoutingSetup name=\"Gig\" documentVersion=\"1.0\"><MIDIRoutes>\n"
               " <MIDIRoute name=\"Keys\" midiPortName=\"%1\" midiChannelIndex=\"127\" "
               "outputActivationMethod=\"0\"><MIDIOutputs>\n"
               "  <MIDIOutput name=\"Lead\" isActive=\"1\" mainActivationValue=\"36\" "
               "activationRangeValue=\"36\"><MIDIPatchTargets>\n"
               "   <MIDIPatchTarget name=\"A\" midiOutputPortName=\"%2\" midiChannelIndex=\"0\"/>\n"
               "  </MIDIPatchTargets></MIDIOutput>\n"
               "  <MIDIOutput name=\"Pad\" isActive=\"0\" mainActivationValue=\"38\" "
               "activationRangeValue=\"38\"><MIDIPatchTargets>\n"
               "   <MIDIPatchTarget name=\"B\" midiOutputPortName=\"%3\" midiChannelIndex=\"0\">\n"
               "    <MIDIPatchInitializers><MIDIPatchInitializer byte1=\"16\" byte2=\"0\" byte3=\"0\" "
               "int1=\"0\" name=\"Program Change\"/></MIDIPatchInitializers>\n"
               "   </MIDIPatchTarget>\n"
               "  </MIDIPatchTargets></MIDIOutput>\n"
               " </MIDIOutputs></MIDIRoute>\n"
               "</MIDIRoutes></MIDIRoutingSetup>\n")
        .arg(keys, synthA, synthB);
}

} // namespace

class HeadlessOscJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synthA;
    std::unique_ptr<JackTestClient> _synthB;
    QTemporaryDir _dir;
    lo_server _tablet = nullptr;
    lo_address _box = nullptr;
    QList<Received> _replies;
    int _oscPort = 0;

    template <typename... Args> void send(const char* path, const char* types, Args... args)
    {
        lo_message message = lo_message_new();
        if constexpr (sizeof...(Args) > 0)
            lo_message_add(message, types, args...);
        lo_send_message_from(_box, _tablet, path, message);
        lo_message_free(message);
    }

    // Waits for `count` replies (or the time-out) and returns those that came.
    QList<Received> replies(int count, int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (_replies.size() < count && timer.elapsed() < timeoutMs)
            lo_server_recv_noblock(_tablet, 20);
        QList<Received> taken = _replies;
        _replies.clear();
        return taken;
    }

    QString firstError(const QList<Received>& messages)
    {
        for (const Received& message : messages) {
            if (message.path == "/quorvell/error")
                return message.args.value(0).toString();
        }
        return QString();
    }

private slots:
    void initTestCase()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(_dir.isValid());
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QoKeys"), QStringLiteral("out"), QString());
        _synthA =
            std::make_unique<JackTestClient>(QStringLiteral("QoSynthA"), QString(), QStringLiteral("in"));
        _synthB =
            std::make_unique<JackTestClient>(QStringLiteral("QoSynthB"), QString(), QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _synthA.get(), _synthB.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));
        qputenv("XDG_CONFIG_HOME", _dir.filePath(QStringLiteral("config")).toUtf8());
        _tablet = lo_server_new(nullptr, nullptr);
        QVERIFY(_tablet);
        lo_server_add_method(_tablet, nullptr, nullptr, &collect, &_replies);
        // A free port for the box: ask the system for one, then let it go.
        lo_server probe = lo_server_new(nullptr, nullptr);
        _oscPort = lo_server_get_port(probe);
        lo_server_free(probe);
        _box = lo_address_new("127.0.0.1", QByteArray::number(_oscPort).constData());
    }

    void cleanupTestCase()
    {
        if (_box)
            lo_address_free(_box);
        if (_tablet)
            lo_server_free(_tablet);
    }

    void aTabletSwitchesMutesPanicsAndFollowsTheBox()
    {
        QFile file(_dir.filePath(QStringLiteral("gig.ms")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            setupText(_keys->sourcePortName(), _synthA->sinkPortName(), _synthB->sinkPortName()).toUtf8());
        file.close();
        QProcess program;
        program.start(QStringLiteral(QUORVELL_PROGRAM),
                      {QStringLiteral("--headless"), file.fileName(), QStringLiteral("--midi-api"),
                       JackBackendUnderTest::midiApiOption(), QStringLiteral("--osc-port"),
                       QString::number(_oscPort)});
        QVERIFY(program.waitForStarted(10000));
        // Routing and listening: a probe controller reaches Lead's synth, the state is answered.
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                _keys->send({0xB0, 7, 1});
            },
            [&] { return _synthA->receivedCount() > 0; }, 20000, 200));
        QList<Received> got;
        for (int i = 0; i < 50 && got.isEmpty(); ++i) {
            send("/quorvell/state", "");
            got = replies(1, 200);
        }
        QCOMPARE(got.size(), 1);
        QCOMPARE(got.first().path, QByteArray("/quorvell/state/input"));
        QCOMPARE(got.first().args, (QList<QVariant>{1, "Keys", 1, "Lead"}));
        _synthA->clearReceived();

        send("/quorvell/subscribe", "");
        QCOMPARE(replies(1).size(), 1);
        // A switch by number and name: Pad's program change, then the subscriber is told.
        send("/quorvell/input/activate", "is", 1, "Pad");
        got = replies(1);
        QCOMPARE(got.size(), 1);
        QCOMPARE(got.first().args, (QList<QVariant>{1, "Keys", 2, "Pad"}));
        QTRY_COMPARE_WITH_TIMEOUT(_synthB->receivedBytes(), (std::vector<Bytes>{{0xC0, 16}}), 5000);
        _synthB->clearReceived();

        // Panic ends the note held on Pad.
        _keys->send({0x90, 62, 90});
        QTRY_COMPARE_WITH_TIMEOUT(_synthB->receivedCount(), 1, 5000);
        send("/quorvell/panic", "");
        QTRY_VERIFY_WITH_TIMEOUT(_synthB->receivedCount() >= 3, 5000);
        QTest::qWait(200);
        QVERIFY(_synthB->hasReceived({0x80, 62, 127}));
        QVERIFY(_synthB->hasReceived({0xB0, 123, 0}));
        _synthB->clearReceived();

        // A muted patch is silent; the subscriber hears of the change.
        send("/quorvell/mute", "issi", 1, "Pad", "B", 1);
        QCOMPARE(replies(1).size(), 1);
        _keys->send({0x90, 64, 90});
        QTest::qWait(300);
        QCOMPARE(_synthB->receivedCount(), 0);

        // Wrong requests: an error each, and nothing changes.
        send("/quorvell/input/activate", "i", 1);
        QVERIFY(firstError(replies(1)).contains(QStringLiteral("takes i|s i|s")));
        send("/quorvell/input/activate", "ii", 1, 7);
        QVERIFY(firstError(replies(1)).contains(QStringLiteral("no output 7")));
        send("/quorvell/launch/missiles", "");
        QVERIFY(firstError(replies(1)).contains(QStringLiteral("Unknown address")));
        send("/quorvell/input/activate", "ss", QByteArray(2000, 'x').constData(), "Lead");
        QVERIFY(firstError(replies(1)).contains(QStringLiteral("longer than")));
        send("/quorvell/song/next", "");
        QVERIFY(firstError(replies(1)).contains(QStringLiteral("No set list")));
        // A flood: the box keeps routing and answering.
        lo_address flood = lo_address_new("127.0.0.1", QByteArray::number(_oscPort).constData());
        for (int i = 0; i < 10000; ++i)
            lo_send(flood, "/quorvell/input/activate", "ii", 99, 99);
        lo_address_free(flood);
        QTest::qWait(1000);
        replies(0, 0);
        send("/quorvell/state", "");
        got = replies(1);
        QVERIFY(!got.isEmpty());
        QCOMPARE(got.last().args, (QList<QVariant>{1, "Keys", 2, "Pad"}));
        QCOMPARE(program.state(), QProcess::Running);

        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        const QByteArray log = program.readAllStandardError();
        QVERIFY2(log.contains("OSC remote listening on 127.0.0.1"), log.constData());
    }

    void aPortInUseIsAClearError()
    {
        lo_server holder = lo_server_new(nullptr, nullptr);
        QVERIFY(holder);
        QProcess program;
        program.start(QStringLiteral(QUORVELL_PROGRAM),
                      {QStringLiteral("--headless"), _dir.filePath(QStringLiteral("gig.ms")),
                       QStringLiteral("--midi-api"), JackBackendUnderTest::midiApiOption(),
                       QStringLiteral("--osc-port"), QString::number(lo_server_get_port(holder))});
        QVERIFY(program.waitForFinished(20000));
        lo_server_free(holder);
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(program.readAllStandardError().contains("The OSC remote cannot listen on 127.0.0.1 port"));
    }
};

QTEST_GUILESS_MAIN(HeadlessOscJackTest)
#include "tst_HeadlessOscJack.moc"
