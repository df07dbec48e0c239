#include "model/MIDIMessage.h"
#include "model/ModelSignalPump.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/TransformRegistry.h"
#include "model/transforms/VelocityVariation.h"
#include "support/TestPrefs.h"
#include "support/TransformChainPlayer.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <set>

namespace {

using Bytes = std::vector<unsigned char>;
using Sent = std::vector<Bytes>;
using Edit = void (*)(MIDIDataTransform&);

// An empty entry in the played traffic marks the moment the user edits the transform.
const Bytes E = {};

struct Case
{
    const char* what;
    const char* type;
    Edit setUp;
    Edit edit;
    Sent played;
    Sent expected;
    int handled;
};

void none(MIDIDataTransform&) {}

// clang-format off
const Case kCases[] = {
    {"velocity map reshapes note ons only", "Velocity Map",
     [](auto& t) { t.setMapValueAt(100, 50); t.setMapValueAt(30, 0); }, none,
     {{0x91, 60, 100}, {0x81, 60, 100}, {0xB1, 100, 100}, {0x91, 62, 30}, {0x91, 64, 127}, {0xD1, 100}},
     {{0x91, 60, 50}, {0x81, 60, 100}, {0xB1, 100, 100}, {0x91, 62, 0}, {0x91, 64, 127}, {0xD1, 100}}, 3},
    {"velocity goes out as a controller just before its note", "Velocity To CC", none, none,
     {{0x93, 60, 100}, {0x83, 60, 40}, {0xB3, 11, 5}, {0xE3, 0, 0x40}, {0x90, 72, 1}},
     {{0xB3, 11, 100}, {0x93, 60, 100}, {0x83, 60, 40}, {0xB3, 11, 5}, {0xE3, 0, 0x40}, {0xB0, 11, 1},
      {0x90, 72, 1}}, 2},
    {"a controller sets the velocity of the notes that follow", "Velocity From CC", none, none,
     {{0x90, 60, 100}, {0xB0, 1, 90}, {0x90, 62, 20}, {0x80, 62, 33}, {0xB0, 2, 10}, {0x90, 64, 20},
      {0xB0, 1, 0}, {0x90, 65, 120}},
     {{0x90, 60, 64}, {0xB0, 1, 90}, {0x90, 62, 90}, {0x80, 62, 33}, {0xB0, 2, 10}, {0x90, 64, 90},
      {0xB0, 1, 0}, {0x90, 65, 0}}, 6},
    {"soft notes are ignored with their note offs", "Velocity Filter", none, none,
     {{0x90, 60, 20}, {0x90, 62, 21}, {0xB0, 64, 127}, {0x80, 60, 0}, {0x90, 62, 0}},
     {{0x90, 62, 21}, {0xB0, 64, 127}, {0x90, 62, 0}}, 2},
    {"two held-back notes need two note offs", "Velocity Filter", none, none,
     {{0x90, 60, 5}, {0x90, 60, 6}, {0x80, 60, 0}, {0x80, 60, 0}, {0x90, 60, 90}, {0x80, 60, 0}},
     {{0x90, 60, 90}, {0x80, 60, 0}}, 4},
    {"a passed note keeps its note off when the threshold rises", "Velocity Filter", none,
     [](auto& t) { t.setByte1(100); },
     {{0x90, 60, 50}, E, {0x80, 60, 0}},
     {{0x90, 60, 50}, {0x80, 60, 0}}, 0},
    {"a held-back note never swallows another channel's note off", "Velocity Filter", none, none,
     {{0x90, 60, 5}, {0x91, 60, 80}, {0x81, 60, 0}, {0x80, 60, 0}},
     {{0x91, 60, 80}, {0x81, 60, 0}}, 2},
    {"loud notes are ignored in the other direction", "Velocity Filter",
     [](auto& t) { t.setByte2(1); t.setByte1(100); }, [](auto& t) { t.setByte2(2); },
     {{0x90, 60, 101}, {0x90, 61, 100}, {0x80, 60, 0}, {0x80, 61, 0}, E, {0x90, 60, 1}, {0x90, 61, 127}},
     {{0x90, 61, 100}, {0x80, 61, 0}, {0x90, 60, 1}, {0x90, 61, 127}}, 2},
    {"variation of one never changes a velocity", "Velocity Variation", [](auto& t) { t.setByte1(1); }, none,
     Sent(50, Bytes{0x90, 60, 77}),
     Sent(50, Bytes{0x90, 60, 77}), 50},
    {"variation leaves everything but note ons alone", "Velocity Variation", [](auto& t) { t.setByte1(127); },
     [](auto& t) { t.setByte1(0); },
     {{0x80, 60, 64}, {0x90, 60, 0}, {0xB0, 7, 64}, {0xE0, 0, 0x40}, {0xD0, 64}, E, {0x90, 60, 64}},
     {{0x80, 60, 64}, {0x90, 60, 0}, {0xB0, 7, 64}, {0xE0, 0, 0x40}, {0xD0, 64}, {0x90, 60, 64}}, 0},
};
// clang-format on

// The velocity a variation gives one note on of the given velocity.
int variedVelocity(VelocityVariation& variation, BYTE velocity)
{
    midiMessage_t message = {0x90, 60, velocity};
    midiMessageList_t list{&message};
    variation.transformWhatYouCan(&list);
    return message[2];
}

} // namespace

class VelocityTransformsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        registerBuiltInTransforms();
    }

    // Each case plays its traffic one message at a time, as a patch hands them over (one list per
    // message, sent from the last entry to the first), and compares every byte that goes out.
    void playingThroughAVelocityTransform_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kCases)); ++i)
            QTest::newRow(kCases[i].what) << i;
    }

    void playingThroughAVelocityTransform()
    {
        QFETCH(int, index);
        const Case& c = kCases[index];
        std::unique_ptr<MIDIDataTransform> transform(createMIDIDataTransformOfType(c.type, nullptr));
        QVERIFY(transform);
        c.setUp(*transform);
        QSignalSpy handled(transform.get(), &MIDIDataTransform::handledAMessage);
        const Sent sent = playWithEdits(*transform, c.played, c.edit);
        QCOMPARE(sent, c.expected);
        QCOMPARE(handled.count(), c.handled);
    }

    void velocityMapReportsTheVelocityBeforeMapping()
    {
        std::unique_ptr<MIDIDataTransform> map(createMIDIDataTransformOfType("Velocity Map", nullptr));
        map->setMapValueAt(100, 50);
        QSignalSpy received(map.get(), &MIDIDataTransform::lastValueReceived);
        midiMessage_t note = {0x90, 60, 100};
        midiMessageList_t list{&note};
        map->transformWhatYouCan(&list);
        QCOMPARE(received.count(), 0); // views hear it from the pump, on the GUI thread
        ModelSignalPump::GetInstance()->pumpNow();
        QCOMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).value<unsigned char>(), (unsigned char)100);
    }

    void rememberedControllerValueIsQuiet()
    {
        std::unique_ptr<MIDIDataTransform> fromCC(createMIDIDataTransformOfType("Velocity From CC", nullptr));
        fromCC->setModified(false);
        QSignalSpy byte2Changes(fromCC.get(), &MIDIDataTransform::byte2ValueChangedTo);
        midiMessage_t controller = {0xB0, 1, 33};
        midiMessageList_t list{&controller};
        fromCC->transformWhatYouCan(&list);
        QCOMPARE(fromCC->getByte2(), BYTE(33));
        QCOMPARE(byte2Changes.count(), 0);
        QVERIFY(!fromCC->isModified());
    }

    void variationCoversItsWholeSpan_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("velocity");
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("lowest");
        QTest::addColumn<int>("highest");
        QTest::newRow("above") << 0 << 64 << 10 << 64 << 73;
        QTest::newRow("below") << 1 << 64 << 10 << 55 << 64;
        QTest::newRow("above and below") << 2 << 64 << 10 << 59 << 68;
        QTest::newRow("never below 1") << 1 << 3 << 127 << 1 << 3;
        QTest::newRow("never above 127") << 0 << 120 << 127 << 120 << 127;
        QTest::newRow("unknown type only clamps") << 3 << 64 << 127 << 64 << 64;
    }

    void variationCoversItsWholeSpan()
    {
        QFETCH(int, type);
        QFETCH(int, velocity);
        QFETCH(int, amount);
        QFETCH(int, lowest);
        QFETCH(int, highest);
        VelocityVariation variation(nullptr);
        variation.setVariationAmount(BYTE(amount));
        variation.setByte2(BYTE(type));
        variation.seedRandomGenerator(12345);
        std::set<int> seen;
        for (int round = 0; round < 3000; ++round)
            seen.insert(variedVelocity(variation, BYTE(velocity)));
        QCOMPARE(*seen.begin(), lowest);
        QCOMPARE(*seen.rbegin(), highest);
        QCOMPARE(int(seen.size()), highest - lowest + 1);
    }

    void seededVariationRepeats()
    {
        VelocityVariation first(nullptr), second(nullptr);
        first.seedRandomGenerator(99);
        second.seedRandomGenerator(99);
        for (int round = 0; round < 50; ++round)
            QCOMPARE(variedVelocity(first, 64), variedVelocity(second, 64));
    }
};

QTEST_GUILESS_MAIN(VelocityTransformsTest)
#include "tst_VelocityTransforms.moc"
