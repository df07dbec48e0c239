// The set list in memory: its songs and their files, and how a trigger tells its messages from
// the song's (fires, is consumed, or is left alone).
#include "model/setlist/SetList.h"
#include "model/setlist/SetListTrigger.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace {

using Match = SetListTrigger::Match;
using Type = SetListTrigger::MessageType;

SetListTrigger footSwitch(BYTE channel = SetListTrigger::kAnyChannel)
{
    SetListTrigger trigger(SetListTrigger::Action::Next, QStringLiteral("Keyboard:out"), channel,
                           Type::Controller, 80);
    trigger.setValueRange(64, 127);
    return trigger;
}

Match feed(SetListTrigger& trigger, const midiMessage_t& message)
{
    return trigger.match(&message);
}

} // namespace

class tst_SetListModel : public QObject
{
    Q_OBJECT

private slots:
    void footSwitchPressIsOneChange();
    void footSwitchCountsEachChannelApart();
    void noteTriggerFiresOnItsNoteOnAndSwallowsItsNoteOff();
    void noteTriggerFiresOnItsNoteOnAndSwallowsItsNoteOff_data();
    void programChangeTriggerFiresOnItsProgramOnly();
    void otherChannelsAndShortMessagesAreLeftAlone();
    void rangeIsKeptInOrder();
    void songsResolveAgainstTheListsFolder();
    void saveAsElsewhereKeepsNamingTheSameFiles();
    void editsAnnounceThemselvesAndMarkModified();
    void loadErrorIsNotAModification();
};

void tst_SetListModel::footSwitchPressIsOneChange()
{
    SetListTrigger trigger = footSwitch();
    // A switch that sends 127 pressed, a few bounces, then 0 released, twice.
    QCOMPARE(feed(trigger, {0xB0, 80, 127}), Match::Fired);
    QCOMPARE(feed(trigger, {0xB0, 80, 127}), Match::Consumed);
    QCOMPARE(feed(trigger, {0xB0, 80, 100}), Match::Consumed);
    QCOMPARE(feed(trigger, {0xB0, 80, 0}), Match::Consumed);
    QCOMPARE(feed(trigger, {0xB0, 80, 30}), Match::Consumed);
    QCOMPARE(feed(trigger, {0xB0, 80, 64}), Match::Fired);
    // Another controller is the song's.
    QCOMPARE(feed(trigger, {0xB0, 64, 127}), Match::None);
    trigger.resetMatchState();
    QCOMPARE(feed(trigger, {0xB0, 80, 90}), Match::Fired);
}

void tst_SetListModel::footSwitchCountsEachChannelApart()
{
    SetListTrigger trigger = footSwitch();
    QCOMPARE(feed(trigger, {0xB0, 80, 127}), Match::Fired);
    QCOMPARE(feed(trigger, {0xB3, 80, 127}), Match::Fired);
    QCOMPARE(feed(trigger, {0xB3, 80, 127}), Match::Consumed);
    QCOMPARE(feed(trigger, {0xB0, 80, 0}), Match::Consumed);
    QCOMPARE(feed(trigger, {0xB3, 80, 127}), Match::Consumed);
    QCOMPARE(feed(trigger, {0xB0, 80, 127}), Match::Fired);
}

void tst_SetListModel::noteTriggerFiresOnItsNoteOnAndSwallowsItsNoteOff_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected");
    QTest::newRow("note on") << QByteArray("\x90\x15\x40", 3) << int(Match::Fired);
    QTest::newRow("note on, another channel") << QByteArray("\x9A\x15\x01", 3) << int(Match::Fired);
    QTest::newRow("note off") << QByteArray("\x80\x15\x40", 3) << int(Match::Consumed);
    QTest::newRow("note on velocity 0") << QByteArray("\x90\x15\x00", 3) << int(Match::Consumed);
    QTest::newRow("another note") << QByteArray("\x90\x16\x40", 3) << int(Match::None);
    QTest::newRow("controller of that number") << QByteArray("\xB0\x15\x40", 3) << int(Match::None);
    QTest::newRow("program of that number") << QByteArray("\xC0\x15", 2) << int(Match::None);
}

void tst_SetListModel::noteTriggerFiresOnItsNoteOnAndSwallowsItsNoteOff()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    SetListTrigger trigger(SetListTrigger::Action::Previous, QStringLiteral("Keyboard:out"),
                           SetListTrigger::kAnyChannel, Type::Note, 21);
    const midiMessage_t message(bytes.begin(), bytes.end());
    QCOMPARE(int(trigger.match(&message)), expected);
}

void tst_SetListModel::programChangeTriggerFiresOnItsProgramOnly()
{
    SetListTrigger trigger(SetListTrigger::Action::Song, QStringLiteral("Pedalboard:out"), 0,
                           Type::ProgramChange, 1);
    trigger.setSongNumber(2);
    QCOMPARE(feed(trigger, {0xC0, 1}), Match::Fired);
    QCOMPARE(feed(trigger, {0xC0, 1}), Match::Fired);
    QCOMPARE(feed(trigger, {0xC0, 2}), Match::None);
    QCOMPARE(feed(trigger, {0xC1, 1}), Match::None);
    QVERIFY(trigger.description().contains(QLatin1String("song 2")));
}

