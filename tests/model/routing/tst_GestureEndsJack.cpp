// Gestures on the private JACK server: each begun on output A, ended after a switch to B. A's
// synth hears the whole way back to rest and B's the end, and nothing else; panic, mute and stop
// during a gesture leave every synth at rest.
#include "midi/RtMidiBackend.h"
#include "model/routing/GestureState.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/TestPrefs.h"

#include <QTest>
#include <memory>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;
Q_DECLARE_METATYPE(Sent)

namespace {

// What the client received, as the list type the rows hold.
Sent bytesOf(const JackTestClient& client)
{
    const std::vector<Bytes> bytes = client.receivedBytes();
    return Sent(bytes.begin(), bytes.end());
}

bool atRest(const Sent& heard)
{
    GestureState state;
    for (const Bytes& message : heard)
        state.record(&message);
    return !state.isAnyAwayFromRest();
}

void addGestureColumns()
{
    QTest::addColumn<Sent>("begin");
    QTest::addColumn<Sent>("end");
}

void addGestureRows(const char* suffix)
{
    auto row = [suffix](const char* name) -> QTestData& {
        return QTest::newRow(qPrintable(QString::fromLatin1(name) + QLatin1String(suffix)));
    };
    row("sostenuto") << Sent{{0xB0, 66, 127}} << Sent{{0xB0, 66, 0}};
    row("soft") << Sent{{0xB0, 67, 127}} << Sent{{0xB0, 67, 0}};
    row("half pedal") << Sent{{0xB0, 64, 127}, {0xB0, 64, 80}}
                      << Sent{{0xB0, 64, 40}, {0xB0, 64, 90}, {0xB0, 64, 0}};
    row("pitch bend") << Sent{{0xE0, 0x00, 0x60}} << Sent{{0xE0, 0x00, 0x50}, {0xE0, 0x00, 0x40}};
    row("mod wheel") << Sent{{0xB0, 1, 100}} << Sent{{0xB0, 1, 50}, {0xB0, 1, 0}};
}

} // namespace

class GestureEndsJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synthA;
    std::unique_ptr<JackTestClient> _synthB;
    std::unique_ptr<MIDIRoutingSetup> _setup;
    MIDIRoute* _route = nullptr;
    MIDIOutput* _a = nullptr;
    MIDIOutput* _b = nullptr;

    // Sends one by one, a few periods apart, so nothing shares a period with what follows.
    void playAll(const Sent& messages)
    {
        for (const Bytes& message : messages) {
            _keys->send(message);
            QTest::qWait(30);
        }
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(RtMidiBackend::setPreferredApi(QStringLiteral("jack")));
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QgKeys"), QStringLiteral("out"), QString());
        _synthA =
            std::make_unique<JackTestClient>(QStringLiteral("QgSynthA"), QString(), QStringLiteral("in"));
        _synthB =
            std::make_unique<JackTestClient>(QStringLiteral("QgSynthB"), QString(), QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _synthA.get(), _synthB.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));
        _setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Gig"), nullptr);
        _route = _setup->createNewMIDIRoute(false);
        _route->setMIDIInputPortName(_keys->sourcePortName());
        _route->setMIDIChannel(MIDIRoute::kAnyChannel);
        _a = _route->getMIDIOutputAtIndex(0);
        _a->setMainActivationValue(36);
        _a->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(_synthA->sinkPortName());
        _a->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        _b = _route->createNewMIDIOutput(false);
        _b->setMainActivationValue(38);
        _b->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(_synthB->sinkPortName());
        _b->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        JackTestClient::letConnectionsSettle();
        QVERIFY(JackTestClient::retryUntil(
            [this] {
                _keys->send({0x90, 30, 1});
            },
            [this] { return _synthB->receivedCount() > 0; }));
        _keys->send({0x80, 30, 0});
        QTest::qWait(300);
    }

    void init()
    {
        _a->setActive(true);
        _a->setMuteStateOfAllPatchesTo(false);
        _b->setMuteStateOfAllPatchesTo(false);
        _synthA->clearReceived();
        _synthB->clearReceived();
    }

    void gestureEndsWhereItBegan_data()
    {
        addGestureColumns();
        addGestureRows("");
    }
    void gestureEndsWhereItBegan()
    {
        QFETCH(Sent, begin);
        QFETCH(Sent, end);
        playAll(begin);
        playAll({{0x90, 38, 100}});
        playAll(end);
        QVERIFY(_synthA->waitForMessages(int(begin.size() + end.size()), 5000));
        QVERIFY(_synthB->waitForMessages(int(end.size()), 5000));
        QTest::qWait(200);
        QCOMPARE(bytesOf(*_synthA), begin + end);
        QCOMPARE(bytesOf(*_synthB), end);
    }

    void panicMuteAndStopDuringAGestureLeaveEverySynthAtRest_data()
    {
        addGestureColumns();
        QTest::addColumn<int>("path");
        for (int path = 0; path < 3; ++path) {
            const char* suffix = path == 0 ? " panic" : path == 1 ? " mute" : " stop";
            auto row = [suffix](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(QString::fromLatin1(name) + QLatin1String(suffix)));
            };
            row("sostenuto") << Sent{{0xB0, 66, 127}} << Sent{} << path;
            row("soft") << Sent{{0xB0, 67, 127}} << Sent{} << path;
            row("half pedal") << Sent{{0xB0, 64, 127}} << Sent{{0xB0, 64, 70}} << path;
            row("pitch bend") << Sent{{0xE0, 0x00, 0x60}} << Sent{{0xE0, 0x00, 0x30}} << path;
            row("mod wheel") << Sent{{0xB0, 1, 100}} << Sent{{0xB0, 1, 60}} << path;
        }
    }
    void panicMuteAndStopDuringAGestureLeaveEverySynthAtRest()
    {
        QFETCH(Sent, begin);
        QFETCH(Sent, end); // moved further after the switch, not back to rest
        QFETCH(int, path);
        playAll(begin);
        playAll({{0x90, 38, 100}});
        playAll(end);
        if (path == 0) {
            _setup->panic();
        } else if (path == 1) {
            _a->setMuteStateOfAllPatchesTo(true);
            _b->setMuteStateOfAllPatchesTo(true);
        } else {
            _setup->endSoundingNotes();
        }
        QTest::qWait(300);
        const Sent heardA = bytesOf(*_synthA);
        const Sent heardB = bytesOf(*_synthB);
        QVERIFY2(atRest(heardA), "synth A left away from rest");
        QVERIFY2(atRest(heardB), "synth B left away from rest");
        QVERIFY(heardA.size() > begin.size());
    }

    void cleanupTestCase()
    {
        _setup.reset();
        _keys.reset();
        _synthA.reset();
        _synthB.reset();
    }
};

QTEST_GUILESS_MAIN(GestureEndsJackTest)
#include "tst_GestureEndsJack.moc"
