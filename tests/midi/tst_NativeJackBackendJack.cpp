// A keyboard plays through the native JACK backend into two synths on the private JACK server:
// the program's one client and its ports, keyboard-on-screen messages meeting port messages in a
// cycle, delayed notes taken back by a mute, and an input that never goes deaf.
#include "midi/JackMIDIBackend.h"
#include "midi/MIDIBackend.h"
#include "midi/MIDIBackendChoice.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/TestPrefs.h"

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <memory>
#include <random>

using Bytes = midiMessage_t;

namespace {

bool isNoteOnOf(const Bytes& bytes, int note)
{
    return bytes.size() == 3 && (bytes[0] & 0xF0) == 0x90 && bytes[1] == note && bytes[2] != 0;
}

} // namespace

class NativeJackBackendJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synthA;
    std::unique_ptr<JackTestClient> _synthB;
    std::unique_ptr<MIDIRoutingSetup> _setup;
    MIDIRoute* _route = nullptr;
    MIDIPatchTarget* _plain = nullptr;   // synth A, channel 1, no delay
    MIDIPatchTarget* _delayed = nullptr; // synth B, channel 2, later

    void settle(int milliseconds) { QTest::qWait(milliseconds); }

    // Waits until neither synth has heard anything new for a while (delayed messages of a test
    // done), then forgets what they heard.
    void waitForQuietAndClear()
    {
        int heard = -1;
        for (int round = 0; round < 50 && heard != _synthA->receivedCount() + _synthB->receivedCount();
             ++round) {
            heard = _synthA->receivedCount() + _synthB->receivedCount();
            settle(200);
        }
        _synthA->clearReceived();
        _synthB->clearReceived();
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(MIDIBackendChoice::setPreferredApi(QStringLiteral("jack")));
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QnKeys"), QStringLiteral("out"), QString());
        _synthA =
            std::make_unique<JackTestClient>(QStringLiteral("QnSynthA"), QString(), QStringLiteral("in"));
        _synthB =
            std::make_unique<JackTestClient>(QStringLiteral("QnSynthB"), QString(), QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _synthA.get(), _synthB.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));
        QVERIFY(dynamic_cast<JackMIDIBackend*>(MIDIBackend::GetInstance()));
        QCOMPARE(MIDIBackend::GetInstance()->getApiName(), QStringLiteral("JACK"));

        _setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Native"), nullptr);
        _route = _setup->createNewMIDIRoute(false);
        QVERIFY(_route->setMIDIInputPortName(_keys->sourcePortName()));
        _route->setMIDIChannel(MIDIRoute::kAnyChannel);
        MIDIOutput* output = _route->getMIDIOutputAtIndex(0);
        _plain = output->getMIDIPatchTargetAtIndex(0);
        QVERIFY(_plain->setMIDIOutputPortName(_synthA->sinkPortName()));
        _plain->setMIDIChannel(0);
        _delayed = output->createNewMIDIPatchTarget(false, _synthB->sinkPortName());
        QCOMPARE(_delayed->getMIDIOutputPortName(), _synthB->sinkPortName());
        _delayed->setMIDIChannel(1);
        _delayed->setMessageDelayInMillisecs(100);
        output->setActive(true);

        JackTestClient::letConnectionsSettle();
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                _keys->send({0xB0, 7, 1});
            },
            [&] { return _synthA->receivedCount() > 0 && _synthB->receivedCount() > 0; }));
        waitForQuietAndClear();
    }

    void cleanupTestCase()
    {
        _setup.reset();
        MIDIPortIOManager::GetInstance()->removeAllPortRequirements();
    }

    void init()
    {
        // Long enough that a loaded machine still mutes before a delayed note falls due.
        _delayed->setMessageDelayInMillisecs(300);
    }

    void cleanup()
    {
        _delayed->setMuted(false);
        waitForQuietAndClear();
    }

    void catalogueListsOtherProgramsPortsButNeverOurOwn()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QVERIFY(info->getIndexOfInputPortNamed(QStringLiteral("QnKeys:out")) >= 0);
        QVERIFY(info->getIndexOfOutputPortNamed(QStringLiteral("QnSynthA_in:in")) >= 0);
        const QString ours = static_cast<JackMIDIBackend*>(MIDIBackend::GetInstance())->getClientName() + ':';
        for (const QString& name : info->getInputPortNames() + info->getOutputPortNames())
            QVERIFY2(!name.startsWith(ours), qPrintable(name));
        // And the backend's own fresh listing, with our ports open now.
        for (const std::string& name : MIDIBackend::GetInstance()->getOutputPortNames())
            QVERIFY2(QString::fromStdString(name).contains(':') &&
                         !QString::fromStdString(name).startsWith(ours),
                     name.c_str());
        QVERIFY(MIDIPortIOManager::GetInstance()->isInputPortOpen(QStringLiteral("QnKeys:out")));
        QVERIFY(MIDIPortIOManager::GetInstance()->isOutputPortOpen(_synthA->sinkPortName()));
    }

    void noteFromTheScreenKeyboardAndNoteOffFromThePortKeepTheirOrder()
    {
        // The on-screen keyboard starts a note and the real keyboard ends it right after, again and
        // again with uneven gaps: the synth always hears the start before the end, and nothing is lost.
        std::mt19937 random(7);
        std::uniform_int_distribution<int> gapUs(0, 3000);
        for (int i = 0; i < 40; ++i) {
            const BYTE note = BYTE(40 + i);
            _route->injectNoteOnMessage(note, 90);
            _keys->send({0x80, note, 0});
            QTest::qWait(0);
            std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
        }
        QVERIFY(_synthA->waitForMessages(80, 5000));
        const std::vector<Bytes> heard = _synthA->receivedBytes();
        QCOMPARE(heard.size(), std::size_t(80));
        for (int i = 0; i < 40; ++i) {
            const BYTE note = BYTE(40 + i);
            const int on = JackTestClient::indexIn(heard, {0x90, note, 90});
            const int off = JackTestClient::indexIn(heard, {0x80, note, 0});
            QVERIFY2(on >= 0 && off > on,
                     qPrintable(QStringLiteral("note %1: on at %2, off at %3").arg(note).arg(on).arg(off)));
        }
    }

    void portNoteAndScreenNoteInOneCycleBothArriveInOrderOfHandling()
    {
        // A note from the port and one from the screen, close enough to share a cycle: each source's
        // messages keep their order, and both notes sound and end.
        for (int i = 0; i < 20; ++i) {
            _keys->send({0x90, BYTE(60 + i), 100});
            _route->injectNoteOnMessage(BYTE(90 - i), 70);
            _keys->send({0x80, BYTE(60 + i), 0});
            _route->injectNoteOffMessage(BYTE(90 - i));
            QTest::qWait(2);
        }
        QVERIFY(_synthA->waitForMessages(80, 5000));
        const std::vector<Bytes> heard = _synthA->receivedBytes();
        QCOMPARE(heard.size(), std::size_t(80));
        int lastPort = -1;
        int lastScreen = -1;
        for (int i = 0; i < 20; ++i) {
            const int portOn = JackTestClient::indexIn(heard, {0x90, BYTE(60 + i), 100});
            const int portOff = JackTestClient::indexIn(heard, {0x80, BYTE(60 + i), 0});
            const int screenOn = JackTestClient::indexIn(heard, {0x90, BYTE(90 - i), 70});
            const int screenOff = JackTestClient::indexIn(heard, {0x80, BYTE(90 - i), 127});
            QVERIFY(portOn > lastPort && portOff > portOn);
            QVERIFY(screenOn > lastScreen && screenOff > screenOn);
            lastPort = portOff;
            lastScreen = screenOff;
        }
    }

    void delayedNoteOnFollowedByMuteIsNeverHeard()
    {
        _keys->send({0x90, 64, 100});
        // The undelayed patch shows the note came through; its delayed copy is still waiting.
        QVERIFY(_synthA->waitForMessages(1, 5000));
        _delayed->setMuted(true);
        settle(500);
        for (const Bytes& bytes : _synthB->receivedBytes())
            QVERIFY2(!isNoteOnOf(bytes, 64), "a delayed note on of a muted patch was heard");
        _keys->send({0x80, 64, 0});
        QVERIFY(_synthA->waitForMessages(2, 5000));
    }

    void delayedNoteOffStillEndsTheNoteAfterAMute()
    {
        // Both halves of a short note wait in the delay when the patch is muted: the note on is
        // taken back, the note off still goes out.
        _keys->send({0x90, 65, 100});
        _keys->send({0x80, 65, 0});
        QVERIFY(_synthA->waitForMessages(2, 5000));
        _delayed->setMuted(true);
        QTRY_VERIFY_WITH_TIMEOUT(_synthB->hasReceived({0x81, 65, 0}), 10000);
        QCOMPARE(_synthB->indexOf({0x91, 65, 100}), -1);
    }

    void delayedNotesArriveInOrderAndOnTime()
    {
        _delayed->setMessageDelayInMillisecs(100);
        QElapsedTimer clock;
        clock.start();
        for (int note = 70; note < 76; ++note) {
            _keys->send({0x90, BYTE(note), 80});
            _keys->send({0x80, BYTE(note), 0});
            QTest::qWait(5);
        }
        const auto isProbe = [](const JackTestClient::ReceivedMessage& message) {
            return message.bytes.size() == 3 && message.bytes[1] >= 70 && message.bytes[1] < 76;
        };
        const auto probesHeard = [&] {
            const auto heard = _synthB->receivedMessages();
            return std::count_if(heard.begin(), heard.end(), isProbe);
        };
        QTRY_VERIFY_WITH_TIMEOUT(probesHeard() >= 12, 10000);
        const auto undelayed = _synthA->receivedMessages();
        std::vector<JackTestClient::ReceivedMessage> delayed;
        for (const auto& message : _synthB->receivedMessages()) {
            if (isProbe(message))
                delayed.push_back(message);
        }
        QCOMPARE(delayed.size(), std::size_t(12));
        for (int note = 70; note < 76; ++note) {
            const Bytes on = {0x91, BYTE(note), 80};
            const auto later = std::find_if(delayed.begin(), delayed.end(),
                                            [&](const auto& message) { return message.bytes == on; });
            const auto now = std::find_if(undelayed.begin(), undelayed.end(), [&](const auto& message) {
                return message.bytes == Bytes{0x90, BYTE(note), 80};
            });
            QVERIFY(later != delayed.end() && now != undelayed.end());
            const double ms =
                std::chrono::duration<double, std::milli>(later->arrival - now->arrival).count();
            // Delays are kept on the server's clock, which a dummy driver on a loaded machine lets
            // fall far behind the wall clock; the benchmark measures the error to the frame.
            QVERIFY2(ms > 50.0 && ms < 1000.0, qPrintable(QStringLiteral("delay of %1 ms").arg(ms)));
        }
        for (size_t i = 0; i + 1 < delayed.size(); i += 2) {
            QCOMPARE(delayed[i].bytes[0], BYTE(0x91));
            QCOMPARE(delayed[i + 1].bytes[0], BYTE(0x81));
        }
    }

    void unterminatedSystemExclusiveNeverDeafensTheInput_data()
    {
        QTest::addColumn<std::vector<Bytes>>("noise");
        QTest::newRow("dump cut off") << std::vector<Bytes>{{0xF0, 0x43, 0x10, 0x4C}};
        QTest::newRow("dump in pieces cut off")
            << std::vector<Bytes>{{0xF0, 0x43}, {0x10, 0x4C}, {0x00, 0x7F}};
        QTest::newRow("dump in pieces with clock") << std::vector<Bytes>{{0xF0, 0x43}, {0xF8}, {0x10, 0x4C}};
        QTest::newRow("finished dump") << std::vector<Bytes>{{0xF0, 0x43}, {0x10}, {0xF7}};
    }

    void unterminatedSystemExclusiveNeverDeafensTheInput()
    {
        QFETCH(std::vector<Bytes>, noise);
        for (const Bytes& bytes : noise)
            _keys->send(bytes);
        // The note that follows ends any dump in progress and is played.
        _keys->send({0x90, 48, 99});
        _keys->send({0x80, 48, 0});
        QVERIFY(_synthA->waitForMessages(2, 5000));
        settle(50);
        const std::vector<Bytes> heard = _synthA->receivedBytes();
        QCOMPARE(heard, (std::vector<Bytes>{{0x90, 48, 99}, {0x80, 48, 0}}));
    }

    void noteThatEndsADumpInTheSameEventIsPlayed()
    {
        // One event carrying the start of a dump and, cut in, a note: the dump ends at the note.
        _keys->send({0xF0, 0x43, 0x10, 0x90, 50, 88});
        _keys->send({0x80, 50, 0});
        QVERIFY(_synthA->waitForMessages(2, 5000));
        settle(50);
        QCOMPARE(_synthA->receivedBytes(), (std::vector<Bytes>{{0x90, 50, 88}, {0x80, 50, 0}}));
    }
};

QTEST_GUILESS_MAIN(NativeJackBackendJackTest)
#include "tst_NativeJackBackendJack.moc"
