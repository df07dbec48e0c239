#include "model/MIDIMessage.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "support/TestPrefs.h"

#include <QTest>

using Bytes = midiMessage_t;

class MIDIMessageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void buildersMakeChannelOneMessagesOfTheRightLength()
    {
        Bytes m{0x95, 1, 2, 3, 4};
        setNoteOnMessage(&m, 60, 100);
        QCOMPARE(m, Bytes({0x90, 60, 100}));
        setNoteOffMessage(&m, 61, 0);
        QCOMPARE(m, Bytes({0x80, 61, 0}));
        setProgramChangeMessage(&m, 5);
        QCOMPARE(m, Bytes({0xC0, 5}));
        setControlChangeMessage(&m);
        QCOMPARE(m.size(), std::size_t(3));
        QCOMPARE(m[0], BYTE(0xB0));
        setControlNumberAndValue(&m, 7, 99);
        QCOMPARE(m, Bytes({0xB0, 7, 99}));
        setPitchBendMessage(&m);
        setPitchBendValue(&m, 8192);
        QCOMPARE(m, Bytes({0xE0, 0x00, 0x40}));

        Bytes copy{0x01};
        const Bytes source{0x93, 64, 1};
        copyMIDIMessage(&source, &copy);
        QCOMPARE(copy, source);
    }

    void velocityZeroNoteOnIsANoteOff()
    {
        const Bytes m{0x92, 60, 0};
        QVERIFY(isNoteOffMessage(&m));
        QVERIFY(!isNoteOnMessage(&m));
        QVERIFY(isNoteMessage(&m));
        const Bytes off{0x82, 60, 64};
        QVERIFY(isNoteOffMessage(&off));
        QVERIFY(isNoteMessage(&off));
        const Bytes on{0x92, 60, 1};
        QVERIFY(isNoteOnMessage(&on));
        QVERIFY(!isNoteOffMessage(&on));
    }

    void classifiersTellEveryChannelMessageApart_data()
    {
        QTest::addColumn<Bytes>("message");
        QTest::addColumn<QString>("kind");
        QTest::newRow("poly aftertouch") << Bytes{0xA3, 60, 20} << "poly";
        QTest::newRow("control change") << Bytes{0xB0, 64, 127} << "cc";
        QTest::newRow("program change") << Bytes{0xCF, 12} << "pc";
        QTest::newRow("channel aftertouch") << Bytes{0xD1, 50} << "chat";
        QTest::newRow("pitch bend") << Bytes{0xE2, 0, 64} << "bend";
        QTest::newRow("clock") << Bytes{0xF8} << "none";
        QTest::newRow("empty") << Bytes{} << "none";
        QTest::newRow("truncated cc") << Bytes{0xB0, 7} << "none";
    }

    void classifiersTellEveryChannelMessageApart()
    {
        QFETCH(Bytes, message);
        QFETCH(QString, kind);
        QCOMPARE(isPolyphonicAftertouchMessage(&message), kind == "poly");
        QCOMPARE(isControlChangeMessage(&message), kind == "cc");
        QCOMPARE(isProgramChangeMessage(&message), kind == "pc");
        QCOMPARE(isChannelAftertouchMessage(&message), kind == "chat");
        QCOMPARE(isPitchBendMessage(&message), kind == "bend");
        QVERIFY(!isNoteMessage(&message));
        QVERIFY(!isNoteOnMessage(&message));
        QVERIFY(!isNoteOffMessage(&message));
    }

    void channelNibbleIsReadAndRewritten()
    {
        Bytes m{0x9A, 60, 100};
        QCOMPARE(getMIDIChannelIndex(&m), BYTE(10));
        QCOMPARE(getMIDIMessageType(&m), BYTE(0x90));
        setMIDIChannelIndex(&m, 3);
        QCOMPARE(m, Bytes({0x93, 60, 100}));
        Bytes empty;
        setMIDIChannelIndex(&empty, 3); // must not write past the end
        QVERIFY(empty.empty());
    }

    void controllerNumberMatchesOnlyControlChanges()
    {
        const Bytes cc{0xB4, 64, 0};
        const Bytes note{0x94, 64, 90};
        QVERIFY(isControlChangeNumber(&cc, 64));
        QVERIFY(!isControlChangeNumber(&cc, 65));
        QVERIFY(!isControlChangeNumber(&note, 64));
    }

    void pitchBendRoundTripsEveryValue()
    {
        Bytes m;
        setPitchBendMessage(&m);
        for (int v = 0; v <= 16383; ++v) {
            setPitchBendValue(&m, pitchBendValue_t(v));
            if (getPitchBendValue(&m) != v)
                QFAIL(qPrintable(
                    QStringLiteral("pitch bend %1 came back as %2").arg(v).arg(getPitchBendValue(&m))));
        }
        QCOMPARE(scaleDownPitchBendValue(16383), BYTE(127));
        QCOMPARE(scaleDownPitchBendValue(8192), BYTE(64));
    }

    void activationValueOfEachMessageType()
    {
        const Bytes cc{0xB0, 1, 77};
        const Bytes on{0x90, 36, 100};
        const Bytes off{0x80, 37, 0};
        const Bytes pc{0xC0, 9};
        const Bytes bend{0xE0, 0x05, 0x41}; // 14-bit 8325 = 0x2085, low eight bits 0x85
        const Bytes at{0xD0, 50};
        QCOMPARE(getMIDIMessageValue(&cc), BYTE(77));
        QCOMPARE(getMIDIMessageValue(&on), BYTE(36));
        QCOMPARE(getMIDIMessageValue(&off), BYTE(37));
        QCOMPARE(getMIDIMessageValue(&pc), BYTE(9));
        QCOMPARE(getMIDIMessageValue(&bend), BYTE(0x85));
        QCOMPARE(getMIDIMessageValue(&at), BYTE(0));
    }

    void transposeTruncatesToEightBits()
    {
        Bytes m{0x90, 120, 100};
        transposeNoteBy(&m, 10);
        QCOMPARE(m[1], BYTE(130));
        transposeNoteBy(&m, -131);
        QCOMPARE(m[1], BYTE(255));
    }

    void stepsWrapAround()
    {
        QCOMPARE(channelAfter(0), BYTE(1));
        QCOMPARE(channelAfter(15), BYTE(0));
        QCOMPARE(valueNumberAfter(126), BYTE(127));
        QCOMPARE(valueNumberAfter(127), BYTE(0));
        QVERIFY(isValueInRange(127));
        QVERIFY(!isValueInRange(128));
    }

    void noteNamesFollowTheMiddleCPreference()
    {
        setStringPrefValue(PrefKeys::MiddleCName, QStringLiteral("C4"));
        QCOMPARE(QString(getMIDINoteName(60)), QStringLiteral("C4"));
        QCOMPARE(QString(getMIDINoteName(0)), QStringLiteral("C-1"));
        QCOMPARE(QString(getMIDINoteName(127)), QStringLiteral("G9"));
        QCOMPARE(QString(getMIDINoteName(61)), QStringLiteral("C#4"));
        setStringPrefValue(PrefKeys::MiddleCName, QStringLiteral("C3"));
        QCOMPARE(QString(getMIDINoteName(60)), QStringLiteral("C3"));
        QCOMPARE(QString(getMIDINoteName(0)), QStringLiteral("C-2"));
        QCOMPARE(QString(getMIDINoteName(127)), QStringLiteral("G8"));
        setStringPrefValue(PrefKeys::MiddleCName, QStringLiteral("C4"));
        QCOMPARE(QString(getMIDINoteName(128)), QString());
    }

    void descriptionsForTheInspector_data()
    {
        QTest::addColumn<Bytes>("message");
        QTest::addColumn<QString>("text");
        QTest::newRow("note on") << Bytes{0x90, 60, 100} << "Ch. 1\tNote On: C4\tVelocity: 100";
        QTest::newRow("note on vel 0") << Bytes{0x93, 61, 0} << "Ch. 4\tNote Off: C#4";
        QTest::newRow("note off") << Bytes{0x8F, 0, 64} << "Ch. 16\tNote Off: C-1";
        QTest::newRow("program") << Bytes{0xC1, 0} << "Ch. 2\tProgram Change: 0";
        QTest::newRow("cc") << Bytes{0xB2, 7, 127} << "Ch. 3\tCC7\tValue: 127";
        QTest::newRow("bend") << Bytes{0xE0, 0, 0x40} << "Ch. 1\tPitch Bend Value: 8192";
        QTest::newRow("channel at") << Bytes{0xD0, 33} << "Ch. 1\tChannel Aftertouch: 33";
        QTest::newRow("poly at") << Bytes{0xA0, 69, 12} << "Ch. 1\tNote Aftertouch: A4\tPressure: 12";
        QTest::newRow("other") << Bytes{0xF2, 1, 2} << "Ch. 3";
    }

    void descriptionsForTheInspector()
    {
        QFETCH(Bytes, message);
        QFETCH(QString, text);
        QCOMPARE(getMessageDescription(&message), text);
    }
};

QTEST_GUILESS_MAIN(MIDIMessageTest)
#include "tst_MIDIMessage.moc"
