// A set list played on the private JACK server with the project's test clients: a foot switch
// changes songs while a chord and the sustain pedal ring on, a thousand changes under a stream of
// notes and pedals leave nothing hanging and nothing behind, and a broken song is skipped.
#include "app/StatusManager.h"
#include "midi/MIDIPortIOManager.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"
#include "support/HangingNotesChecker.h"
#include "support/JackBackendUnderTest.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/SetListTestSongs.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>
#include <unistd.h>

using Bytes = midiMessage_t;

namespace {

// ThreadSanitizer keeps the history of every access, so memory grows under it whatever the code does.
#if defined(__SANITIZE_THREAD__)
constexpr bool kMemoryMeansSomething = false;
#else
constexpr bool kMemoryMeansSomething = true;
#endif

// The resident memory of this process, in bytes.
long long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long long size = 0;
    long long resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

} // namespace

class tst_SetListJack : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synthA;
    std::unique_ptr<JackTestClient> _synthB;
    std::unique_ptr<JackTestClient> _synthC;
    QTemporaryDir _dir;

    // Songs on Keys: 1 plays synth A (program 1), 2 synth B (program 2), 3 synth C (program 3),
    // whose port is open only while song 3 or a song next to it is held; controller 80 is the foot
    // switch for next, note 21 is previous.
    std::unique_ptr<SetList> makeList(bool secondBroken = false)
    {
        auto list = std::make_unique<SetList>(QStringLiteral("Friday"));
        const QString keys = _keys->sourcePortName();
        using SetListTestSongs::addSong;
        addSong(list.get(), _dir.path(), QStringLiteral("Opener"), keys, _synthA->sinkPortName(), 1);
        addSong(list.get(), _dir.path(), secondBroken ? QStringLiteral("Missing") : QStringLiteral("Ballad"),
                keys, _synthB->sinkPortName(), 2, secondBroken);
        addSong(list.get(), _dir.path(), QStringLiteral("Encore"), keys, _synthC->sinkPortName(), 3);
        SetListTrigger next(SetListTrigger::Action::Next, keys, SetListTrigger::kAnyChannel,
                            SetListTrigger::MessageType::Controller, 80);
        SetListTrigger previous(SetListTrigger::Action::Previous, keys, SetListTrigger::kAnyChannel,
                                SetListTrigger::MessageType::Note, 21);
        list->setTriggers({next, previous});
        return list;
    }

    void clearAll()
    {
        _synthA->clearReceived();
        _synthB->clearReceived();
        _synthC->clearReceived();
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QUORVELL_REQUIRE_JACK_SERVER();
        JackBackendUnderTest::select();
        registerBuiltInInitializers();
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QsKeys"), QStringLiteral("out"), QString());
        _synthA =
            std::make_unique<JackTestClient>(QStringLiteral("QsSynthA"), QString(), QStringLiteral("in"));
        _synthB =
            std::make_unique<JackTestClient>(QStringLiteral("QsSynthB"), QString(), QStringLiteral("in"));
        _synthC =
            std::make_unique<JackTestClient>(QStringLiteral("QsSynthC"), QString(), QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _synthA.get(), _synthB.get(), _synthC.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));
    }

    void cleanup()
    {
        MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(200);
        clearAll();
    }

    void chordAndPedalRingOnAcrossAFootSwitchChange()
    {
        std::unique_ptr<SetList> list = makeList();
        SetListPlayer player(list.get());
        QVERIFY(player.start());
        JackTestClient::letConnectionsSettle();
        // Song 1 sounds: a chord held with the sustain pedal.
        QVERIFY(_keys->sendUntilReceived({0x90, 60, 100}, *_synthA, {0x90, 60, 100}));
        _keys->send({0x90, 64, 100});
        _keys->send({0x90, 67, 100});
        _keys->send({0xB0, 64, 127});
        QTRY_VERIFY(_synthA->hasReceived({0xB0, 64, 127}));

        // The foot switch (pressed, released), then the first note of song 2.
        _keys->send({0xB0, 80, 127});
        _keys->send({0xB0, 80, 0});
        QTRY_COMPARE(player.getCurrentSongIndex(), 1);
        _keys->send({0x90, 72, 90});
        QTRY_VERIFY(_synthB->hasReceived({0x90, 72, 90}));
        const std::vector<Bytes> onB = _synthB->receivedBytes();
        const int program = JackTestClient::indexIn(onB, {0xC0, 2});
        QVERIFY2(program >= 0 && program < JackTestClient::indexIn(onB, {0x90, 72, 90}),
                 "song 2's initializer did not come before its first note");
        QCOMPARE(getCurrentRoutingSetup(), player.getCurrentSongSetup());

        // Letting go of the chord and the pedal ends them on song 1's port.
        for (BYTE note : {60, 64, 67})
            _keys->send({0x80, note, 0});
        _keys->send({0xB0, 64, 0});
        _keys->send({0x80, 72, 0});
        QTRY_VERIFY(_synthA->hasReceived({0xB0, 64, 0}));
        QTest::qWait(100);
        const std::vector<Bytes> onA = _synthA->receivedBytes();
        for (BYTE note : {60, 64, 67})
            QVERIFY2(JackTestClient::indexIn(onA, {0x80, note, 0}) >= 0,
                     "a note of the chord was not ended on song 1's port");
        // Nothing new reached song 1, and the foot switch reached no synth.
        QVERIFY(JackTestClient::indexIn(onA, {0x90, 72, 90}) < 0);
        for (const auto& bytes : {onA, _synthB->receivedBytes(), _synthC->receivedBytes()})
            for (const Bytes& message : bytes)
                QVERIFY2(!(message.size() == 3 && (message[0] & 0xF0) == 0xB0 && message[1] == 80),
                         "the foot switch was forwarded");
        player.stop();
    }

    void thousandChangesLeaveNothingHangingAndNothingBehind()
    {
        std::unique_ptr<SetList> list = makeList();
        SetListPlayer player(list.get());
        QVERIFY(player.start());
        JackTestClient::letConnectionsSettle();
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                _keys->send({0xB0, 7, 100});
            },
            [&] { return _synthA->receivedCount() > 0; }));
        HangingNotesChecker checker;
        auto collect = [&] {
            for (const Bytes& message : _synthA->receivedBytes())
                checker.heard(QStringLiteral("A"), message);
            for (const Bytes& message : _synthB->receivedBytes())
                checker.heard(QStringLiteral("B"), message);
            for (const Bytes& message : _synthC->receivedBytes())
                checker.heard(QStringLiteral("C"), message);
            clearAll();
        };
        long long memoryAt100 = 0;
        int portClosedOnSong1 = 0;
        constexpr int kChanges = 1000;
        for (int change = 1; change <= kChanges; ++change) {
            // Next, next, previous, previous, ...: songs 1, 2, 3, 2, 1, 2, ...
            const bool forward = ((change - 1) / 2) % 2 == 0;
            const int expected = player.getCurrentSongIndex() + (forward ? 1 : -1);
            const BYTE note = BYTE(36 + change % 48);
            const bool pedal = change % 3 == 0;
            _keys->send({0x90, note, 90});
            if (pedal)
                _keys->send({0xB0, 64, 127});
            if (forward) {
                _keys->send({0xB0, 80, 127});
                _keys->send({0xB0, 80, 0});
            } else {
                _keys->send({0x90, 21, 100});
                _keys->send({0x80, 21, 0});
            }
            _keys->send({0x90, BYTE(note + 1), 70});
            _keys->send({0x80, note, 0});
            _keys->send({0x80, BYTE(note + 1), 0});
            if (pedal)
                _keys->send({0xB0, 64, 0});
            QTRY_VERIFY2_WITH_TIMEOUT(
                player.getCurrentSongIndex() == expected && !player.isChangeInProgress(),
                qPrintable(QStringLiteral("change %1 did not happen").arg(change)), 10000);
            if (change % 50 == 0) {
                QTest::qWait(20);
                collect();
            }
            if (change == 100)
                memoryAt100 = residentBytes();
            // On song 1 only songs 1 and 2 are held: synth C's port is closed.
            if (player.getCurrentSongIndex() == 0)
                portClosedOnSong1 +=
                    MIDIPortIOManager::GetInstance()->isOutputPortOpen(_synthC->sinkPortName()) ? 0 : 1;
        }
        QTest::qWait(300);
        player.processPendingWork();
        collect();
        const long long memoryAt1000 = residentBytes();
        QVERIFY2(checker.hanging().isEmpty(), qPrintable(checker.hanging()));
        QVERIFY(checker.noteOnsHeard() >= 2 * kChanges - 10);
        QVERIFY2(portClosedOnSong1 >= kChanges / 5, "synth C's port did not come and go");
        // What a released song leaves behind: nothing but what every song shares.
        QVERIFY2(!kMemoryMeansSomething || memoryAt1000 - memoryAt100 < 2 * 1024 * 1024,
                 qPrintable(QStringLiteral("memory grew by %1 kB from change 100 to 1000")
                                .arg((memoryAt1000 - memoryAt100) / 1024)));
        QVERIFY(player.getNumHeldSetups() <= 3);
        const int setups = player.findChildren<MIDIRoutingSetup*>(Qt::FindDirectChildrenOnly).size() + 1;
        QCOMPARE(setups, player.getNumHeldSetups());
        player.stop();
        QVERIFY(!MIDIPortIOManager::GetInstance()->isOutputPortOpen(_synthB->sinkPortName()));
        QVERIFY(!MIDIPortIOManager::GetInstance()->isOutputPortOpen(_synthC->sinkPortName()));
        QVERIFY(!MIDIPortIOManager::GetInstance()->isInputPortOpen(_keys->sourcePortName()));
    }

    void brokenSongIsSkippedWithAWarning()
    {
        std::unique_ptr<SetList> list = makeList(true);
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        SetListPlayer player(list.get());
        QVERIFY(player.start());
        JackTestClient::letConnectionsSettle();
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                _keys->send({0xB0, 80, 127});
                _keys->send({0xB0, 80, 0});
            },
            [&] {
                QCoreApplication::processEvents();
                return player.getCurrentSongIndex() == 2;
            }));
        bool named = false;
        for (const auto& warning : warnings)
            named =
                named || warning.at(0).toString().startsWith(QLatin1String("Skipped song 2 of 3: Missing"));
        QVERIFY(named);
        QTRY_VERIFY(_synthC->hasReceived({0xC0, 3}));
        QCOMPARE(_synthB->receivedCount(), 0);
        player.stop();
    }
};

QTEST_GUILESS_MAIN(tst_SetListJack)
#include "tst_SetListJack.moc"
