#include "persistence/AppPrefs.h"
#include "persistence/AppPrefsChangeNotifier.h"
#include "persistence/FilePaths.h"
#include "persistence/PrefKeys.h"
#include "persistence/RememberedPaths.h"
#include "support/TestPrefs.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class RememberedPathsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void nothingRememberedAtFirst()
    {
        QCOMPARE(getLastOpenPath(), QString());
        QCOMPARE(getLastSavePath(), QString());
    }

    void openAndSaveFoldersAreRememberedSeparately()
    {
        QSignalSpy prefs(AppPrefsChangeNotifier::GetInstance(), &AppPrefsChangeNotifier::prefValueChanged);
        setLastOpenPath(QStringLiteral("/gigs/2026"));
        setLastSavePath(QStringLiteral("/backups"));
        QCOMPARE(getLastOpenPath(), QStringLiteral("/gigs/2026"));
        QCOMPARE(getLastSavePath(), QStringLiteral("/backups"));
        QCOMPARE(getStringPrefValue(PrefKeys::LastOpenPath, QString()), QStringLiteral("/gigs/2026"));
        QCOMPARE(prefs.count(), 2);
        QCOMPARE(prefs.at(0).at(0).toString(), QStringLiteral("LastOpenPath"));
        QCOMPARE(prefs.at(1).at(0).toString(), QStringLiteral("LastSavePath"));
    }

    void openingAFileRemembersItsFolder()
    {
        setLastOpenPathFromFilePath(QStringLiteral("/gigs/friday/set.ms"));
        QCOMPARE(getLastOpenPath(), QStringLiteral("/gigs/friday"));
        setLastSavePathFromFilePath(QStringLiteral("/backups/old/set.ms"));
        QCOMPARE(getLastSavePath(), QStringLiteral("/backups/old"));
        QCOMPARE(getLastOpenPath(), QStringLiteral("/gigs/friday"));
    }

    void relativeFileGivesAnAbsoluteFolder()
    {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        setLastSavePathFromFilePath(QStringLiteral("set.ms"));
        QDir::setCurrent(previous);
        QCOMPARE(getLastSavePath(), QDir::toNativeSeparators(QDir(dir.path()).absolutePath()));
    }

    void filePathHelpers()
    {
        QCOMPARE(getFileNameWithoutThePath(QStringLiteral("/gigs/friday/set 1.ms")),
                 QStringLiteral("set 1.ms"));
        QCOMPARE(getFileNameWithoutThePath(QStringLiteral("set.ms")), QStringLiteral("set.ms"));
        QCOMPARE(getAbsolutePathToFile(QStringLiteral("/gigs/friday/set.ms")),
                 QStringLiteral("/gigs/friday"));
        QCOMPARE(getFilePathWithNativeSeparators(QStringLiteral("/a/b")), QDir::toNativeSeparators("/a/b"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("here.ms"));
        QVERIFY(!doesFileExist(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(doesFileExist(path));
    }
};

QTEST_GUILESS_MAIN(RememberedPathsTest)
#include "tst_RememberedPaths.moc"
