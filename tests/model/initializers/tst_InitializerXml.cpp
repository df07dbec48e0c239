#include "model/initializers/CCInitializer.h"
#include "model/initializers/NoteOnInitializer.h"
#include "model/initializers/PitchBendInitializer.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/initializers/VolumeInitializer.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>

using Bytes = std::vector<unsigned char>;

class InitializerXmlTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void elementCarriesNameAndParameters()
    {
        QDomDocument doc;
        CCInitializer cc(nullptr);
        cc.setByte1(74);
        cc.setByte2(33);
        cc.setByte3(5);
        cc.setInt1(-12);
        cc.showInnards(false);
        const QDomElement element = cc.toDomElement(doc);
        QCOMPARE(element.tagName(), QStringLiteral("MIDIPatchInitializer"));
        QCOMPARE(element.attribute("name"), QStringLiteral("CC"));
        QCOMPARE(element.attribute("showingInnards"), QStringLiteral("0"));
        QCOMPARE(element.attribute("byte1"), QStringLiteral("74"));
        QCOMPARE(element.attribute("byte2"), QStringLiteral("33"));
        QCOMPARE(element.attribute("byte3"), QStringLiteral("5"));
        QCOMPARE(element.attribute("int1"), QStringLiteral("-12"));
    }

    void savedInitializerReadsBackTheSame()
    {
        QDomDocument doc;
        PitchBendInitializer bend(nullptr);
        bend.setInt1(12000);
        bend.setByte3(100);
        const QDomElement element = bend.toDomElement(doc);

        PitchBendInitializer copy(nullptr);
        copy.initFromDomElement(element);
        QCOMPARE(copy.getName(), QStringLiteral("Pitch Bend"));
        QCOMPARE(copy.getInt1(), 12000);
        QCOMPARE(copy.getByte1(), BYTE{0});
        QCOMPARE(copy.getByte3(), BYTE{100});
        QVERIFY(copy.isShowingInnards());
        // Values are applied through the setters, so reading marks the copy modified.
        QVERIFY(copy.isModified());
        QCOMPARE(*copy.getInitializationMessage(), (Bytes{0xE0, 0x60, 0x5D}));
    }

    void roundTripThroughDocumentText()
    {
        QDomDocument doc(QStringLiteral("MIDIRoutingSetupDocument"));
        NoteOnInitializer noteOn(nullptr);
        noteOn.setNote(36);
        noteOn.setVelocity(90);
        QDomElement root = doc.createElement(QStringLiteral("MIDIPatchInitializers"));
        root.appendChild(noteOn.toDomElement(doc));
        doc.appendChild(root);

        QDomDocument reread;
        QVERIFY(reread.setContent(doc.toString(1)));
        NoteOnInitializer copy(nullptr);
        copy.initFromDomElement(reread.documentElement().firstChildElement());
        QCOMPARE(*copy.getInitializationMessage(), (Bytes{0x90, 0x24, 0x5A}));
        QCOMPARE(copy.getDescriptionString(), QStringLiteral("C2, Velocity 90"));
    }

    void missingAttributesReadAsZero()
    {
        // Missing parameters replace the type's defaults with 0; showingInnards defaults to expanded.
        NoteOnInitializer noteOn(nullptr);
        noteOn.showInnards(false);
        noteOn.initFromDomElement(element(R"(<MIDIPatchInitializer name="Note On"/>)"));
        QCOMPARE(noteOn.getByte1(), BYTE{0});
        QCOMPARE(noteOn.getByte2(), BYTE{0});
        QVERIFY(noteOn.isShowingInnards());
        QCOMPARE(*noteOn.getInitializationMessage(), (Bytes{0x90, 0x00, 0x00}));

        PitchBendInitializer bend(nullptr);
        bend.initFromDomElement(element(R"(<MIDIPatchInitializer name="Pitch Bend" byte1="3"/>)"));
        QCOMPARE(bend.getInt1(), 0);
        QCOMPARE(bend.getByte1(), BYTE{3});
        QCOMPARE(*bend.getInitializationMessage(), (Bytes{0xE0, 0x00, 0x00}));
    }

    void nonNumericAttributesReadAsZero()
    {
        VolumeInitializer volume(nullptr);
        volume.initFromDomElement(
            element(R"(<MIDIPatchInitializer name="Volume" byte1="7" byte2="loud" int1="x"/>)"));
        QCOMPARE(volume.getByte1(), BYTE{7});
        QCOMPARE(volume.getByte2(), BYTE{0});
        QCOMPARE(volume.getInt1(), 0);
    }

    void byteOutsideRangeKeepsItsValue()
    {
        // 300 must not wrap round to 44, nor -1 to 255.
        CCInitializer cc(nullptr);
        cc.initFromDomElement(
            element(R"(<MIDIPatchInitializer name="CC" byte1="300" byte2="-1" byte3="128" int1="5"/>)"));
        QCOMPARE(cc.getByte1(), BYTE{11});
        QCOMPARE(cc.getByte2(), BYTE{127});
        QCOMPARE(cc.getByte3(), BYTE{0});
        QCOMPARE(cc.getInt1(), 5);
        QCOMPARE(*cc.getInitializationMessage(), (Bytes{0xB0, 0x0B, 0x7F}));
    }

    void mislabelledElementKeepsTheType()
    {
        ProgChgInitializer program(nullptr);
        program.initFromDomElement(element(R"(<MIDIPatchInitializer name="Volume" byte1="9"/>)"));
        QCOMPARE(program.getName(), QStringLiteral("Program Change"));
        QCOMPARE(*program.getInitializationMessage(), (Bytes{0xC0, 0x09}));
        program.initFromDomElement(element(R"(<MIDIPatchInitializer byte1="10"/>)"));
        QCOMPARE(program.getName(), QStringLiteral("Program Change"));
    }

    void baseInitializerReadsItsNameFromTheElement()
    {
        MIDIPatchInitializer plain(QString(), nullptr);
        plain.initFromDomElement(element(R"(<MIDIPatchInitializer name="Custom" showingInnards="0"/>)"));
        QCOMPARE(plain.getName(), QStringLiteral("Custom"));
        QVERIFY(!plain.isShowingInnards());
    }

    void readingAnnouncesEveryValue()
    {
        // Reading goes through the setters: each byte is announced even when it is unchanged.
        ProgChgInitializer program(nullptr);
        QSignalSpy delivery(&program, &MIDIPatchInitializer::messageDeliveryRequested);
        QSignalSpy byte1(&program, &MIDIPatchInitializer::byte1ValueChangedTo);
        QSignalSpy int1(&program, &MIDIPatchInitializer::int1ValueChangedTo);
        program.initFromDomElement(element(
            R"(<MIDIPatchInitializer name="Program Change" byte1="0" byte2="0" byte3="0" int1="0"/>)"));
        QCOMPARE(byte1.count(), 1);
        QCOMPARE(int1.count(), 0);
        QCOMPARE(delivery.count(), 3);
    }

private:
    QDomElement element(const QString& xml)
    {
        _doc = QDomDocument();
        if (!_doc.setContent(xml))
            qFatal("bad test XML");
        return _doc.documentElement();
    }

    QDomDocument _doc;
};

QTEST_GUILESS_MAIN(InitializerXmlTest)
#include "tst_InitializerXml.moc"
