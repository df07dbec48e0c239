#include "persistence/AppPrefs.h"
#include "persistence/AppPrefsChangeNotifier.h"
#include "persistence/PrefKeys.h"
#include "persistence/RecentFilesTracker.h"
#include "support/TestPrefs.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The tracker reads the stored list once, on first use; the first case sees what initTestCase
// stored, the later ones build on the list as the earlier ones left it.
class RecentFilesTrackerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QVERIFY(_dir.isValid());
        // As left by an earlier run, with blank lines, a repeat and a file since deleted.
        setStringPrefValue(PrefKeys::RecentlyOpenFiles,
                           QStringLiteral("/gigs/friday.ms\n\n/gigs/rehearsal.ms\n\n/gigs/friday.ms\n"
                                          "/gone/deleted.ms\n"));
    }

    void storedListLoadsWithoutBlankEntries()
    {
        QCOMPARE(getRecentFileList(),
                 (QStringList{"/gigs/friday.ms", "/gigs/rehearsal.ms", "/gone/deleted.ms"}));
        // Missing files stay listed: the menu shows them as missing.
        QVERIFY(!QFile::exists(QStringLiteral("/gone/deleted.ms")));
        QCOMPARE(getMostRecentlyOpenedFile(), QStringLiteral("/gigs/friday.ms"));
    }

    void openingAFilePutsItFirstAndStoresTheList()
    {
        RecentFilesTracker* tracker = RecentFilesTracker::GetInstance();
        QSignalSpy changed(tracker, &RecentFilesTracker::recentFileListChanged);
        QSignalSpy prefs(AppPrefsChangeNotifier::GetInstance(), &AppPrefsChangeNotifier::prefValueChanged);
        const QString organ = file("organ.ms");
        setMostRecentlyOpenedFile(organ);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(prefs.count(), 1);
        QCOMPARE(prefs.at(0).at(0).toString(), QStringLiteral("RecentlyOpenFiles"));
        QCOMPARE(getMostRecentlyOpenedFile(), organ);
        QCOMPARE(getRecentFileList(),
                 (QStringList{organ, "/gigs/friday.ms", "/gigs/rehearsal.ms", "/gone/deleted.ms"}));
        QCOMPARE(getStringPrefValue(PrefKeys::RecentlyOpenFiles, QString()),
                 organ + "\n/gigs/friday.ms\n/gigs/rehearsal.ms\n/gone/deleted.ms");
    }

    void openingTheSameFileTwiceLeavesOneEntryAtTheFront()
    {
        setMostRecentlyOpenedFile(QStringLiteral("/gigs/rehearsal.ms"));
        setMostRecentlyOpenedFile(QStringLiteral("/gigs/rehearsal.ms"));
        const QStringList list = getRecentFileList();
        QCOMPARE(list.count(QStringLiteral("/gigs/rehearsal.ms")), 1);
        QCOMPARE(list.first(), QStringLiteral("/gigs/rehearsal.ms"));
        QCOMPARE(list.size(), 4);
    }

    void sameNameInAnotherCaseIsAnotherFile()
    {
        setMostRecentlyOpenedFile(QStringLiteral("/gigs/Rehearsal.ms"));
        QCOMPARE(getRecentFileList().mid(0, 2), (QStringList{"/gigs/Rehearsal.ms", "/gigs/rehearsal.ms"}));
    }

    void relativePathsAreMadeAbsolute()
    {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(_dir.path()));
        setMostRecentlyOpenedFile(QStringLiteral("sets/../church.ms"));
        QDir::setCurrent(previous);
        QCOMPARE(getMostRecentlyOpenedFile(), file("church.ms"));
        // Opening it again by its absolute path does not add a second entry.
        setMostRecentlyOpenedFile(file("church.ms"));
        QCOMPARE(getRecentFileList().count(file("church.ms")), 1);
    }

    void elevenFilesKeepTheTenMostRecent()
    {
        QStringList opened;
        for (int i = 1; i <= 11; ++i) {
            opened.prepend(file(QStringLiteral("set%1.ms").arg(i)));
            setMostRecentlyOpenedFile(opened.first());
        }
        QCOMPARE(getRecentFileList(), opened.mid(0, 10));
        QVERIFY(!getRecentFileList().contains(file("set1.ms")));
        QCOMPARE(getStringPrefValue(PrefKeys::RecentlyOpenFiles, QString()), opened.mid(0, 10).join('\n'));
    }

    void pathsThatCannotBeStoredAreNotListed()
    {
        const QStringList before = getRecentFileList();
        QSignalSpy changed(RecentFilesTracker::GetInstance(), &RecentFilesTracker::recentFileListChanged);
        setMostRecentlyOpenedFile(QString());
        // A line break inside a name would split it into two bogus entries when read back.
        setMostRecentlyOpenedFile(QStringLiteral("/gigs/two\nlines.ms"));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(getRecentFileList(), before);
    }

    void listIsACopy()
    {
        QStringList list = getRecentFileList();
        list.clear();
        QCOMPARE(getRecentFileList().size(), 10);
    }

private:
    QString file(const QString& name) const { return QDir::toNativeSeparators(_dir.filePath(name)); }
    QString file(const char* name) const { return file(QString::fromLatin1(name)); }

    QTemporaryDir _dir;
};

QTEST_GUILESS_MAIN(RecentFilesTrackerTest)
#include "tst_RecentFilesTracker.moc"
