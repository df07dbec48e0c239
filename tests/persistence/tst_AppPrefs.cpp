#include "persistence/AppPrefs.h"
#include "persistence/AppPrefsChangeNotifier.h"
#include "persistence/PrefKeys.h"
#include "support/TestPrefs.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

class AppPrefsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { _dir = useTemporaryPrefs(); }

    void absentKeysGiveTheDefaults()
    {
        QVERIFY(!hasPrefValueFor(PrefKeys::PreferencesDialogSize));
        QCOMPARE(getStringPrefValue(PrefKeys::MiddleCName, PrefKeys::MiddleCNameDefault),
                 QStringLiteral("C4"));
        QCOMPARE(getBoolPrefValue(PrefKeys::LoadMostRecentFileAtStart, true), true);
        QCOMPARE(getIntPrefValue(PrefKeys::KeyboardXScrollAmount, 100), 100);
        QCOMPARE(getSizePrefValue(PrefKeys::MainWindowSize, QSize(10, 600)), QSize(10, 600));
        QVERIFY(getStringListPrefValue(PrefKeys::MIDIInputPortsToNotUse).isEmpty());
        QVERIFY(getMapPrefValue(PrefKeys::MIDIInputPortNameAliases).isEmpty());
    }

    void everyTypeRoundTrips()
    {
        setBoolPrefValue(QStringLiteral("t/bool"), false);
        setIntPrefValue(QStringLiteral("t/int"), -42);
        setDoublePrefValue(QStringLiteral("t/double"), 2.5);
        setStringPrefValue(QStringLiteral("t/string"), QStringLiteral("Bösendorfer \u00e9"));
        setSizePrefValue(QStringLiteral("t/size"), QSize(300, 200));
        setPointPrefValue(QStringLiteral("t/point"), QPoint(-5, 7));
        setStringListPrefValue(QStringLiteral("t/list"), {QStringLiteral("a"), QStringLiteral("b c")});
        QVariantMap map;
        map.insert(QStringLiteral("IAC Bus 1"), QStringLiteral("Keys"));
        setMapPrefValue(QStringLiteral("t/map"), map);
        syncPrefs();

        QCOMPARE(getBoolPrefValue(QStringLiteral("t/bool"), true), false);
        QCOMPARE(getIntPrefValue(QStringLiteral("t/int"), 0), -42);
        QCOMPARE(getDoublePrefValue(QStringLiteral("t/double"), 0), 2.5);
        QCOMPARE(getStringPrefValue(QStringLiteral("t/string"), {}), QStringLiteral("Bösendorfer \u00e9"));
        QCOMPARE(getSizePrefValue(QStringLiteral("t/size"), {}), QSize(300, 200));
        QCOMPARE(getPointPrefValue(QStringLiteral("t/point"), {}), QPoint(-5, 7));
        QCOMPARE(getStringListPrefValue(QStringLiteral("t/list")),
                 QStringList({QStringLiteral("a"), QStringLiteral("b c")}));
        QCOMPARE(getMapPrefValue(QStringLiteral("t/map")).value(QStringLiteral("IAC Bus 1")).toString(),
                 QStringLiteral("Keys"));
        QVERIFY(hasPrefValueFor(QStringLiteral("t/map")));
    }

    void storeLivesInTheTemporaryFolder()
    {
        setIntPrefValue(QStringLiteral("t/where"), 1);
        syncPrefs();
        QDir dir(_dir);
        QVERIFY(dir.exists(QStringLiteral("Dunmoor Software/Quorvell.conf")));
    }

    void unreadableValueGivesTheDefault()
    {
        setStringPrefValue(QStringLiteral("t/notanumber"), QStringLiteral("twelve"));
        QCOMPARE(getIntPrefValue(QStringLiteral("t/notanumber"), 12), 12);
        QCOMPARE(getSizePrefValue(QStringLiteral("t/notanumber"), QSize(1, 2)), QSize(1, 2));
    }

    void everySetterAnnouncesItsKey()
    {
        QSignalSpy spy(AppPrefsChangeNotifier::GetInstance(), &AppPrefsChangeNotifier::prefValueChanged);
        setStringPrefValue(PrefKeys::MiddleCName, QStringLiteral("C3"));
        setBoolPrefValue(PrefKeys::KeyboardVisible, false);
        setMapPrefValue(PrefKeys::MIDIOutputPortNameAliases, {});
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.at(0).at(0).toString(), PrefKeys::MiddleCName);
        QCOMPARE(spy.at(1).at(0).toString(), PrefKeys::KeyboardVisible);
        QCOMPARE(spy.at(2).at(0).toString(), PrefKeys::MIDIOutputPortNameAliases);
    }

private:
    QString _dir;
};

QTEST_GUILESS_MAIN(AppPrefsTest)
#include "tst_AppPrefs.moc"
