#include "app/StatusManager.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/ValueMapClipboard.h"
#include "support/TestPrefs.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kMime = QStringLiteral("x-application/Quorvell-ValueMap-AsString");

QList<int> mapOf(const MIDIDataTransform& transform)
{
    QList<int> values;
    for (int i = 0; i < 128; ++i)
        values.append(transform.getMapValueAt(static_cast<BYTE>(i)));
    return values;
}

void putRawData(const QString& format, const QByteArray& data)
{
    auto* mimeData = new QMimeData;
    mimeData->setData(format, data);
    QGuiApplication::clipboard()->setMimeData(mimeData);
}

} // namespace

class ValueMapClipboardTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void copiedMapPastesIntoAnotherTransform()
    {
        MIDIDataTransform source(QStringLiteral("Velocity Map"), nullptr);
        source.setMappingToSineRampUp();
        source.copyValueMapToClipboard();
        QVERIFY(doesClipboardHaveValueMap());

        MIDIDataTransform target(QStringLiteral("CC Map"), nullptr);
        target.setModified(false);
        QSignalSpy spy(&target, &MIDIDataTransform::mapValueChangedTo);
        target.pasteValueMapFromClipboard();
        QCOMPARE(mapOf(target), mapOf(source));
        QCOMPARE(target.getMapValueAt(64), BYTE(90));
        QCOMPARE(spy.count(), 128);
        QVERIFY(target.isModified());
    }

    void clipboardHoldsExactlyTheMapBytes()
    {
        MIDIDataTransform source(QStringLiteral("Velocity Map"), nullptr);
        source.reverseMapping();
        putRawData(QStringLiteral("text/plain"), QByteArrayLiteral("something else"));
        source.copyValueMapToClipboard();
        const QMimeData* mimeData = QGuiApplication::clipboard()->mimeData();
        QVERIFY(mimeData != nullptr);
        QCOMPARE(mimeData->formats(), QStringList{kMime});
        const QByteArray data = mimeData->data(kMime);
        QCOMPARE(data.size(), 128);
        QCOMPARE(quint8(data.at(0)), quint8(127));
        QCOMPARE(quint8(data.at(127)), quint8(0)); // NUL travels, no terminator added
        QCOMPARE(getValueMapFromClipboardAsString(), source.getMapValuesAsString());
    }

    void identityWithControlCharactersSurvivesTheClipboard()
    {
        MIDIDataTransform source(QStringLiteral("Velocity Map"), nullptr);
        source.copyValueMapToClipboard();
        MIDIDataTransform target(QStringLiteral("Velocity Map"), nullptr);
        target.setAllMappingValuesToMax();
        target.pasteValueMapFromClipboard();
        for (int i = 0; i < 128; ++i)
            QCOMPARE(int(target.getMapValueAt(static_cast<BYTE>(i))), i);
    }

    void pastingWithoutAMapChangesNothing()
    {
        putRawData(QStringLiteral("text/plain"), QByteArrayLiteral("\x01\x02\x03"));
        QVERIFY(!doesClipboardHaveValueMap());
        QCOMPARE(getValueMapFromClipboardAsString(), QString());
        MIDIDataTransform target(QStringLiteral("CC Map"), nullptr);
        target.setModified(false);
        QSignalSpy spy(&target, &MIDIDataTransform::mapValueChangedTo);
        target.pasteValueMapFromClipboard();
        QCOMPARE(spy.count(), 0);
        QVERIFY(!target.isModified());

        QGuiApplication::clipboard()->clear();
        target.pasteValueMapFromClipboard();
        QCOMPARE(spy.count(), 0);
    }

    void brokenMapOnTheClipboardIsRefusedWhole_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << QByteArray(10, '\x05');
        QTest::newRow("too long") << QByteArray(129, '\x05');
        QByteArray highByte(128, '\x05');
        highByte[64] = char(0xC8);
        QTest::newRow("byte above 127") << highByte;
    }

    void brokenMapOnTheClipboardIsRefusedWhole()
    {
        QFETCH(QByteArray, data);
        putRawData(kMime, data);
        QVERIFY(doesClipboardHaveValueMap());
        MIDIDataTransform target(QStringLiteral("CC Map"), nullptr);
        target.invertMapping();
        target.setModified(false);
        QSignalSpy changes(&target, &MIDIDataTransform::mapValueChangedTo);
        QSignalSpy status(StatusManager::GetInstance(),
                          qOverload<QString, int>(&StatusManager::statusMessagePosted));
        target.pasteValueMapFromClipboard();
        QCOMPARE(changes.count(), 0);
        QVERIFY(!target.isModified());
        QCOMPARE(target.getMapValueAt(0), BYTE(127));
        QCOMPARE(target.getMapValueAt(127), BYTE(0));
        QCOMPARE(status.count(), 1);
    }
};

QTEST_MAIN(ValueMapClipboardTest)
#include "tst_ValueMapClipboard.moc"
