#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "remote/OscAddressSpace.h"
#include "remote/OscServer.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QTest>
#include <arpa/inet.h>
#include <lo/lo.h>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;

namespace {

// Input "Keys" with outputs "Piano" (patch on SynthA) and "Organ" (patch "Drawbars" on SynthB,
// sending program change 16 when it comes up); input "Pads" with one output "Hits".
struct TwoInputSetup
{
    std::unique_ptr<MIDIRoutingSetup> setup =
        std::make_unique<MIDIRoutingSetup>(QStringLiteral("gig"), nullptr);
    MIDIRoute* keys = nullptr;
    MIDIOutput* piano = nullptr;
    MIDIOutput* organ = nullptr;

    TwoInputSetup()
    {
        keys = setup->createNewMIDIRoute(false);
        keys->setName(QStringLiteral("Keys"));
        keys->setMIDIInputPortName(QStringLiteral("Keys"));
        piano = keys->getMIDIOutputAtIndex(0);
        piano->setName(QStringLiteral("Piano"));
        piano->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthA"));
        piano->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        organ = keys->createNewMIDIOutput(false);
        organ->setName(QStringLiteral("Organ"));
        MIDIPatchTarget* drawbars = organ->getMIDIPatchTargetAtIndex(0);
        drawbars->setName(QStringLiteral("Drawbars"));
        drawbars->setMIDIOutputPortName(QStringLiteral("SynthB"));
        drawbars->setMIDIChannel(0);
        auto* program = new ProgChgInitializer(nullptr);
        program->setByte1(16);
        drawbars->addMIDIPatchInitializer(program);
        MIDIRoute* pads = setup->createNewMIDIRoute(false);
        pads->setName(QStringLiteral("Pads"));
        pads->getMIDIOutputAtIndex(0)->setName(QStringLiteral("Hits"));
        piano->setActive(true);
        RoutingTestRig::clearSent();
    }
};

OscMessage request(const char* path, const char* tags = "", QList<QVariant> args = {})
{
    return OscMessage(path, tags, std::move(args));
}

// A UDP client on loopback, as a tablet would be.
struct Client
{
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in server{};