void tst_SetListModel::otherChannelsAndShortMessagesAreLeftAlone()
{
    SetListTrigger trigger = footSwitch(2);
    QCOMPARE(feed(trigger, {0xB0, 80, 127}), Match::None);
    QCOMPARE(feed(trigger, {0xB2, 80, 127}), Match::Fired);
    QCOMPARE(feed(trigger, {0xB2}), Match::None);
    QCOMPARE(feed(trigger, {0xF8}), Match::None);
    QCOMPARE(trigger.match(nullptr), Match::None);
}

void tst_SetListModel::rangeIsKeptInOrder()
{
    SetListTrigger trigger = footSwitch();
    trigger.setValueRange(100, 20);
    QCOMPARE(trigger.getMinValue(), BYTE(20));
    QCOMPARE(trigger.getMaxValue(), BYTE(100));
    QCOMPARE(feed(trigger, {0xB0, 80, 10}), Match::Consumed);
    QCOMPARE(feed(trigger, {0xB0, 80, 20}), Match::Fired);
    QCOMPARE(feed(trigger, {0xB0, 80, 101}), Match::Consumed);
    QCOMPARE(feed(trigger, {0xB0, 80, 100}), Match::Fired);
}

void tst_SetListModel::songsResolveAgainstTheListsFolder()
{
    SetList list(QStringLiteral("Friday"));
    list.setFilePath(QStringLiteral("/gig/lists/friday.msl"));
    list.addSong(SetListSong(QStringLiteral("Opener"), QStringLiteral("opener.ms")));
    list.addSong(SetListSong(QStringLiteral("Ballad"), QStringLiteral("../songs/ballad.ms")));
    list.addSong(SetListSong(QStringLiteral("Encore"), QStringLiteral("/elsewhere/encore.ms")));
    QCOMPARE(list.getSongAtIndex(0).getResolvedPath(), QStringLiteral("/gig/lists/opener.ms"));
    QCOMPARE(list.getSongAtIndex(1).getResolvedPath(), QStringLiteral("/gig/songs/ballad.ms"));
    QCOMPARE(list.getSongAtIndex(2).getResolvedPath(), QStringLiteral("/elsewhere/encore.ms"));
    QCOMPARE(list.songTitle(1), QStringLiteral("song 2 of 3: Ballad"));
    QCOMPARE(list.songTitle(3), QString());
}

void tst_SetListModel::saveAsElsewhereKeepsNamingTheSameFiles()
{
    SetList list(QStringLiteral("Friday"));
    list.setFilePath(QStringLiteral("/gig/lists/friday.msl"));
    list.addSong(SetListSong(QStringLiteral("Opener"), QStringLiteral("opener.ms")));
    list.addSong(SetListSong(QStringLiteral("Encore"), QStringLiteral("/elsewhere/encore.ms")));
    list.setFilePath(QStringLiteral("/gig/archive/2026/friday.msl"));
    QCOMPARE(list.getSongAtIndex(0).getResolvedPath(), QStringLiteral("/gig/lists/opener.ms"));
    QCOMPARE(list.getSongAtIndex(0).getFile(), QStringLiteral("../../lists/opener.ms"));
    QCOMPARE(list.getSongAtIndex(1).getFile(), QStringLiteral("/elsewhere/encore.ms"));
}

void tst_SetListModel::editsAnnounceThemselvesAndMarkModified()
{
    SetList list(QStringLiteral("Friday"));
    QSignalSpy added(&list, &SetList::songAdded);
    QSignalSpy moved(&list, &SetList::songMovedTo);
    QSignalSpy removed(&list, &SetList::songRemoved);
    QSignalSpy changed(&list, &SetList::songChanged);
    QSignalSpy triggers(&list, &SetList::triggersChanged);
    QSignalSpy modified(&list, &SetList::modifiedChangedTo);
    list.addSong(SetListSong(QStringLiteral("A"), QStringLiteral("a.ms")));
    list.addSong(SetListSong(QStringLiteral("B"), QStringLiteral("b.ms")));
    list.insertSong(0, SetListSong(QStringLiteral("C"), QStringLiteral("c.ms")));
    QCOMPARE(added.count(), 3);
    QCOMPARE(added.last().at(0).toInt(), 0);
    QVERIFY(list.isModified());
    QCOMPARE(modified.count(), 1);
    list.setModified(false);
    list.moveSongToIndex(0, 2);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(list.getSongAtIndex(2).getName(), QStringLiteral("C"));
    list.moveSongToIndex(0, 7); // out of range: nothing
    QCOMPARE(moved.count(), 1);
    list.renameSong(2, QStringLiteral("Closer"));
    list.renameSong(2, QStringLiteral("Closer"));
    QCOMPARE(changed.count(), 1);
    list.addTrigger(footSwitch());
    list.setTriggers(list.getTriggers()); // the same: nothing
    QCOMPARE(triggers.count(), 1);
    list.removeSongAtIndex(0);
    list.removeSongAtIndex(5);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(list.getNumSongs(), 2);
    QVERIFY(list.isModified());
}

void tst_SetListModel::loadErrorIsNotAModification()
{
    SetList list(QStringLiteral("Friday"));
    list.addSong(SetListSong(QStringLiteral("A"), QStringLiteral("a.ms")));
    list.setModified(false);
    QSignalSpy changed(&list, &SetList::songChanged);
    list.setSongLoadError(0, QStringLiteral("The setup file \"a.ms\" does not exist."));
    QVERIFY(list.getSongAtIndex(0).isBroken());
    QCOMPARE(changed.count(), 1);
    QVERIFY(!list.isModified());
}

QTEST_GUILESS_MAIN(tst_SetListModel)
#include "tst_SetListModel.moc"
