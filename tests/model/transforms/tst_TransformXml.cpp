#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/ValueMapText.h"
#include "support/TestPrefs.h"

#include <QTest>

namespace {

QList<int> mapOf(const MIDIDataTransform& transform)
{
    QList<int> values;
    for (int i = 0; i < 128; ++i)
        values.append(transform.getMapValueAt(static_cast<BYTE>(i)));
    return values;
}

// Every value 0 to 127 once, control characters and NUL included, in a scrambled order.
QString scrambledMapText()
{
    QString text;
    for (int i = 0; i < 128; ++i)
        text.append(QChar(char16_t((i * 37 + 11) % 128)));
    return text;
}

QDomElement parseElement(QDomDocument& doc, const QString& text)
{
    if (!doc.setContent(text))
        return QDomElement();
    return doc.documentElement();
}

} // namespace

class TransformXmlTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void savedTransformReadsBackThroughTheFileText()
    {
        MIDIDataTransform original(QStringLiteral("Velocity Map"), nullptr);
        original.setBypassed(true);
        original.setByte1(11);
        original.setByte2(127);
        original.setByte3(3);
        original.setInt1(-7);
        original.setInt2(2);
        original.setMapValuesFromString(scrambledMapText());
        original.setEditorPosition(QPoint(410, -20));
        original.showInnards(false);

        QDomDocument doc(QStringLiteral("MIDIRoutingSetupDocument"));
        QDomElement element = original.toDomElement(doc);
        QCOMPARE(element.tagName(), QStringLiteral("MIDIDataTransform"));
        doc.appendChild(element);
        const QString text = doc.toString(1);
        for (const QChar c : text)
            QVERIFY2(c.unicode() >= 0x20 || c == u'\n', "the document holds a raw control character");

        QDomDocument readDoc;
        const QDomElement readElement = parseElement(readDoc, text);
        QVERIFY(!readElement.isNull());
        MIDIDataTransform copy(QStringLiteral("Velocity Map"), nullptr);
        copy.initFromDomElement(readElement);
        QCOMPARE(copy.getName(), QStringLiteral("Velocity Map"));
        QVERIFY(copy.isBypassed());
        QVERIFY(!copy.isShowingInnards());
        QCOMPARE(copy.getByte1(), BYTE(11));
        QCOMPARE(copy.getByte2(), BYTE(127));
        QCOMPARE(copy.getByte3(), BYTE(3));
        QCOMPARE(copy.getInt1(), -7);
        QCOMPARE(copy.getInt2(), 2);
        QCOMPARE(mapOf(copy), mapOf(original));
        QCOMPARE(copy.getMapValuesAsString(), scrambledMapText());
        QVERIFY(copy.hasEditorPosition());
        QCOMPARE(copy.getEditorPosition(), QPoint(410, -20));
    }

    void attributesAreWrittenAsTheFileFormatNamesThem()
    {
        MIDIDataTransform transform(QStringLiteral("Transpose"), nullptr);
        transform.setInt1(5);
        transform.setMapValueAt(0, 37); // '%' must be escaped too
        transform.setMapValueAt(1, 65);
        QDomDocument doc;
        const QDomElement element = transform.toDomElement(doc);
        QCOMPARE(element.attribute(QStringLiteral("name")), QStringLiteral("Transpose"));
        QCOMPARE(element.attribute(QStringLiteral("showingInnards")), QStringLiteral("1"));
        QCOMPARE(element.attribute(QStringLiteral("bypass")), QStringLiteral("0"));
        QCOMPARE(element.attribute(QStringLiteral("byte1")), QStringLiteral("0"));
        QCOMPARE(element.attribute(QStringLiteral("int1")), QStringLiteral("5"));
        QCOMPARE(element.attribute(QStringLiteral("int2")), QStringLiteral("0"));
        QCOMPARE(element.attribute(QStringLiteral("valueMappingEscaped")), QStringLiteral("1"));
        QVERIFY(element.attribute(QStringLiteral("valueMapping")).startsWith(QStringLiteral("%25A%02%03")));
        QVERIFY(!element.hasAttribute(QStringLiteral("editorPositionX")));
        QVERIFY(!element.hasAttribute(QStringLiteral("editorPositionY")));
    }

    void missingAttributesReadAsDefaults()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity From CC"), nullptr);
        transform.setBypassed(true);
        transform.setByte1(1);
        transform.setByte2(64);
        transform.setInt1(9);
        transform.setInt2(12);
        transform.invertMapping();
        QDomDocument doc;
        const QDomElement element =
            parseElement(doc, QStringLiteral("<MIDIDataTransform name=\"Velocity From CC\" "
                                             "editorPositionX=\"5\"/>"));
        transform.initFromDomElement(element);
        QVERIFY(!transform.isBypassed());
        QCOMPARE(transform.getByte1(), BYTE(0));
        QCOMPARE(transform.getByte2(), BYTE(0));
        QCOMPARE(transform.getInt1(), 0);
        QCOMPARE(transform.getInt2(), 12);               // a missing int2 keeps the type's default
        QCOMPARE(transform.getMapValueAt(0), BYTE(127)); // a missing map changes nothing
        QVERIFY(!transform.hasEditorPosition());         // only one coordinate present
    }

    void outOfRangeBytesAreRefusedNotTruncated()
    {
        MIDIDataTransform transform(QStringLiteral("Change CC#"), nullptr);
        transform.setByte1(11);
        transform.setByte2(7);
        transform.setByte3(5);
        QDomDocument doc;
        const QDomElement element = parseElement(
            doc, QStringLiteral(
                     "<MIDIDataTransform name=\"Change CC#\" byte1=\"300\" byte2=\"-1\" byte3=\"many\"/>"));
        transform.initFromDomElement(element);
        QCOMPARE(transform.getByte1(), BYTE(11));
        QCOMPARE(transform.getByte2(), BYTE(7));
        QCOMPARE(transform.getByte3(), BYTE(0)); // non-numeric reads as 0
    }

    void unescapedMapIsTakenLiterally()
    {
        // An older document built in memory (or repaired before parsing) holds the raw string.
        QString raw;
        for (int i = 0; i < 128; ++i)
            raw.append(QChar(char16_t(127 - i)));
        raw[10] = QChar(u'%');
        raw[11] = QChar(u'4');
        raw[12] = QChar(u'1');
        QDomDocument doc;
        QDomElement element = doc.createElement(QStringLiteral("MIDIDataTransform"));
        element.setAttribute(QStringLiteral("valueMapping"), raw);
        MIDIDataTransform transform(QStringLiteral("CC Map"), nullptr);
        transform.initFromDomElement(element);
        QCOMPARE(transform.getMapValueAt(0), BYTE(127));
        QCOMPARE(transform.getMapValueAt(10), BYTE('%'));
        QCOMPARE(transform.getMapValueAt(11), BYTE('4'));
        QCOMPARE(transform.getMapValueAt(12), BYTE('1'));
        QCOMPARE(transform.getMapValueAt(127), BYTE(0));
    }

    void olderFileWithRawControlCharactersStillReads()
    {
        // As an older writer left it: control characters raw, tab, line feed and carriage return
        // as character references.
        QString mapping;
        for (int i = 0; i < 128; ++i) {
            if (i == '\t')
                mapping += QStringLiteral("&#x9;");
            else if (i == '\n')
                mapping += QStringLiteral("&#xa;");
            else if (i == '\r')
                mapping += QStringLiteral("&#xd;");
            else if (i == '"')
                mapping += QStringLiteral("&quot;");
            else if (i == '&')
                mapping += QStringLiteral("&amp;");
            else if (i == '<')
                mapping += QStringLiteral("&lt;");
            else
                mapping.append(QChar(char16_t(i)));
        }
        const QString text =
            QStringLiteral("<!DOCTYPE MIDIRoutingSetupDocument>\n<MIDIDataTransform name=\"CC Map\" "
                           "byte1=\"1\" valueMapping=\"") +
            mapping + QStringLiteral("\"/>\n");
        QDomDocument refused;
        QVERIFY(!refused.setContent(text));

        QDomDocument doc;
        const QDomElement element = parseElement(doc, makeRawControlCharactersParseable(text));
        QVERIFY(!element.isNull());
        MIDIDataTransform transform(QStringLiteral("CC Map"), nullptr);
        transform.setAllMappingValuesToMin();
        transform.initFromDomElement(element);
        for (int i = 0; i < 128; ++i)
            QCOMPARE(int(transform.getMapValueAt(static_cast<BYTE>(i))), i);
        QCOMPARE(transform.getByte1(), BYTE(1));
    }

    void escapingRoundTripsAndToleratesDamage()
    {
        QString all;
        for (int i = 0; i < 128; ++i)
            all.append(QChar(char16_t(i)));
        const QString escaped = escapeValueMapText(all);
        for (const QChar c : escaped)
            QVERIFY(c.unicode() >= 0x20 && c.unicode() <= 0x7F);
        QVERIFY(escaped.startsWith(QStringLiteral("%00%01%02")));
        QCOMPARE(unescapeValueMapText(escaped), all);
        QCOMPARE(unescapeValueMapText(QStringLiteral("%0a%4")), QStringLiteral("\n%4"));
        QCOMPARE(unescapeValueMapText(QStringLiteral("%zz%")), QStringLiteral("%zz%"));
    }

    void damagedEscapedMapChangesOnlyWhatItHolds()
    {
        QDomDocument doc;
        const QDomElement element = parseElement(
            doc,
            QStringLiteral(
                "<MIDIDataTransform name=\"CC Map\" valueMappingEscaped=\"1\" valueMapping=\"%05%x\"/>"));
        MIDIDataTransform transform(QStringLiteral("CC Map"), nullptr);
        transform.initFromDomElement(element);
        QCOMPARE(transform.getMapValueAt(0), BYTE(5));
        QCOMPARE(transform.getMapValueAt(1), BYTE('%'));
        QCOMPARE(transform.getMapValueAt(2), BYTE('x'));
        QCOMPARE(transform.getMapValueAt(3), BYTE(3));
    }
};

QTEST_GUILESS_MAIN(TransformXmlTest)
#include "tst_TransformXml.moc"