    explicit Client(int port)
    {
        server.sin_family = AF_INET;
        server.sin_port = htons(quint16(port));
        server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    ~Client() { close(); }
    void close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    void sendRaw(const QByteArray& datagram) const
    {
        ::sendto(fd, datagram.constData(), size_t(datagram.size()), 0,
                 reinterpret_cast<const sockaddr*>(&server), sizeof server);
    }
    void send(const OscMessage& message) const { sendRaw(message.serialise()); }
    // Every message that arrives within the time, the server's events processed meanwhile.
    QList<OscMessage> receive(int expected, int timeoutMs = 5000) const
    {
        QList<OscMessage> messages;
        QElapsedTimer timer;
        timer.start();
        while (messages.size() < expected && timer.elapsed() < timeoutMs) {
            QCoreApplication::processEvents();
            pollfd waiting{fd, POLLIN, 0};
            if (::poll(&waiting, 1, 10) <= 0)
                continue;
            char buffer[4096];
            const ssize_t size = ::recv(fd, buffer, sizeof buffer, 0);
            QString error;
            if (size > 0)
                if (auto message = OscMessage::parse(buffer, size, &error))
                    messages << *message;
        }
        return messages;
    }
};

} // namespace

class OscRemoteTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInInitializers();
    }

    void activateByNumberOrNameSwitchesWithItsInitializers()
    {
        TwoInputSetup rig;
        OscAddressSpace space([&rig] { return rig.setup.get(); });
        OscAddressSpace::Result result =
            space.dispatch(request("/quorvell/input/activate", "is", {1, "Organ"}));
        QVERIFY(result.replies.isEmpty());
        QCOMPARE(rig.keys->getActiveMIDIOutput(), rig.organ);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")), (Sent{Bytes{0xC0, 16}}));
        // A tablet button sends a float: a whole number is taken as a number.
        space.dispatch(request("/quorvell/input/activate", "sf", {"Keys", 1.0f}));
        QCOMPARE(rig.keys->getActiveMIDIOutput(), rig.piano);
        // Held notes end where they began: a note on Piano, a switch, its note off still reaches SynthA.
        RoutingTestRig::clearSent();
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 64, 100});
        space.dispatch(request("/quorvell/input/activate", "ii", {1, 2}));
        RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 64, 0});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")),
                 (Sent{Bytes{0x90, 64, 100}, Bytes{0x80, 64, 0}}));
    }

    void wrongRequestsAnswerWithAnErrorAndChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("tags");
        QTest::addColumn<QList<QVariant>>("args");
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("unknown address")
            << QByteArray("/quorvell/nothing") << QByteArray() << QList<QVariant>{} << "Unknown address";
        QTest::newRow("too few arguments") << QByteArray("/quorvell/input/activate") << QByteArray("i")
                                           << QList<QVariant>{1} << "takes i|s i|s";
        QTest::newRow("input out of range") << QByteArray("/quorvell/input/activate") << QByteArray("ii")
                                            << QList<QVariant>{3, 1} << "no input 3: give 1 to 2";
        QTest::newRow("input zero") << QByteArray("/quorvell/input/activate") << QByteArray("ii")
                                    << QList<QVariant>{0, 1} << "no input 0";
        QTest::newRow("output out of range") << QByteArray("/quorvell/input/activate") << QByteArray("ii")
                                             << QList<QVariant>{1, 3} << "no output 3";
        QTest::newRow("unknown output name") << QByteArray("/quorvell/input/activate") << QByteArray("is")
                                             << QList<QVariant>{1, "Harp"} << "no output named \"Harp\"";
        QTest::newRow("fractional float") << QByteArray("/quorvell/input/activate") << QByteArray("if")
                                          << QList<QVariant>{1, 1.5f} << "by number or by name";
        QTest::newRow("blob-like tag") << QByteArray("/quorvell/input/activate") << QByteArray("ib")
                                       << QList<QVariant>{1, QVariant()} << "by number or by name";
        QTest::newRow("panic with arguments")
            << QByteArray("/quorvell/panic") << QByteArray("i") << QList<QVariant>{1} << "takes no arguments";
        QTest::newRow("mute value 2") << QByteArray("/quorvell/mute") << QByteArray("iiii")
                                      << QList<QVariant>{1, 2, 1, 2} << "1 to mute";
        QTest::newRow("mute unknown patch") << QByteArray("/quorvell/mute") << QByteArray("iisi")
                                            << QList<QVariant>{1, 2, "Strings", 1} << "no patch named";
        QTest::newRow("song without a set list")
            << QByteArray("/quorvell/song/next") << QByteArray() << QList<QVariant>{} << "No set list";
    }

    void wrongRequestsAnswerWithAnErrorAndChangeNothing()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, tags);
        QFETCH(QList<QVariant>, args);
        QFETCH(QString, errorPart);
        TwoInputSetup rig;
        OscAddressSpace space([&rig] { return rig.setup.get(); });
        const OscAddressSpace::Result result = space.dispatch(OscMessage(path, tags, args));
        QCOMPARE(result.replies.size(), 1);
        QCOMPARE(result.replies.first().path, QByteArray("/quorvell/error"));
        QVERIFY2(result.replies.first().arguments.first().toString().contains(errorPart),
                 qPrintable(result.replies.first().arguments.first().toString()));
        QCOMPARE(result.subscription, OscAddressSpace::Subscription::Unchanged);
        QCOMPARE(rig.keys->getActiveMIDIOutput(), rig.piano);
        QVERIFY(!rig.organ->getMIDIPatchTargetAtIndex(0)->isMuted());
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty());
    }

    void muteAndStateNameWhatPlays()
    {
        TwoInputSetup rig;
        OscAddressSpace space([&rig] { return rig.setup.get(); });
        QVERIFY(space.dispatch(request("/quorvell/mute", "ssss", {"Keys", "Organ", "Drawbars", 1}))
                    .replies.size() == 1);
        space.dispatch(request("/quorvell/mute", "ssi", {"Keys", "Organ", "Drawbars"}));
        QVERIFY(!rig.organ->getMIDIPatchTargetAtIndex(0)->isMuted());
        space.dispatch(request("/quorvell/mute", "ssii", {"Keys", "Organ", 1, 1}));
        QVERIFY(rig.organ->getMIDIPatchTargetAtIndex(0)->isMuted());
        // A muted patch sends nothing when its output comes up.
        space.dispatch(request("/quorvell/input/activate", "ii", {1, 2}));
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty());
        const QList<OscMessage> state = space.dispatch(request("/quorvell/state")).replies;
        QCOMPARE(state.size(), 2);
        QCOMPARE(state.at(0).typeTags, QByteArray("isis"));
        QCOMPARE(state.at(0).arguments, (QList<QVariant>{1, "Keys", 2, "Organ"}));
        QCOMPARE(state.at(1).arguments, (QList<QVariant>{2, "Pads", 1, "Hits"}));
        OscAddressSpace empty([] { return nullptr; });
        QCOMPARE(empty.dispatch(request("/quorvell/panic")).replies.first().arguments.first().toString(),
                 QStringLiteral("No setup is open."));
    }

    void malformedDatagramsAreRefusedByTheParser()
    {
        QString error;
        const QByteArray good = request("/quorvell/state").serialise();
        QVERIFY(OscMessage::parse(good.constData(), good.size(), &error).has_value());
        QVERIFY(!OscMessage::parse(good.constData(), good.size() - 1, &error).has_value());
        QVERIFY(!OscMessage::parse("#bundle\0\0\0\0\0\0\0\0\1", 16, &error).has_value());
        QVERIFY(error.contains(QStringLiteral("bundles")));
        QVERIFY(!OscMessage::parse("hello", 5, &error).has_value());
        const QByteArray huge =
            request("/quorvell/input/activate", "ss", {QString(300, QLatin1Char('x')), "a"}).serialise();
        QVERIFY(!OscMessage::parse(huge.constData(), huge.size(), &error).has_value());
        QVERIFY(error.contains(QStringLiteral("longer than 256")));
        // A string argument whose terminator is missing runs past the datagram: refused, not read beyond it.
        QByteArray cut = request("/quorvell/input/activate", "s", {"Keys"}).serialise();
        cut.chop(4);
        QVERIFY(!OscMessage::parse(cut.constData(), cut.size(), &error).has_value());
    }

    void serverAnswersSubscribersAndSurvivesAFlood()
    {
        TwoInputSetup rig;
        OscServer server([&rig] { return rig.setup.get(); });
        QString error;
        QVERIFY(!server.start(QStringLiteral("not an address"), 0, &error));
        QVERIFY(error.contains(QStringLiteral("not an IPv4 address")));
        QVERIFY2(server.start(QStringLiteral("127.0.0.1"), 0, &error), qPrintable(error));

        Client tablet(server.port());
        tablet.send(request("/quorvell/subscribe"));
        QList<OscMessage> replies = tablet.receive(2);
        QCOMPARE(replies.size(), 2);
        QCOMPARE(replies.at(0).arguments, (QList<QVariant>{1, "Keys", 1, "Piano"}));
        QCOMPARE(server.subscriberCount(), 1);

        // A change made by another sender reaches the subscriber.
        Client pedal(server.port());
        pedal.send(request("/quorvell/input/activate", "ss", {"Keys", "Organ"}));
        replies = tablet.receive(2);
        QCOMPARE(replies.size(), 2);
        QCOMPARE(replies.at(0).arguments, (QList<QVariant>{1, "Keys", 2, "Organ"}));
        QVERIFY(pedal.receive(1, 200).isEmpty());

        // A flood of hostile datagrams changes nothing and stops nothing.
        const QByteArray garbage("\xff\x00/quorvell", 11);
        const QByteArray wrong = request("/quorvell/input/activate", "ii", {9, 9}).serialise();
        for (int i = 0; i < 10000; ++i) {
            pedal.sendRaw(i % 2 ? garbage : wrong);
            if (i % 500 == 0)
                QCoreApplication::processEvents();
        }
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCOMPARE(rig.keys->getActiveMIDIOutput(), rig.organ);
        Client late(server.port());
        late.send(request("/quorvell/state"));
        replies = late.receive(2);
        QCOMPARE(replies.size(), 2);
        QCOMPARE(replies.at(0).arguments, (QList<QVariant>{1, "Keys", 2, "Organ"}));

        // A subscriber whose port has gone is dropped at the next changes.
        tablet.close();
        for (int i = 0; i < 3 && server.subscriberCount() > 0; ++i) {
            late.send(request("/quorvell/input/activate", "ii", {1, 1 + i % 2}));
            late.receive(1, 300);
        }
        QCOMPARE(server.subscriberCount(), 0);
        server.stop();
        QVERIFY(!server.isRunning());
    }
};

QTEST_GUILESS_MAIN(OscRemoteTest)
#include "tst_OscRemote.moc"
