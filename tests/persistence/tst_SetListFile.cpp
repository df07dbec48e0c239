// Set list files: the exact form written, what reads back, and every kind of bad input: a broken
// list file is one clear error and changes nothing; broken songs and triggers are named and the
// rest of the list still loads.
#include "app/StatusManager.h"
#include "model/setlist/SetList.h"
#include "persistence/SetListFileReaderWriter.h"
#include "support/SetupFileTestHelpers.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace SetupFileTestHelpers;

const QByteArray kIssueForm =
    "<!DOCTYPE QuorvellSetList>\n"
    "<SetList name=\"Friday\" documentVersion=\"1.0\">\n"
    " <Songs>\n"
    "  <Song name=\"Opener\" file=\"opener.ms\"/>\n"
    "  <Song name=\"Ballad\" file=\"ballad.ms\"/>\n"
    " </Songs>\n"
    " <Triggers>\n"
    "  <Trigger action=\"next\" midiPortName=\"Keyboard:out\" midiChannelIndex=\"127\" "
    "messageType=\"controller\" number=\"80\" minValue=\"64\" maxValue=\"127\"/>\n"
    "  <Trigger action=\"previous\" midiPortName=\"Keyboard:out\" "
    "midiChannelIndex=\"127\" messageType=\"note\" number=\"21\"/>\n"
    "  <Trigger action=\"song\" song=\"2\" midiPortName=\"Pedalboard:out\" "
    "midiChannelIndex=\"0\" messageType=\"programChange\" number=\"1\"/>\n"
    " </Triggers>\n"
    "</SetList>\n";

const QByteArray kMinimalSetup = "<!DOCTYPE MIDIRoutingSetupDocument>\n<MIDIRoutingSetup name=\"x\" "
                                 "documentVersion=\"1.0\"><MIDIRoutes/></MIDIRoutingSetup>\n";

} // namespace

class tst_SetListFile : public QObject
{
    Q_OBJECT

private slots:
    void issueFormReadsAndWritesBackByteForByte();
    void songFilesStayRelativeOrAbsolute();
    void missingAndUnreadableSongsAreNamedAndTheRestLoads();
    void nonsenseTriggersAreLeftOutWithAWarning();
    void brokenListFileIsOneErrorAndChangesNothing();
    void brokenListFileIsOneErrorAndChangesNothing_data();
    void failedSaveKeepsTheOldFile();
    void namesWithMarkupAndQuotesRoundTrip();
};

void tst_SetListFile::issueFormReadsAndWritesBackByteForByte()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("friday.msl"));
    QVERIFY(writeFile(path, kIssueForm));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("opener.ms")), kMinimalSetup));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("ballad.ms")), kMinimalSetup));
    SetList list;
    QVERIFY(SetListFileReaderWriter::readSetListFromDisk(&list, path));
    QCOMPARE(list.getName(), QStringLiteral("Friday"));
    QCOMPARE(list.getNumSongs(), 2);
    QCOMPARE(list.getSongAtIndex(1).getName(), QStringLiteral("Ballad"));
    QCOMPARE(list.getSongAtIndex(1).getResolvedPath(), dir.filePath(QStringLiteral("ballad.ms")));
    QVERIFY(!list.getSongAtIndex(0).isBroken());
    QVERIFY(!list.isModified());
    QCOMPARE(list.getTriggers().size(), 3);
    const SetListTrigger& song = list.getTriggers().at(2);
    QCOMPARE(song.getAction(), SetListTrigger::Action::Song);
    QCOMPARE(song.getSongNumber(), 2);
    QCOMPARE(song.getMIDIChannelIndex(), BYTE(0));
    QCOMPARE(song.getMessageType(), SetListTrigger::MessageType::ProgramChange);
    QCOMPARE(list.getTriggers().at(0).getMinValue(), BYTE(64));

    const QString copy = dir.filePath(QStringLiteral("copy.msl"));
    QVERIFY(SetListFileReaderWriter::saveSetListToDisk(&list, copy));
    QCOMPARE(readFile(copy), kIssueForm);
    QCOMPARE(list.getFilePath(), copy);
}

