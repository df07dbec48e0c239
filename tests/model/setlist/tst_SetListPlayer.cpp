// Playing a set list on the fake MIDI system: what sounds where at a song change, what the
// triggers keep to themselves, what waits, what is refused and said, and what is let go of.
#include "app/StatusManager.h"
#include "midi/MIDIPortIOManager.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"
#include "support/HangingNotesChecker.h"
#include "support/RoutingTestRig.h"
#include "support/SetListTestSongs.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <memory>
#include <thread>

using Bytes = midiMessage_t;
using Messages = QList<Bytes>;

namespace {

const QString kKeys = QStringLiteral("Keys");
const QString kPads = QStringLiteral("Pads");

void play(const Bytes& bytes, const QString& port = kKeys)
{
    RoutingTestRig::play(port, bytes);
}

QString joined(const QSignalSpy& spy)
{
    QString text;
    for (const auto& call : spy)
        text += call.at(0).toString() + QLatin1Char('\n');
    return text;
}

} // namespace

class tst_SetListPlayer : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> _dir;
    std::unique_ptr<SetList> _list;
    std::unique_ptr<SetListPlayer> _player;

    // Songs 1 to 3 play Keys on SynthA, SynthB, SynthC with programs 1, 2, 3; the foot switch is
    // controller 80 on Keys, previous is note 21 on Pads, song 3 is program change 9 on Pads.
    void makeList(bool secondBroken = false)
    {
        _list = std::make_unique<SetList>(QStringLiteral("Friday"));
        using namespace SetListTestSongs;
        addSong(_list.get(), _dir->path(), QStringLiteral("Opener"), kKeys, QStringLiteral("SynthA"), 1);
        addSong(_list.get(), _dir->path(), QStringLiteral("Ballad"), kKeys, QStringLiteral("SynthB"), 2,
                secondBroken);
        addSong(_list.get(), _dir->path(), QStringLiteral("Encore"), kKeys, QStringLiteral("SynthC"), 3);
        SetListTrigger next(SetListTrigger::Action::Next, kKeys, SetListTrigger::kAnyChannel,
                            SetListTrigger::MessageType::Controller, 80);
        SetListTrigger previous(SetListTrigger::Action::Previous, kPads, SetListTrigger::kAnyChannel,
                                SetListTrigger::MessageType::Note, 21);
        SetListTrigger third(SetListTrigger::Action::Song, kPads, 0,
                             SetListTrigger::MessageType::ProgramChange, 9);
        third.setSongNumber(3);
        _list->setTriggers({next, previous, third});
        _player = std::make_unique<SetListPlayer>(_list.get());
    }

    void pressFootSwitch()
    {
        play({0xB0, 80, 127});
        play({0xB0, 80, 0});
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInInitializers();
    }

    void init()
    {
        _dir = std::make_unique<QTemporaryDir>();
        RoutingTestRig::clearSent();
    }

    void cleanup()
    {
        _player.reset();
        _list.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        RoutingTestRig::clearSent();
    }

    void heldChordAndPedalRingOnAcrossTheChange()
    {
        makeList();
        QVERIFY(_player->start());
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Messages({{0xC0, 1}}));
        QCOMPARE(getCurrentRoutingSetup(), _player->getCurrentSongSetup());
        play({0x90, 60, 90});
        play({0x90, 64, 90});
        play({0xB0, 64, 127});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")).size(), 3);

        pressFootSwitch();
        // The change happened in the trigger's own delivery: song 2's sound is set before its
        // first note, and the foot switch reached no synth.
        play({0x90, 67, 80});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")), Messages({{0xC0, 2}, {0x90, 67, 80}}));
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());

        // Letting go: the chord and the pedal end where they began.
        play({0x80, 60, 0});
        play({0x80, 64, 0});
        play({0xB0, 64, 0});
        const Messages onA = RoutingTestRig::takeSent(QStringLiteral("SynthA"));
        QVERIFY2(onA.contains(Bytes{0x80, 60, 0}) && onA.contains(Bytes{0x80, 64, 0}) &&
                     onA.contains(Bytes{0xB0, 64, 0}),
                 "song 1 did not hear its chord and pedal end");
        // Once more: song 1 is at rest and hears nothing new.
        play({0x90, 60, 90});
        play({0xB0, 64, 100});
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
        QVERIFY(!RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty());

        _player->processPendingWork();
        QCOMPARE(_player->getCurrentSongIndex(), 1);
        QCOMPARE(getCurrentRoutingSetup(), _player->getCurrentSongSetup());
    }

    void triggersAreConsumedAndFollowTheirChannelAndPort()
    {
        makeList();
        QVERIFY(_player->start());
        RoutingTestRig::clearSent();
        play({0xB0, 81, 127});  // another controller: the song's
        play({0xC1, 9}, kPads); // program 9 on channel 2: not the trigger's (channel 1 only)
        play({0x90, 21, 64});   // note 21 on Keys: the previous trigger listens on Pads only
        QCOMPARE(_player->getCurrentSongIndex(), 0);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")).size(), 2);
        play({0xC0, 9}, kPads);
        _player->processPendingWork();
        QCOMPARE(_player->getCurrentSongIndex(), 2);
        play({0x80, 21, 0});
        play({0x90, 21, 64}, kPads); // previous: song 2
        play({0x80, 21, 0}, kPads);
        _player->processPendingWork();
        QCOMPARE(_player->getCurrentSongIndex(), 1);
        for (const QString& synth :
             {QStringLiteral("SynthA"), QStringLiteral("SynthB"), QStringLiteral("SynthC")}) {
            for (const Bytes& sent : RoutingTestRig::takeSent(synth)) {
                QVERIFY2(!(sent.size() == 2 && (sent[0] & 0xF0) == 0xC0 && sent[1] == 9),
                         "program 9 forwarded");
                QVERIFY2(
                    !(sent.size() == 3 && (sent[0] & 0xF0) == 0x90 && sent[1] == 21 && synth != "SynthA"),
                    "note 21 forwarded");
            }
        }
    }

    void requestsDuringAChangeWaitAndOnlyOneDoes()
    {
        makeList();
        QVERIFY(_player->start());
        QSignalSpy status(StatusManager::GetInstance(),
                          qOverload<QString, int>(&StatusManager::statusMessagePosted));
        _player->nextSong(); // at once: song 2 was read ahead
        QVERIFY(_player->isChangeInProgress());
        _player->nextSong();                         // waits for song 3 to be read ahead
        _player->nextSong();                         // one too many: left out
        QCOMPARE(_player->getCurrentSongIndex(), 0); // the GUI side has not caught up yet
        _player->processPendingWork();
        QCOMPARE(_player->getCurrentSongIndex(), 2);
        QVERIFY(!_player->isChangeInProgress());
        const QString said = joined(status);
        QVERIFY2(said.contains(QLatin1String("song 2 of 3: Ballad")), qPrintable(said));
        QVERIFY(said.contains(QLatin1String("song 3 of 3: Encore")));
        QVERIFY(said.contains(QLatin1String("one more request was left out")));
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthC")), Messages({{0xC0, 3}}));
    }

    void lastSongNextAndFirstSongPreviousSaySo()
    {
        makeList();
        QVERIFY(_player->start());
        QSignalSpy status(StatusManager::GetInstance(),
                          qOverload<QString, int>(&StatusManager::statusMessagePosted));
        _player->previousSong();
        _player->processPendingWork();
        QCOMPARE(_player->getCurrentSongIndex(), 0);
        _player->gotoSong(2);
        _player->processPendingWork();
        _player->nextSong();
        _player->processPendingWork();
        QCOMPARE(_player->getCurrentSongIndex(), 2);
        const QString said = joined(status);
        QVERIFY2(said.contains(QLatin1String("previous song: this is the first song (song 1 of 3: Opener)")),
                 qPrintable(said));
        QVERIFY(said.contains(QLatin1String("next song: this is the last song (song 3 of 3: Encore)")));
        QVERIFY(!_player->isChangeInProgress());
    }

    void brokenSongIsSkippedWithAWarning()
    {
        makeList(true);
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        QVERIFY(_player->start());
        QCOMPARE(_player->getNextSongIndex(), 2);
        pressFootSwitch();
        _player->processPendingWork();
        QCOMPARE(_player->getCurrentSongIndex(), 2);
        QVERIFY2(joined(warnings).contains(QLatin1String("Skipped song 2 of 3: Ballad")),
                 qPrintable(joined(warnings)));
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty());
        QCOMPARE(_player->getPreviousSongIndex(), 0);
        _player->gotoSong(1);
        _player->processPendingWork();
        QCOMPARE(_player->getCurrentSongIndex(), 2);
        QVERIFY(joined(warnings).contains(QLatin1String("song 2 of 3: Ballad cannot be played")));
    }

    void reloadRereadsOnlyWhenAsked()
    {
        makeList();
        QVERIFY(_player->start());
        play({0x90, 60, 90});
        // The file changes on disk: nothing happens until the player asks.
        QVERIFY(SetListTestSongs::writeSong(_list->getSongAtIndex(0).getResolvedPath(), kKeys,
                                            QStringLiteral("SynthA"), 40));
        RoutingTestRig::clearSent();
        play({0x90, 62, 90});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Messages({{0x90, 62, 90}}));
        MIDIRoutingSetup* before = _player->getCurrentSongSetup();
        QVERIFY(_player->reloadCurrentSong());
        QVERIFY(_player->getCurrentSongSetup() != before);
        QCOMPARE(_player->getCurrentSongIndex(), 0);
        play({0x80, 60, 0});
        play({0x80, 62, 0});
        const Messages sent = RoutingTestRig::takeSent(QStringLiteral("SynthA"));
        QVERIFY(sent.size() >= 3);
        QCOMPARE(sent.first(), Bytes({0xC0, 40}));
        QVERIFY(sent.contains(Bytes{0x80, 60, 0}));
        _player->processPendingWork();
        // The old copy came to rest and is gone: current and song 2 read ahead.
        QCOMPARE(_player->getNumHeldSetups(), 2);
    }

    void panicAndStopEndEverythingInBothSongs()
    {
        makeList();
        QVERIFY(_player->start());
        play({0x90, 60, 90});
        play({0xB0, 64, 127});
        pressFootSwitch();
        play({0x90, 72, 90});
        RoutingTestRig::clearSent();
        _player->panic();
        const Messages onA = RoutingTestRig::takeSent(QStringLiteral("SynthA"));
        const Messages onB = RoutingTestRig::takeSent(QStringLiteral("SynthB"));
        // All notes off and pedal up on every channel of both songs' synths.
        QVERIFY(onA.contains(Bytes{0xB0, 123, 0}) && onA.contains(Bytes{0xB0, 64, 0}));
        QVERIFY(onB.contains(Bytes{0xB0, 123, 0}) && onB.contains(Bytes{0xB0, 64, 0}));
        _player->processPendingWork();
        play({0x90, 48, 90});
        play({0xB0, 64, 127});
        pressFootSwitch();
        RoutingTestRig::clearSent();
        _player->stop();
        const Messages stopped = RoutingTestRig::takeSent(QStringLiteral("SynthB"));
        // Song 2 was still releasing the note and the pedal: stopping ends both there.
        QCOMPARE(stopped, Messages({{0x80, 48, 127}, {0xB0, 64, 0}}));
        QCOMPARE(getCurrentRoutingSetup(), nullptr);
        QCOMPARE(_player->getNumHeldSetups(), 0);
        QVERIFY(!MIDIPortIOManager::GetInstance()->isInputPortOpen(kPads));
        QCOMPARE(MIDIPortIOManager::GetInstance()->getInputInterceptor(), nullptr);
    }

    void triggersEditedDuringTheEveningTakeEffect()
    {
        makeList();
        QVERIFY(_player->start());
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        // The foot switch moves to Pads; a trigger on a port this machine lacks is named.
        SetListTrigger pads(SetListTrigger::Action::Next, kPads, SetListTrigger::kAnyChannel,
                            SetListTrigger::MessageType::Controller, 80);
        SetListTrigger elsewhere(SetListTrigger::Action::Previous, QStringLiteral("Nowhere:out"),
                                 SetListTrigger::kAnyChannel, SetListTrigger::MessageType::Note, 1);
        _list->setTriggers({pads, elsewhere});
        QVERIFY(joined(warnings).contains(QLatin1String("\"Nowhere:out\"")));
        RoutingTestRig::clearSent();
        pressFootSwitch(); // on Keys: now the song's controller
        _player->processPendingWork();
        QCOMPARE(_player->getCurrentSongIndex(), 0);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")).size(), 2);
        play({0xB0, 80, 127}, kPads);
        _player->processPendingWork();
        QCOMPARE(_player->getCurrentSongIndex(), 1);
    }

    void triggersFromAnotherThreadWhileTheGuiCatchesUp()
    {
        makeList();
        QVERIFY(_player->start());
        RoutingTestRig::clearSent();
        std::atomic<bool> done{false};
        std::thread keyboard([&] {
            for (int i = 0; i < 300; ++i) {
                const BYTE note = BYTE(40 + i % 30);
                play({0x90, note, 90});
                if (i % 5 == 0)
                    play({0xB0, 64, 127});
                if (i % 7 < 4) {
                    play({0xB0, 80, 127});
                    play({0xB0, 80, 0});
                } else {
                    play({0x90, 21, 90}, kPads);
                    play({0x80, 21, 0}, kPads);
                }
                play({0x80, note, 0});
                if (i % 5 == 0)
                    play({0xB0, 64, 0});
                std::this_thread::sleep_for(std::chrono::microseconds(300));
            }
            done.store(true);
        });
        int rounds = 0;
        while (!done.load()) {
            _player->processPendingWork();
            ++rounds;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        keyboard.join();
        _player->processPendingWork();
        QVERIFY(rounds > 0);
        QVERIFY(_player->getCurrentSongIndex() >= 0 && _player->getCurrentSongIndex() < 3);
        QVERIFY(_player->getNumHeldSetups() <= 3);
        HangingNotesChecker checker;
        checker.collectFromRig(
            {QStringLiteral("SynthA"), QStringLiteral("SynthB"), QStringLiteral("SynthC")});
        QVERIFY2(checker.hanging().isEmpty(), qPrintable(checker.hanging()));
        QVERIFY(checker.noteOnsHeard() >= 290);
    }

    void songsComeAndGoWithoutLeavingSetupsBehind()
    {
        makeList();
        for (int i = 0; i < 3; ++i)
            SetListTestSongs::addSong(_list.get(), _dir->path(), QStringLiteral("Extra%1").arg(i), kKeys,
                                      QStringLiteral("SynthA"), 10 + i);
        QVERIFY(_player->start());
        for (int round = 0; round < 40; ++round) {
            play({0x90, BYTE(40 + round % 20), 90});
            if (round % 12 < 6)
                _player->nextSong();
            else
                _player->previousSong();
            play({0x80, BYTE(40 + round % 20), 0});
            _player->processPendingWork();
            QVERIFY2(_player->getNumHeldSetups() <= 3,
                     qPrintable(QString::number(_player->getNumHeldSetups())));
        }
        const int setups = _player->findChildren<MIDIRoutingSetup*>(Qt::FindDirectChildrenOnly).size() +
                           (getCurrentRoutingSetup() ? 1 : 0);
        QCOMPARE(setups, _player->getNumHeldSetups());
        _list->removeSongAtIndex(_player->getCurrentSongIndex());
        QVERIFY(_player->getCurrentSongSetup());
        _player->nextSong();
        _player->processPendingWork();
        QVERIFY(_player->getCurrentSongIndex() >= 0);
    }
};

QTEST_GUILESS_MAIN(tst_SetListPlayer)
#include "tst_SetListPlayer.moc"
