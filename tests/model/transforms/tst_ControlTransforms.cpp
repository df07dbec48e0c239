#include "model/transforms/MessageAddingTransform.h"
#include "support/TestPrefs.h"
#include "support/TransformChainPlayer.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// A few bars of playing: a note, the mod wheel on channel 3, volume on channels 1 and 4, a bend,
// aftertouch on channel 10, expression, and the note's release.
const midiMessage_t kNoteOn = {0x90, 0x3C, 0x64};
const midiMessage_t kModWheelCh3 = {0xB2, 0x01, 0x32};
const midiMessage_t kVolume = {0xB0, 0x07, 0x5A};
const midiMessage_t kVolumeCh4 = {0xB3, 0x07, 0x40};
const midiMessage_t kBend = {0xE0, 0x00, 0x40};
const midiMessage_t kAftertouchCh10 = {0xD9, 0x64};
const midiMessage_t kExpression = {0xB0, 0x0B, 0x64};
const midiMessage_t kNoteOff = {0x80, 0x3C, 0x00};
const ByteStream kPlaying = {kNoteOn, kModWheelCh3,    kVolume,     kVolumeCh4,
                             kBend,   kAftertouchCh10, kExpression, kNoteOff};

} // namespace

class ControlTransformsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void eachControlTypeShapesThePlaying_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<ByteStream>("expected");
        QTest::addColumn<int>("handled");
        QTest::newRow("expression becomes volume, volume stays")
            << "Change CC#" << ByteStream{kNoteOn,         kModWheelCh3,       kVolume, kVolumeCh4, kBend,
                                          kAftertouchCh10, {0xB0, 0x07, 0x64}, kNoteOff}
            << 1;
        QTest::newRow("identity map changes nothing") << "CC Map" << kPlaying << 1;
        QTest::newRow("mod wheel copied to expression, copy first")
            << "CC Copy" << ByteStream{kNoteOn, {0xB2, 0x0B, 0x32}, kModWheelCh3, kVolume, kVolumeCh4,
                                       kBend,   kAftertouchCh10,    kExpression,  kNoteOff}
            << 1;
        QTest::newRow("volume ignored on every channel")
            << "Ignore CC" << ByteStream{kNoteOn, kModWheelCh3, kBend, kAftertouchCh10, kExpression, kNoteOff}
            << 2;
        QTest::newRow("all controllers ignored")
            << "Ignore All Controllers" << ByteStream{kNoteOn, kBend, kAftertouchCh10, kNoteOff} << 4;
    }

    void eachControlTypeShapesThePlaying()
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

    void invertedModWheelMapReportsTheIncomingValue()
    {
        auto ccMap = createTransformNamed(QStringLiteral("CC Map"));
        ccMap->invertMapping();
        QSignalSpy lastValue(ccMap.get(), &MIDIDataTransform::lastValueReceived);
        const ByteStream sent =
            playThroughChain({ccMap.get()}, {{0xB0, 0x01, 0x00}, kModWheelCh3, kVolume, {0xB5, 0x01, 0x7F}});
        QCOMPARE(toHex(sent), toHex({{0xB0, 0x01, 0x7F}, {0xB2, 0x01, 0x4D}, kVolume, {0xB5, 0x01, 0x00}}));
        QCOMPARE(lastValue.count(), 3);
        QCOMPARE(lastValue.at(0).at(0).value<unsigned char>(), 0);
        QCOMPARE(lastValue.at(1).at(0).value<unsigned char>(), 50);
    }

    void computedValuesStayDataBytes()
    {
        // A damaged value byte must not leave as something a synth reads as a status byte.
        auto ccMap = createTransformNamed(QStringLiteral("CC Map"));
        auto ccCopy = createTransformNamed(QStringLiteral("CC Copy"));
        QCOMPARE(toHex(playThroughChain({ccMap.get()}, {{0xB0, 0x01, 0xC8}})), toHex({{0xB0, 0x01, 0x48}}));
        QCOMPARE(toHex(playThroughChain({ccMap.get(), ccCopy.get()}, {{0xB0, 0x01, 0xFF}})),
                 toHex({{0xB0, 0x0B, 0x7F}, {0xB0, 0x01, 0x7F}}));
    }

    void twoModWheelMessagesInOneListGetTwoCopies()
    {
        auto ccCopy = createTransformNamed(QStringLiteral("CC Copy"));
        midiMessage_t first = {0xB0, 0x01, 0x10};
        midiMessage_t note = {0x91, 0x40, 0x50};
        midiMessage_t second = {0xB1, 0x01, 0x20};
        midiMessageList_t list = {&first, &note, &second};
        ccCopy->transformWhatYouCan(&list);
        QCOMPARE(list.size(), std::size_t(5));
        QVERIFY(list[3] != list[4]);
        QCOMPARE(toHex(sendThroughChain({}, list)), toHex({{0xB1, 0x0B, 0x20},
                                                           {0xB0, 0x0B, 0x10},
                                                           {0xB1, 0x01, 0x20},
                                                           {0x91, 0x40, 0x50},
                                                           {0xB0, 0x01, 0x10}}));
    }

    void copiesBeyondThePoolLimitAreSkippedNotShared()
    {
        auto ccCopy = createTransformNamed(QStringLiteral("CC Copy"));
        std::vector<midiMessage_t> sources;
        for (unsigned char value = 0; value < 10; ++value)
            sources.push_back({0xB0, 0x01, value});
        midiMessageList_t list;
        for (midiMessage_t& source : sources)
            list.push_back(&source);
        ccCopy->transformWhatYouCan(&list);
        QCOMPARE(list.size(), std::size_t(10 + MessageAddingTransform::kAddedMessageLimit));
        for (std::size_t i = 0; i < MessageAddingTransform::kAddedMessageLimit; ++i) {
            midiMessage_t* copy = list[10 + i];
            QCOMPARE(*copy, (midiMessage_t{0xB0, 0x0B, static_cast<unsigned char>(i)}));
            for (std::size_t j = 0; j < i; ++j)
                QVERIFY(list[10 + j] != copy);
        }
        // The next pass starts with the whole pool again.
        midiMessage_t next = {0xB0, 0x01, 0x63};
        midiMessageList_t nextList = {&next};
        QCOMPARE(toHex(sendThroughChain({ccCopy.get()}, nextList)), toHex({{0xB0, 0x0B, 0x63}, next}));
    }

    void copyOntoItsOwnNumberEndsThePass()
    {
        auto ccCopy = createTransformNamed(QStringLiteral("CC Copy"));
        ccCopy->setByte2(1);
        QSignalSpy handled(ccCopy.get(), &MIDIDataTransform::handledAMessage);
        QCOMPARE(toHex(playThroughChain({ccCopy.get()}, {kModWheelCh3, kVolume})),
                 toHex({kModWheelCh3, kVolume}));
        QCOMPARE(handled.count(), 0);
    }

    void menuNamesCreateTypesWithTheirDescriptions_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("editable");
        QTest::newRow("Change CC#") << "Change CC#"
                                    << "Change CC11 to CC7" << true;
        QTest::newRow("CC Map") << "CC Map"
                                << "CC1 Map" << true;
        QTest::newRow("CC Copy") << "CC Copy"
                                 << "Copy CC1 to CC11" << true;
        QTest::newRow("Ignore CC") << "Ignore CC"
                                   << "Ignore CC7" << true;
        QTest::newRow("Ignore All Controllers") << "Ignore All Controllers"
                                                << "Ignore All Controllers" << false;
    }

    void menuNamesCreateTypesWithTheirDescriptions()
    {
        QFETCH(QString, type);
        QFETCH(QString, description);
        QFETCH(bool, editable);
        verifyMenuEntryCreatesType(type, description, editable);
    }
};

QTEST_GUILESS_MAIN(ControlTransformsTest)
#include "tst_ControlTransforms.moc"
