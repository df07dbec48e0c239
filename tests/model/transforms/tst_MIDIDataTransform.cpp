#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/ValueMapClipboard.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QString identityText()
{
    QString text;
    for (int i = 0; i < 128; ++i)
        text.append(QChar(char16_t(i)));
    return text;
}

QList<int> mapOf(const MIDIDataTransform& transform)
{
    QList<int> values;
    for (int i = 0; i < 128; ++i)
        values.append(transform.getMapValueAt(static_cast<BYTE>(i)));
    return values;
}

QList<int> identityList()
{
    QList<int> values;
    for (int i = 0; i < 128; ++i)
        values.append(i);
    return values;
}

} // namespace

class MIDIDataTransformTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void newTransformHasIdentityMapAndInitialParameters()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        QCOMPARE(transform.getName(), QStringLiteral("Velocity Map"));
        QCOMPARE(transform.getObjTypeName(), QStringLiteral("MIDIDataTransform"));
        QCOMPARE(mapOf(transform), identityList());
        QCOMPARE(transform.getMapValueAt(200), BYTE(0));
        QCOMPARE(transform.getMapValueAt(128), BYTE(0));
        QVERIFY(!transform.isBypassed());
        QCOMPARE(transform.getByte1(), BYTE(0));
        QCOMPARE(transform.getByte2(), BYTE(0));
        QCOMPARE(transform.getByte3(), BYTE(0));
        QCOMPARE(transform.getInt1(), 0);
        QCOMPARE(transform.getInt2(), 0);
        QVERIFY(!transform.hasEditorPosition());
        QCOMPARE(transform.getEditorPosition(), QPoint(-1, -1));
        QVERIFY(transform.hasEditableParameters());
        // Filling the map in the constructor already marks a new transform modified.
        QVERIFY(transform.isModified());
    }

    void byteSettersRefuseOutOfRangeAndUnchangedValues()
    {
        MIDIDataTransform transform(QStringLiteral("Transpose"), nullptr);
        transform.setModified(false);
        QSignalSpy spy1(&transform, &MIDIDataTransform::byte1ValueChangedTo);
        transform.setByte1(128);
        transform.setByte1(255);
        transform.setByte1(0);
        QCOMPARE(spy1.count(), 0);
        QVERIFY(!transform.isModified());
        transform.setByte1(127);
        QCOMPARE(spy1.count(), 1);
        QCOMPARE(spy1.at(0).at(0).value<BYTE>(), BYTE(127));
        QVERIFY(transform.isModified());

        QSignalSpy spy2(&transform, &MIDIDataTransform::byte2ValueChangedTo);
        QSignalSpy spy3(&transform, &MIDIDataTransform::byte3ValueChangedTo);
        transform.setByte2(64);
        transform.setByte2(64);
        transform.setByte3(1);
        transform.setByte3(200);
        QCOMPARE(spy2.count(), 1);
        QCOMPARE(spy3.count(), 1);
        QCOMPARE(transform.getByte2(), BYTE(64));
        QCOMPARE(transform.getByte3(), BYTE(1));
    }

    void intSettersTakeAnyValueButIgnoreUnchanged()
    {
        MIDIDataTransform transform(QStringLiteral("Transpose"), nullptr);
        transform.setModified(false);
        QSignalSpy spy1(&transform, &MIDIDataTransform::int1ValueChangedTo);
        QSignalSpy spy2(&transform, &MIDIDataTransform::int2ValueChangedTo);
        transform.setInt1(0);
        QCOMPARE(spy1.count(), 0);
        QVERIFY(!transform.isModified());
        transform.setInt1(-12);
        transform.setInt2(100000);
        transform.setInt2(100000);
        QCOMPARE(spy1.count(), 1);
        QCOMPARE(spy1.at(0).at(0).toInt(), -12);
        QCOMPARE(spy2.count(), 1);
        QCOMPARE(transform.getInt2(), 100000);
        QVERIFY(transform.isModified());
    }

    void bypassTogglesAndShowsInDescription()
    {
        MIDIDataTransform transform(QStringLiteral("Make Monophonic"), nullptr);
        transform.setModified(false);
        QSignalSpy spy(&transform, &MIDIDataTransform::bypassChangedTo);
        QCOMPARE(transform.getDescriptionString(), QStringLiteral("Make Monophonic"));
        transform.setBypassed(false);
        QCOMPARE(spy.count(), 0);
        transform.toggleBypass();
        QVERIFY(transform.isBypassed());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QVERIFY(transform.isModified());
        QCOMPARE(transform.getDescriptionString(), QStringLiteral("Make Monophonic (bypassed)"));
        transform.toggleBypass();
        QVERIFY(!transform.isBypassed());
        QCOMPARE(spy.count(), 2);
    }

    void editorPositionIsRememberedQuietly()
    {
        MIDIDataTransform transform(QStringLiteral("CC Map"), nullptr);
        transform.setModified(false);
        QSignalSpy modified(&transform, &MIDIDataTransform::modifiedChangedTo);
        transform.setEditorPosition(QPoint(300, 120));
        QVERIFY(transform.hasEditorPosition());
        QCOMPARE(transform.getEditorPosition(), QPoint(300, 120));
        QVERIFY(!transform.isModified());
        QCOMPARE(modified.count(), 0);
    }

    void settingAnEntryToItsOwnValueStillAnnounces()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        transform.setModified(false);
        QSignalSpy spy(&transform, &MIDIDataTransform::mapValueChangedTo);
        transform.setMapValueAt(5, 5);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<BYTE>(), BYTE(5));
        QCOMPARE(spy.at(0).at(1).value<BYTE>(), BYTE(5));
        QVERIFY(transform.isModified());
    }

    void outOfRangeEntriesAreIgnored()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        transform.setModified(false);
        QSignalSpy spy(&transform, &MIDIDataTransform::mapValueChangedTo);
        transform.setMapValueAt(128, 3);
        transform.setMapValueAt(3, 128);
        transform.setMapValueAt(255, 255);
        QCOMPARE(spy.count(), 0);
        QVERIFY(!transform.isModified());
        QCOMPARE(mapOf(transform), identityList());
        transform.setMapValueAt(127, 0);
        QCOMPARE(transform.getMapValueAt(127), BYTE(0));
    }

    void wholeMapOperationsAnnounceEveryEntryInOrder()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        QSignalSpy spy(&transform, &MIDIDataTransform::mapValueChangedTo);
        transform.setAllMappingValuesToMax();
        QCOMPARE(spy.count(), 128);
        for (int i = 0; i < 128; ++i) {
            QCOMPARE(spy.at(i).at(0).value<BYTE>(), BYTE(i));
            QCOMPARE(spy.at(i).at(1).value<BYTE>(), BYTE(127));
        }
        spy.clear();
        transform.setAllMappingValuesToMin();
        QCOMPARE(spy.count(), 128);
        for (int i = 0; i < 128; ++i)
            QCOMPARE(transform.getMapValueAt(static_cast<BYTE>(i)), BYTE(0));
        spy.clear();
        transform.setMappingToDefault();
        QCOMPARE(spy.count(), 128);
        QCOMPARE(mapOf(transform), identityList());
    }

    void reversingAndInvertingTheIdentityGiveTheSameDescendingMap()
    {
        MIDIDataTransform reversed(QStringLiteral("Velocity Map"), nullptr);
        reversed.reverseMapping();
        MIDIDataTransform inverted(QStringLiteral("Velocity Map"), nullptr);
        inverted.invertMapping();
        for (int i = 0; i < 128; ++i) {
            QCOMPARE(reversed.getMapValueAt(static_cast<BYTE>(i)), BYTE(127 - i));
            QCOMPARE(inverted.getMapValueAt(static_cast<BYTE>(i)), BYTE(127 - i));
        }
        inverted.invertMapping();
        QCOMPARE(mapOf(inverted), identityList());
    }

    void reverseReadsTheOldMapBackwards()
    {
        MIDIDataTransform transform(QStringLiteral("CC Map"), nullptr);
        transform.setMappingToSineRampUp();
        transform.reverseMapping();
        QCOMPARE(transform.getMapValueAt(0), BYTE(127));
        QCOMPARE(transform.getMapValueAt(1), BYTE(126));
        QCOMPARE(transform.getMapValueAt(63), BYTE(90));
        QCOMPARE(transform.getMapValueAt(127), BYTE(0));
        // Inverting a non-identity map is not the same as reversing it.
        transform.setMappingToSineRampUp();
        transform.invertMapping();
        QCOMPARE(transform.getMapValueAt(64), BYTE(37));
        QCOMPARE(transform.getMapValueAt(127), BYTE(0));
    }

    void sineRampRisesSteeplyAndFlattens()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        transform.setMappingToSineRampUp();
        const QList<QPair<int, int>> expected = {{0, 0},     {1, 1},     {2, 3},    {8, 12},    {32, 48},
                                                 {64, 90},   {80, 106},  {96, 117}, {116, 125}, {117, 126},
                                                 {120, 126}, {126, 126}, {127, 127}};
        for (const auto& [index, value] : expected)
            QCOMPARE(int(transform.getMapValueAt(static_cast<BYTE>(index))), value);
        for (int i = 117; i <= 126; ++i)
            QCOMPARE(transform.getMapValueAt(static_cast<BYTE>(i)), BYTE(126));
        for (int i = 1; i < 128; ++i)
            QVERIFY(transform.getMapValueAt(static_cast<BYTE>(i)) >=
                    transform.getMapValueAt(static_cast<BYTE>(i - 1)));
    }

    void stringFormOfIdentityIsTheFirst128CodePoints()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        const QString text = transform.getMapValuesAsString();
        QCOMPARE(text.size(), 128);
        QCOMPARE(text, identityText());
        QCOMPARE(text.at(0).unicode(), char16_t(0));
        QCOMPARE(text.at(31).unicode(), char16_t(31));

        transform.setAllMappingValuesToMin();
        QCOMPARE(transform.getMapValuesAsString(), QString(128, QChar(0)));
        transform.setMapValuesFromString(text);
        QCOMPARE(mapOf(transform), identityList());
    }

    void everyValueSurvivesTheStringForm()
    {
        // A permutation holding every value 0 to 127, control characters and NUL included.
        QString text;
        for (int i = 0; i < 128; ++i)
            text.append(QChar(char16_t((i * 37 + 11) % 128)));
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        transform.setMapValuesFromString(text);
        for (int i = 0; i < 128; ++i)
            QCOMPARE(int(transform.getMapValueAt(static_cast<BYTE>(i))), (i * 37 + 11) % 128);
        QCOMPARE(transform.getMapValuesAsString(), text);
    }

    void shortTextChangesOnlyTheFirstEntries()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        transform.setAllMappingValuesToMax();
        QSignalSpy spy(&transform, &MIDIDataTransform::mapValueChangedTo);
        transform.setMapValuesFromString(QString(10, QChar(char16_t(1))));
        QCOMPARE(spy.count(), 10);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(transform.getMapValueAt(static_cast<BYTE>(i)), BYTE(1));
        for (int i = 10; i < 128; ++i)
            QCOMPARE(transform.getMapValueAt(static_cast<BYTE>(i)), BYTE(127));
    }

    void badCharactersLeaveTheirEntriesAlone()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        QString text = identityText();
        text[0] = QChar(char16_t(0x00C8)); // above 127: entry unchanged
        text[1] = QChar(char16_t(0x0100)); // beyond Latin-1: counts as 0
        text[2] = QChar(char16_t(0x0080));
        for (int i = 3; i < 128; ++i)
            text[i] = QChar(char16_t(50));
        text.append(QStringLiteral("trailing characters are ignored"));
        transform.setMapValuesFromString(text);
        QCOMPARE(transform.getMapValueAt(0), BYTE(0));
        QCOMPARE(transform.getMapValueAt(1), BYTE(0));
        QCOMPARE(transform.getMapValueAt(2), BYTE(2));
        QCOMPARE(transform.getMapValueAt(3), BYTE(50));
        QCOMPARE(transform.getMapValueAt(127), BYTE(50));
    }

    void emptyTextChangesNothing()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        transform.setModified(false);
        QSignalSpy spy(&transform, &MIDIDataTransform::mapValueChangedTo);
        transform.setMapValuesFromString(QString());
        transform.setMapValuesFromString(QString(5, QChar(char16_t(200))));
        QCOMPARE(spy.count(), 0);
        QVERIFY(!transform.isModified());
        QCOMPARE(mapOf(transform), identityList());
    }

    void withoutAWindowSystemTheClipboardIsSimplyAbsent()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        transform.invertMapping();
        transform.copyValueMapToClipboard();
        QVERIFY(!doesClipboardHaveValueMap());
        QCOMPARE(getValueMapFromClipboardAsString(), QString());
        MIDIDataTransform other(QStringLiteral("Velocity Map"), nullptr);
        other.pasteValueMapFromClipboard();
        QCOMPARE(mapOf(other), identityList());
    }
};

QTEST_GUILESS_MAIN(MIDIDataTransformTest)
#include "tst_MIDIDataTransform.moc"
