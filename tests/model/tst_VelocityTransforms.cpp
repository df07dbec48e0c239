#include "model/MIDIMessage.h"
#include "model/VelocityFilter.h"
#include "model/VelocityFromCC.h"
#include "model/VelocityMapping.h"
#include "model/VelocityToCC.h"
#include "model/VelocityVariation.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>
#include <set>

namespace {

using Bytes = std::vector<unsigned char>;
using Sent = std::vector<Bytes>;

// Plays the messages one by one through the transform the way a patch does (one list per
// incoming message, sent from the last entry to the first) and returns everything sent, in order.
Sent play(MIDIDataTransform& transform, const Sent& incoming)
{
    Sent sent;
    for (const Bytes& bytes : incoming) {
        midiMessage_t message = bytes;
        midiMessageList_t list{&message};
        transform.transformWhatYouCan(&list);
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            sent.push_back(**it);
    }
    return sent;
}

// The velocity the transform gives one note on.
int velocityAfter(MIDIDataTransform& transform, BYTE velocity)
{
    const Sent sent = play(transform, {{0x90, 60, velocity}});
    return sent.size() == 1 ? sent[0][2] : -1;
}

} // namespace

class VelocityTransformsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    // Velocity Map

    void velocityMapReshapesNoteOnsOnly()
    {
        VelocityMapping map(nullptr);
        map.setMapValueAt(100, 50);
        map.setMapValueAt(30, 0);
        QSignalSpy handled(&map, &MIDIDataTransform::handledAMessage);
        QSignalSpy received(&map, &MIDIDataTransform::lastValueReceived);
        const Sent sent = play(map, {{0x91, 60, 100},
                                     {0x81, 60, 100},
                                     {0xB1, 100, 100},
                                     {0x91, 62, 30},
                                     {0x91, 64, 127},
                                     {0xD1, 100}});
        QCOMPARE(sent, (Sent{{0x91, 60, 50},
                             {0x81, 60, 100},
                             {0xB1, 100, 100},
                             {0x91, 62, 0},
                             {0x91, 64, 127},
                             {0xD1, 100}}));
        QCOMPARE(handled.count(), 3);
        QCOMPARE(received.count(), 3);
        QCOMPARE(received.at(0).at(0).value<unsigned char>(), (unsigned char)100);
        QCOMPARE(received.at(1).at(0).value<unsigned char>(), (unsigned char)30);
        QCOMPARE(map.getDescriptionString(), QStringLiteral("Velocity Map"));
    }

    // Velocity To CC

    void velocityGoesOutAsAControllerJustBeforeItsNote()
    {
        VelocityToCC toCC(nullptr);
        QCOMPARE(toCC.getByte1(), BYTE(11));
        QSignalSpy handled(&toCC, &MIDIDataTransform::handledAMessage);
        const Sent sent =
            play(toCC, {{0x93, 60, 100}, {0x83, 60, 40}, {0xB3, 11, 5}, {0xE3, 0, 0x40}, {0x90, 72, 1}});
        QCOMPARE(sent, (Sent{{0xB3, 11, 100},
                             {0x93, 60, 100},
                             {0x83, 60, 40},
                             {0xB3, 11, 5},
                             {0xE3, 0, 0x40},
                             {0xB0, 11, 1},
                             {0x90, 72, 1}}));
        QCOMPARE(handled.count(), 2);
        toCC.setByte1(74);
        QCOMPARE(toCC.getDescriptionString(), QStringLiteral("Copy Velocity to CC74"));
        toCC.setBypassed(true);
        QCOMPARE(toCC.getDescriptionString(), QStringLiteral("Copy Velocity to CC74 (bypassed)"));
    }

    // Velocity From CC

    void controllerSetsTheVelocityOfFollowingNotes()
    {
        VelocityFromCC fromCC(nullptr);
        fromCC.setModified(false);
        QSignalSpy byte2Changes(&fromCC, &MIDIDataTransform::byte2ValueChangedTo);
        const Sent sent = play(fromCC, {{0x90, 60, 100},
                                        {0xB0, 1, 90},
                                        {0x90, 62, 20},
                                        {0x80, 62, 33},
                                        {0xB0, 2, 10},
                                        {0x90, 64, 20},
                                        {0xB0, 1, 0},
                                        {0x90, 65, 120}});
        QCOMPARE(sent, (Sent{{0x90, 60, 64},
                             {0xB0, 1, 90},
                             {0x90, 62, 90},
                             {0x80, 62, 33},
                             {0xB0, 2, 10},
                             {0x90, 64, 90},
                             {0xB0, 1, 0},
                             {0x90, 65, 0}}));
        QCOMPARE(fromCC.getByte2(), BYTE(0));
        QCOMPARE(byte2Changes.count(), 0);
        QVERIFY(!fromCC.isModified());
        QCOMPARE(fromCC.getDescriptionString(), QStringLiteral("Velocity from CC1"));
    }

    // Velocity Filter

    void softNotesAreIgnoredWithTheirNoteOffs()
    {
        VelocityFilter filter(nullptr);
        QSignalSpy handled(&filter, &MIDIDataTransform::handledAMessage);
        const Sent sent =
            play(filter, {{0x90, 60, 20}, {0x90, 62, 21}, {0xB0, 64, 127}, {0x80, 60, 0}, {0x90, 62, 0}});
        QCOMPARE(sent, (Sent{{0x90, 62, 21}, {0xB0, 64, 127}, {0x90, 62, 0}}));
        QCOMPARE(handled.count(), 2);
        QCOMPARE(filter.getDescriptionString(), QStringLiteral("Ignore Velocities Below 21"));
    }

    void twoHeldBackNotesNeedTwoNoteOffs()
    {
        VelocityFilter filter(nullptr);
        const Sent sent =
            play(filter,
                 {{0x90, 60, 5}, {0x90, 60, 6}, {0x80, 60, 0}, {0x80, 60, 0}, {0x90, 60, 90}, {0x80, 60, 0}});
        QCOMPARE(sent, (Sent{{0x90, 60, 90}, {0x80, 60, 0}}));
    }

    void passedNoteKeepsItsNoteOffWhenTheThresholdRises()
    {
        VelocityFilter filter(nullptr);
        Sent sent = play(filter, {{0x90, 60, 50}});
        filter.setByte1(100);
        const Sent later = play(filter, {{0x80, 60, 0}});
        sent.insert(sent.end(), later.begin(), later.end());
        QCOMPARE(sent, (Sent{{0x90, 60, 50}, {0x80, 60, 0}}));
    }

    void heldBackNoteOnOneChannelKeepsTheOtherChannelsNoteOff()
    {
        VelocityFilter filter(nullptr);
        const Sent sent = play(filter, {{0x90, 60, 5}, {0x91, 60, 80}, {0x81, 60, 0}, {0x80, 60, 0}});
        QCOMPARE(sent, (Sent{{0x91, 60, 80}, {0x81, 60, 0}}));
        QCOMPARE(filter.heldBackCount(0, 60), 0);
    }

    void loudNotesAreIgnoredInTheOtherDirection()
    {
        VelocityFilter filter(nullptr);
        filter.setByte2(1);
        filter.setByte1(100);
        const Sent sent = play(filter, {{0x90, 60, 101}, {0x90, 61, 100}, {0x80, 60, 0}, {0x80, 61, 0}});
        QCOMPARE(sent, (Sent{{0x90, 61, 100}, {0x80, 61, 0}}));
        filter.setByte2(2);
        QCOMPARE(play(filter, {{0x90, 60, 1}, {0x90, 61, 127}}), (Sent{{0x90, 60, 1}, {0x90, 61, 127}}));
        filter.setByte2(1);
        filter.setBypassed(true);
        QCOMPARE(filter.getDescriptionString(), QStringLiteral("Ignore Velocities Above 100 (bypassed)"));
    }

    // Velocity Variation

    void amountOfOneNeverChangesAVelocity()
    {
        VelocityVariation variation(nullptr);
        variation.setVariationAmount(1);
        for (int round = 0; round < 200; ++round)
            QCOMPARE(velocityAfter(variation, 77), 77);
    }

    void variationStaysWithinItsSpan_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("lowest");
        QTest::addColumn<int>("highest");
        QTest::newRow("above") << int(VelocityVariation::VaryAbove) << 64 << 73;
        QTest::newRow("below") << int(VelocityVariation::VaryBelow) << 55 << 64;
        QTest::newRow("above and below") << int(VelocityVariation::VaryAboveAndBelow) << 59 << 68;
    }

    void variationStaysWithinItsSpan()
    {
        QFETCH(int, type);
        QFETCH(int, lowest);
        QFETCH(int, highest);
        VelocityVariation variation(nullptr);
        variation.setVariationType(static_cast<VelocityVariation::VariationType>(type));
        variation.seedRandomGenerator(12345);
        std::set<int> seen;
        for (int round = 0; round < 2000; ++round)
            seen.insert(velocityAfter(variation, 64));
        QCOMPARE(*seen.begin(), lowest);
        QCOMPARE(*seen.rbegin(), highest);
        QCOMPARE(int(seen.size()), 10);
    }

    void variedVelocityStaysAPlayableNoteOn()
    {
        VelocityVariation variation(nullptr);
        variation.setVariationAmount(127);
        variation.setVariationType(VelocityVariation::VaryBelow);
        variation.seedRandomGenerator(7);
        std::set<int> seen;
        for (int round = 0; round < 2000; ++round)
            seen.insert(velocityAfter(variation, 3));
        QCOMPARE(*seen.begin(), 1);
        QCOMPARE(*seen.rbegin(), 3);
        variation.setVariationType(VelocityVariation::VaryAbove);
        seen.clear();
        for (int round = 0; round < 2000; ++round)
            seen.insert(velocityAfter(variation, 120));
        QCOMPARE(*seen.begin(), 120);
        QCOMPARE(*seen.rbegin(), 127);
    }

    void variationLeavesEverythingButNoteOnsAlone()
    {
        VelocityVariation variation(nullptr);
        variation.setVariationAmount(127);
        const Sent traffic = {{0x80, 60, 64}, {0x90, 60, 0}, {0xB0, 7, 64}, {0xE0, 0, 0x40}, {0xD0, 64}};
        QCOMPARE(play(variation, traffic), traffic);
        variation.setVariationAmount(0);
        QCOMPARE(play(variation, {{0x90, 60, 64}}), (Sent{{0x90, 60, 64}}));
    }

    void seededVariationRepeats()
    {
        VelocityVariation first(nullptr);
        VelocityVariation second(nullptr);
        first.seedRandomGenerator(99);
        second.seedRandomGenerator(99);
        for (int round = 0; round < 50; ++round)
            QCOMPARE(velocityAfter(first, 64), velocityAfter(second, 64));
    }

    void variationDescription()
    {
        VelocityVariation variation(nullptr);
        QCOMPARE(variation.getDescriptionString(), QStringLiteral("Vary Velocities By 10 Above and Below"));
        variation.setVariationType(VelocityVariation::VaryAbove);
        QCOMPARE(variation.getDescriptionString(), QStringLiteral("Vary Velocities By 10 Above"));
        variation.setVariationType(VelocityVariation::VaryBelow);
        variation.setBypassed(true);
        QCOMPARE(variation.getDescriptionString(), QStringLiteral("Vary Velocities By 10 Below"));
        variation.setVariationAmount(0);
        QCOMPARE(variation.getDescriptionString(), QStringLiteral("Velocity Variation - no variation"));
    }
};

QTEST_GUILESS_MAIN(VelocityTransformsTest)
#include "tst_VelocityTransforms.moc"
