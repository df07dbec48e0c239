#include "support/TestPrefs.h"
#include "support/TransformChainPlayer.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// A note held while the wheel goes through centre, full up (channel 4), nearly down and full
// down (channel 2), with aftertouch on channel 10 and the mod wheel.
const midiMessage_t kNoteOn = {0x90, 0x3C, 0x64};
const midiMessage_t kBendCentre = {0xE0, 0x00, 0x40};
const midiMessage_t kBendFullUpCh4 = {0xE3, 0x7F, 0x7F};
const midiMessage_t kBend127 = {0xE0, 0x7F, 0x00};
const midiMessage_t kBendFullDownCh2 = {0xE1, 0x00, 0x00};
const midiMessage_t kAftertouchCh10 = {0xD9, 0x64};
const midiMessage_t kModWheel = {0xB0, 0x01, 0x32};
const midiMessage_t kNoteOff = {0x80, 0x3C, 0x00};
const ByteStream kPlaying = {kNoteOn,          kBendCentre,     kBendFullUpCh4, kBend127,
                             kBendFullDownCh2, kAftertouchCh10, kModWheel,      kNoteOff};

} // namespace

class PitchChangeAndAftertouchTransformsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void eachTypeShapesThePlaying_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<ByteStream>("expected");
        QTest::addColumn<int>("handled");
        QTest::newRow("wheel turned around: 8192->8191, 16383->0, 127->16256, 0->16383")
            << "Invert Pitch Change"
            << ByteStream{kNoteOn,
                          {0xE0, 0x7F, 0x3F},
                          {0xE3, 0x00, 0x00},
                          {0xE0, 0x00, 0x7F},
                          {0xE1, 0x7F, 0x7F},
                          kAftertouchCh10,
                          kModWheel,
                          kNoteOff}
            << 4;
        QTest::newRow("bend also sent as CC1 just before it")
            << "Pitch Change To CC"
            << ByteStream{kNoteOn,          {0xB0, 0x01, 0x40}, kBendCentre, {0xB3, 0x01, 0x7F},
                          kBendFullUpCh4,   {0xB0, 0x01, 0x00}, kBend127,    {0xB1, 0x01, 0x00},
                          kBendFullDownCh2, kAftertouchCh10,    kModWheel,   kNoteOff}
            << 4;
        QTest::newRow("bends ignored")
            << "Ignore Pitch Change" << ByteStream{kNoteOn, kAftertouchCh10, kModWheel, kNoteOff} << 4;
        QTest::newRow("aftertouch also sent as CC1 on its channel just before it")
            << "Channel Aftertouch To CC" << ByteStream{kNoteOn,         kBendCentre,      kBendFullUpCh4,
                                                        kBend127,        kBendFullDownCh2, {0xB9, 0x01, 0x64},
                                                        kAftertouchCh10, kModWheel,        kNoteOff}
            << 1;
        QTest::newRow("aftertouch ignored")
            << "Ignore Channel Aftertouch"
            << ByteStream{kNoteOn,          kBendCentre, kBendFullUpCh4, kBend127,
                          kBendFullDownCh2, kModWheel,   kNoteOff}
            << 1;
    }

    void eachTypeShapesThePlaying()
    {
        QFETCH(QString, type);
        QFETCH(ByteStream, expected);
        QFETCH(int, handled);
        auto transform = createTransformNamed(type);
        QVERIFY(transform);
        QSignalSpy handledSpy(transform.get(), &MIDIDataTransform::handledAMessage);
        QCOMPARE(toHex(playThroughChain({transform.get()}, kPlaying)), toHex(expected));
        QCOMPARE(handledSpy.count(), handled);
    }

    void computedValuesStayDataBytes()
    {
        // Damaged data bytes must not come out as something a synth reads as a status byte.
        auto inverter = createTransformNamed(QStringLiteral("Invert Pitch Change"));
        auto bendToCC = createTransformNamed(QStringLiteral("Pitch Change To CC"));
        auto aftertouchToCC = createTransformNamed(QStringLiteral("Channel Aftertouch To CC"));
        QCOMPARE(toHex(playThroughChain({inverter.get()}, {{0xE0, 0xFF, 0xC0}})),
                 toHex({{0xE0, 0x00, 0x3F}}));
        QCOMPARE(toHex(playThroughChain({bendToCC.get(), inverter.get()}, {{0xE0, 0xFF, 0xFF}})),
                 toHex({{0xB0, 0x01, 0x7F}, {0xE0, 0x00, 0x00}}));
        QCOMPARE(toHex(playThroughChain({aftertouchToCC.get()}, {{0xD0, 0xC8}})),
                 toHex({{0xB0, 0x01, 0x48}, {0xD0, 0xC8}}));
    }

    void chosenControllerNumberIsUsed()
    {
        auto bendToCC = createTransformNamed(QStringLiteral("Pitch Change To CC"));
        auto aftertouchToCC = createTransformNamed(QStringLiteral("Channel Aftertouch To CC"));
        bendToCC->setByte1(74);
        aftertouchToCC->setByte1(2);
        QCOMPARE(
            toHex(playThroughChain({bendToCC.get(), aftertouchToCC.get()}, {kBendFullUpCh4, {0xD0, 0x00}})),
            toHex({{0xB3, 0x4A, 0x7F}, kBendFullUpCh4, {0xB0, 0x02, 0x00}, {0xD0, 0x00}}));
    }

    void menuNamesCreateTypesWithTheirDescriptions_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("editable");
        QTest::newRow("Invert Pitch Change") << "Invert Pitch Change"
                                             << "Invert Pitch Change" << false;
        QTest::newRow("Pitch Change To CC") << "Pitch Change To CC"
                                            << "Pitch Change to CC1" << true;
        QTest::newRow("Ignore Pitch Change") << "Ignore Pitch Change"
                                             << "Ignore Pitch Change" << false;
        QTest::newRow("Channel Aftertouch To CC") << "Channel Aftertouch To CC"
                                                  << "Channel Aftertouch to CC1" << true;
        QTest::newRow("Ignore Channel Aftertouch") << "Ignore Channel Aftertouch"
                                                   << "Ignore Channel Aftertouch" << false;
    }

    void menuNamesCreateTypesWithTheirDescriptions()
    {
        QFETCH(QString, type);
        QFETCH(QString, description);
        QFETCH(bool, editable);
        verifyMenuEntryCreatesType(type, description, editable);
    }
};

QTEST_GUILESS_MAIN(PitchChangeAndAftertouchTransformsTest)
#include "tst_PitchChangeAndAftertouchTransforms.moc"