void tst_SetListFile::songFilesStayRelativeOrAbsolute()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("lists/old")));
    SetList list(QStringLiteral("Tour"));
    list.setFilePath(dir.filePath(QStringLiteral("lists/tour.msl")));
    list.addSong(SetListSong(QStringLiteral("Near"), QStringLiteral("near.ms")));
    list.addSong(SetListSong(QStringLiteral("Far"), QStringLiteral("/srv/songs/far.ms")));
    const QString moved = dir.filePath(QStringLiteral("lists/old/tour.msl"));
    QVERIFY(SetListFileReaderWriter::saveSetListToDisk(&list, moved));
    const QByteArray text = readFile(moved);
    QVERIFY2(text.contains("file=\"../near.ms\""), text.constData());
    QVERIFY(text.contains("file=\"/srv/songs/far.ms\""));
    QVERIFY(!text.contains("<?xml"));

    SetList back;
    QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
    QVERIFY(SetListFileReaderWriter::readSetListFromDisk(&back, moved));
    QCOMPARE(back.getSongAtIndex(0).getResolvedPath(), dir.filePath(QStringLiteral("lists/near.ms")));
    QCOMPARE(back.getSongAtIndex(1).getResolvedPath(), QStringLiteral("/srv/songs/far.ms"));
    // Neither file exists: both are named, and both songs are still in the list.
    QCOMPARE(warnings.count(), 2);
    QVERIFY(back.getSongAtIndex(0).isBroken() && back.getSongAtIndex(1).isBroken());
    QCOMPARE(back.getFirstPlayableSongIndex(), -1);
    QVERIFY(writeFile(dir.filePath(QStringLiteral("lists/near.ms")), kMinimalSetup));
    SetListFileReaderWriter::checkSongFiles(&back);
    QCOMPARE(back.getFirstPlayableSongIndex(), 0);
}

void tst_SetListFile::missingAndUnreadableSongsAreNamedAndTheRestLoads()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("a.ms")), kMinimalSetup));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("locked.ms")), kMinimalSetup));
    QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("locked.ms")), QFileDevice::WriteOwner));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.ms")));
    const QByteArray text =
        "<!DOCTYPE QuorvellSetList>\n<SetList name=\"Mixed\" documentVersion=\"1.0\"><Songs>"
        "<Song name=\"Good\" file=\"a.ms\"/><Song name=\"Gone\" file=\"gone.ms\"/>"
        "<Song name=\"Locked\" file=\"locked.ms\"/><Song name=\"Folder\" file=\"folder.ms\"/>"
        "<Song name=\"Nothing\"/></Songs></SetList>";
    const QString path = dir.filePath(QStringLiteral("mixed.msl"));
    QVERIFY(writeFile(path, text));
    SetList list;
    QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
    QVERIFY(SetListFileReaderWriter::readSetListFromDisk(&list, path));
    QCOMPARE(list.getNumSongs(), 5);
    QVERIFY(!list.getSongAtIndex(0).isBroken());
    QCOMPARE(list.getFirstPlayableSongIndex(), 0);
    const bool root = ::geteuid() == 0; // root reads any file
    QCOMPARE(warnings.count(), root ? 3 : 4);
    const QString all = [&] {
        QString joined;
        for (const auto& warning : warnings)
            joined += warning.at(0).toString() + QLatin1Char('\n');
        return joined;
    }();
    QVERIFY2(all.contains(QLatin1String("Song 2 \"Gone\" cannot be played")), qPrintable(all));
    QVERIFY(all.contains(QLatin1String("gone.ms\" does not exist")));
    QVERIFY(all.contains(QLatin1String("Song 4 \"Folder\"")));
    QVERIFY(all.contains(QLatin1String("Song 5 \"Nothing\" cannot be played: No setup file")));
    if (!root)
        QVERIFY(all.contains(QLatin1String("Song 3 \"Locked\"")));
}

void tst_SetListFile::nonsenseTriggersAreLeftOutWithAWarning()
{
    const QByteArray text =
        "<SetList name=\"T\"><Triggers>"
        "<Trigger action=\"jump\" midiPortName=\"K\" messageType=\"note\" number=\"1\"/>"
        "<Trigger action=\"song\" midiPortName=\"K\" messageType=\"note\" number=\"1\"/>"
        "<Trigger action=\"next\" messageType=\"note\" number=\"1\"/>"
        "<Trigger action=\"next\" midiPortName=\"K\" midiChannelIndex=\"16\" messageType=\"note\" "
        "number=\"1\"/>"
        "<Trigger action=\"next\" midiPortName=\"K\" messageType=\"pitchBend\" number=\"1\"/>"
        "<Trigger action=\"next\" midiPortName=\"K\" messageType=\"note\" number=\"128\"/>"
        "<Trigger action=\"next\" midiPortName=\"K\" messageType=\"controller\" number=\"4\" "
        "maxValue=\"200\"/>"
        "<Trigger action=\"next\" midiPortName=\"K\" messageType=\"controller\" number=\"4\"/>"
        "</Triggers></SetList>";
    SetList list;
    QStringList warnings;
    QString error;
    QVERIFY(SetListFileReaderWriter::readSetListFromBytes(&list, text, QStringLiteral("/t.msl"), &error,
                                                          &warnings));
    QCOMPARE(warnings.size(), 7);
    QVERIFY(warnings.at(0).startsWith(QLatin1String("Trigger 1 of the set list \"T\" is left out")));
    QCOMPARE(list.getTriggers().size(), 1);
    // A controller trigger without a range is a foot switch: pressed from 64.
    QCOMPARE(list.getTriggers().at(0).getMinValue(), BYTE(64));
    QCOMPARE(list.getTriggers().at(0).getMaxValue(), BYTE(127));
    QCOMPARE(list.getTriggers().at(0).getMIDIChannelIndex(), SetListTrigger::kAnyChannel);
}

void tst_SetListFile::brokenListFileIsOneErrorAndChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QByteArray("  \n") << QStringLiteral("it is empty");
    QTest::newRow("not XML") << QByteArray("<SetList name=\"x\"><Songs>")
                             << QStringLiteral("not a readable set list");
    QTest::newRow("a setup") << kMinimalSetup
                             << QStringLiteral("holds \"MIDIRoutingSetup\" instead of \"SetList\"");
    QTest::newRow("other doctype") << QByteArray("<!DOCTYPE Other>\n<SetList/>")
                                   << QStringLiteral("is not a set list file");
    QTest::newRow("newer") << QByteArray("<SetList documentVersion=\"2.0\"/>")
                           << QStringLiteral("version 2.0");
}

void tst_SetListFile::brokenListFileIsOneErrorAndChangesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.msl"));
    QVERIFY(writeFile(path, bytes));
    SetList list(QStringLiteral("Kept"));
    list.addSong(SetListSong(QStringLiteral("Still here"), QStringLiteral("x.ms")));
    QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
    QString error;
    QVERIFY(!SetListFileReaderWriter::readSetListFromDisk(&list, path, &error));
    QCOMPARE(errors.count(), 1);
    QVERIFY2(error.contains(expected), qPrintable(error));
    QCOMPARE(list.getName(), QStringLiteral("Kept"));
    QCOMPARE(list.getNumSongs(), 1);
    QVERIFY(list.getFilePath().isEmpty());

    QVERIFY(!SetListFileReaderWriter::readSetListFromDisk(&list, dir.filePath(QStringLiteral("none.msl")),
                                                          &error));
    QVERIFY(error.contains(QLatin1String("does not exist")));
    QVERIFY(!SetListFileReaderWriter::readSetListFromDisk(&list, dir.path(), &error));
    QVERIFY(error.contains(QLatin1String("not a regular file")));
}

void tst_SetListFile::failedSaveKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.msl"));
    QVERIFY(writeFile(path, kIssueForm));
    SetList list(QStringLiteral("New"));
    for (int i = 0; i < 200; ++i)
        list.addSong(SetListSong(QStringLiteral("Song %1").arg(i), QStringLiteral("song%1.ms").arg(i)));
    QString error;
    bool saved = true;
    {
        // The disk fills up half-way through (a file size limit stands in for it, root or not).
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited = old;
        limited.rlim_cur = 512;
        ::setrlimit(RLIMIT_FSIZE, &limited);
        saved = SetListFileReaderWriter::saveSetListToDisk(&list, path, &error);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    QVERIFY(!saved);
    QVERIFY2(error.startsWith(QLatin1String("Could not save the set list to")), qPrintable(error));
    QCOMPARE(readFile(path), kIssueForm);
    QVERIFY(list.isModified());
    QVERIFY(list.getFilePath().isEmpty());
    QVERIFY(!SetListFileReaderWriter::saveSetListToDisk(&list, QString(), &error));
    QCOMPARE(error, QStringLiteral("The set list has no file to be saved to."));
}

void tst_SetListFile::namesWithMarkupAndQuotesRoundTrip()
{
    QTemporaryDir dir;
    SetList list(QStringLiteral("Fri <b>&</b> \"Sat\""));
    list.setFilePath(dir.filePath(QStringLiteral("x.msl")));
    list.addSong(SetListSong(QStringLiteral("Ça & \"ça\" <i>"), QStringLiteral("songs/ça va.ms")));
    list.addTrigger(SetListTrigger(SetListTrigger::Action::Next, QStringLiteral("Ünit \"1\":out"), 3,
                                   SetListTrigger::MessageType::Note, 60));
    QVERIFY(SetListFileReaderWriter::saveSetListToDisk(&list));
    SetList back;
    QVERIFY(SetListFileReaderWriter::readSetListFromDisk(&back, list.getFilePath()));
    QCOMPARE(back.getName(), list.getName());
    QCOMPARE(back.getSongs(), list.getSongs());
    QCOMPARE(back.getTriggers(), list.getTriggers());
}

QTEST_GUILESS_MAIN(tst_SetListFile)
#include "tst_SetListFile.moc"
