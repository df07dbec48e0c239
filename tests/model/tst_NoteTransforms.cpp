#include "model/ConvergeOnNote.h"
#include "model/MIDIMessage.h"
#include "model/MakeMonophonic.h"
#include "model/NoteBlocker.h"
#include "model/NoteFilter.h"
#include "model/NoteTransposer.h"
#include "model/ValueMapText.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>
#include <climits>

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

// A bar of playing on channel 1 with a note on channel 4, controllers, bend and aftertouch.
const Sent kMixedTraffic = {
    {0x90, 60, 100}, {0xB0, 7, 90}, {0x93, 64, 80}, {0xE0, 0x00, 0x40}, {0xD0, 0x30},
    {0x80, 60, 0},   {0x93, 64, 0}, {0xA0, 62, 40}, {0xC0, 5},
};

} // namespace

class NoteTransformsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    // Transpose

    void transposeMovesNoteOnsAndOffsOnEveryChannel()
    {
        NoteTransposer transpose(nullptr);
        transpose.setInt2(1);
        transpose.setInt1(-2);
        QSignalSpy handled(&transpose, &MIDIDataTransform::handledAMessage);
        const Sent expected = {
            {0x90, 70, 100}, {0xB0, 7, 90}, {0x93, 74, 80}, {0xE0, 0x00, 0x40}, {0xD0, 0x30},
            {0x80, 70, 0},   {0x93, 74, 0}, {0xA0, 62, 40}, {0xC0, 5},
        };
        QCOMPARE(play(transpose, kMixedTraffic), expected);
        QCOMPARE(handled.count(), 4);
    }

    void changingTheAmountWhileANoteIsHeldMovesItsNoteOffByTheNewAmount()
    {
        NoteTransposer transpose(nullptr);
        transpose.setInt1(2);
        Sent sent = play(transpose, {{0x90, 60, 100}});
        transpose.setInt1(5);
        const Sent more = play(transpose, {{0x80, 60, 64}});
        sent.insert(sent.end(), more.begin(), more.end());
        QCOMPARE(sent, (Sent{{0x90, 62, 100}, {0x80, 65, 64}}));
    }

    void notesTransposedPastTheTopKeyAreDroppedWithTheirNoteOffs()
    {
        NoteTransposer transpose(nullptr);
        transpose.setInt2(1);
        const Sent sent = play(transpose, {{0x90, 115, 90},
                                           {0x90, 116, 90},
                                           {0xB0, 64, 127},
                                           {0x80, 116, 0},
                                           {0x90, 116, 0},
                                           {0x80, 115, 0}});
        QCOMPARE(sent, (Sent{{0x90, 127, 90}, {0xB0, 64, 127}, {0x80, 127, 0}}));
    }

    void notesTransposedBelowTheBottomKeyAreDroppedWithTheirNoteOffs()
    {
        NoteTransposer transpose(nullptr);
        transpose.setInt2(-1);
        const Sent sent = play(transpose, {{0x91, 11, 90}, {0x91, 12, 90}, {0x81, 11, 0}, {0x81, 12, 0}});
        QCOMPARE(sent, (Sent{{0x91, 0, 90}, {0x81, 0, 0}}));
    }

    void absurdAmountsFromAFileDropEveryNoteWithoutOverflow()
    {
        NoteTransposer transpose(nullptr);
        transpose.setInt2(INT_MAX);
        transpose.setInt1(INT_MAX);
        QCOMPARE(play(transpose, {{0x90, 0, 1}, {0x90, 127, 1}, {0xB0, 1, 2}}), (Sent{{0xB0, 1, 2}}));
        transpose.setInt2(INT_MIN);
        transpose.setInt1(INT_MIN);
        QCOMPARE(play(transpose, {{0x90, 0, 1}, {0x90, 127, 1}}), Sent{});
        // Octaves and semitones that nearly cancel each other still add up exactly.
        transpose.setInt2(1000);
        transpose.setInt1(-11995);
        QCOMPARE(play(transpose, {{0x90, 60, 1}}), (Sent{{0x90, 65, 1}}));
    }

    void transposeAmountReadFromAFileIsApplied()
    {
        QDomDocument doc;
        QDomElement element = doc.createElement(QStringLiteral("MIDIDataTransform"));
        element.setAttribute(QStringLiteral("name"), QStringLiteral("Transpose"));
        element.setAttribute(QStringLiteral("int1"), 3);
        element.setAttribute(QStringLiteral("int2"), -2);
        NoteTransposer transpose(nullptr);
        transpose.initFromDomElement(element);
        QCOMPARE(transpose.getOctaveTransposeAmount(), -2);
        QCOMPARE(transpose.getSemitoneTransposeAmount(), 3);
        QCOMPARE(play(transpose, {{0x90, 60, 100}}), (Sent{{0x90, 39, 100}}));
    }

    void transposeDescription_data()
    {
        QTest::addColumn<int>("octaves");
        QTest::addColumn<int>("semitones");
        QTest::addColumn<bool>("bypassed");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0 << 0 << false << "(no transpose)";
        QTest::newRow("none bypassed") << 0 << 0 << true << "(no transpose) (bypassed)";
        QTest::newRow("up octave and semitones")
            << 1 << 2 << false << "Transpose Up 1 Octave and 2 Semitones";
        QTest::newRow("down octave, up semitones")
            << -1 << 3 << false << "Transpose Down 1 Octave and Up 3 Semitones";
        QTest::newRow("down semitones") << 0 << -5 << false << "Transpose Down 5 Semitones";
        QTest::newRow("up one semitone") << 0 << 1 << false << "Transpose Up 1 Semitone";
        QTest::newRow("octaves only") << -2 << 0 << true << "Transpose Down 2 Octaves (bypassed)";
        QTest::newRow("up octaves, down semitone")
            << 2 << -1 << false << "Transpose Up 2 Octaves and Down 1 Semitone";
        QTest::newRow("both down") << -1 << -7 << false << "Transpose Down 1 Octave and 7 Semitones";
    }

    void transposeDescription()
    {
        QFETCH(int, octaves);
        QFETCH(int, semitones);
        QFETCH(bool, bypassed);
        QFETCH(QString, text);
        NoteTransposer transpose(nullptr);
        transpose.setInt2(octaves);
        transpose.setInt1(semitones);
        transpose.setBypassed(bypassed);
        QCOMPARE(transpose.getDescriptionString(), text);
    }

    // Converge On Note

    void convergeSendsEveryNoteToTheTarget()
    {
        ConvergeOnNote converge(nullptr);
        QCOMPARE(converge.getByte1(), BYTE(60));
        const Sent expected = {
            {0x90, 60, 100}, {0xB0, 7, 90}, {0x93, 60, 80}, {0xE0, 0x00, 0x40}, {0xD0, 0x30},
            {0x80, 60, 0},   {0x93, 60, 0}, {0xA0, 62, 40}, {0xC0, 5},
        };
        QCOMPARE(play(converge, kMixedTraffic), expected);
        QCOMPARE(play(converge, {{0x80, 64, 10}}), (Sent{{0x80, 60, 10}}));
        converge.setByte1(127);
        QCOMPARE(play(converge, {{0x90, 0, 10}}), (Sent{{0x90, 127, 10}}));
    }

    void convergeDescriptionNamesTheTarget()
    {
        ConvergeOnNote converge(nullptr);
        QCOMPARE(converge.getDescriptionString(), QStringLiteral("Converge On C4"));
        converge.setByte1(61);
        converge.setBypassed(true);
        QCOMPARE(converge.getDescriptionString(), QStringLiteral("Converge On C#4 (bypassed)"));
    }

    // Make Monophonic

    void newNoteEndsTheSoundingOneFirst()
    {
        MakeMonophonic mono(nullptr);
        QSignalSpy handled(&mono, &MIDIDataTransform::handledAMessage);
        const Sent sent = play(mono, {{0x90, 60, 100}, {0x90, 64, 90}, {0x80, 60, 0}, {0x80, 64, 0}});
        QCOMPARE(sent,
                 (Sent{{0x90, 60, 100}, {0x80, 60, 127}, {0x90, 64, 90}, {0x80, 60, 0}, {0x80, 64, 0}}));
        QCOMPARE(handled.count(), 1);
        QVERIFY(!mono.hasSoundingNote());
    }

    void restrikingTheSoundingNoteAndOtherMessagesPassAlone()
    {
        MakeMonophonic mono(nullptr);
        const Sent sent = play(mono, {{0x90, 60, 100},
                                      {0xB0, 1, 20},
                                      {0x90, 60, 110},
                                      {0xE0, 0, 0x40},
                                      {0x90, 60, 0},
                                      {0x90, 62, 50}});
        QCOMPARE(sent, (Sent{{0x90, 60, 100},
                             {0xB0, 1, 20},
                             {0x90, 60, 110},
                             {0xE0, 0, 0x40},
                             {0x90, 60, 0},
                             {0x90, 62, 50}}));
    }

    void lowestNoteIsEndedLikeAnyOther()
    {
        MakeMonophonic mono(nullptr);
        const Sent sent = play(mono, {{0x90, 0, 100}, {0x90, 60, 100}});
        QCOMPARE(sent, (Sent{{0x90, 0, 100}, {0x80, 0, 127}, {0x90, 60, 100}}));
    }

    void soundingNoteIsEndedOnItsOwnChannel()
    {
        MakeMonophonic mono(nullptr);
        const Sent sent = play(mono, {{0x90, 60, 100}, {0x95, 64, 90}, {0x85, 60, 0}, {0x95, 67, 90}});
        QCOMPARE(sent, (Sent{{0x90, 60, 100},
                             {0x80, 60, 127},
                             {0x95, 64, 90},
                             {0x85, 60, 0},
                             {0x85, 64, 127},
                             {0x95, 67, 90}}));
    }

    // Note Filter

    void filteredNotesAreSilencedAndPlayedKeysReported()
    {
        NoteFilter filter(nullptr);
        filter.filterOutNotesBelow(60);
        QVERIFY(filter.isNoteBeingFilteredOut(0));
        QVERIFY(filter.isNoteBeingFilteredOut(59));
        QVERIFY(filter.isNoteBeingAccepted(60));
        QSignalSpy ons(&filter, &NoteFilter::noteOnReceived);
        QSignalSpy offs(&filter, &NoteFilter::noteOffReceived);
        QSignalSpy handled(&filter, &MIDIDataTransform::handledAMessage);
        const Sent sent = play(
            filter,
            {{0x90, 59, 70}, {0x90, 60, 71}, {0xB0, 7, 90}, {0x80, 59, 0}, {0x90, 60, 0}, {0xE0, 0, 0x40}});
        QCOMPARE(sent, (Sent{{0x90, 60, 71}, {0xB0, 7, 90}, {0x90, 60, 0}, {0xE0, 0, 0x40}}));
        QCOMPARE(ons.count(), 2);
        QCOMPARE(ons.at(0), (QList<QVariant>{59, 70}));
        QCOMPARE(ons.at(1), (QList<QVariant>{60, 71}));
        QCOMPARE(offs.count(), 2);
        QCOMPARE(offs.at(0).at(0).toInt(), 59);
        QCOMPARE(handled.count(), 2);
    }

    void heldNoteKeepsItsNoteOffWhenFilteredOutWhileHeld()
    {
        NoteFilter filter(nullptr);
        Sent sent = play(filter, {{0x92, 50, 80}});
        filter.filterOutNote(50);
        const Sent later = play(filter, {{0x92, 50, 0}, {0x92, 50, 80}, {0x82, 50, 0}});
        sent.insert(sent.end(), later.begin(), later.end());
        QCOMPARE(sent, (Sent{{0x92, 50, 80}, {0x92, 50, 0}}));
    }

    void filterEditsKeepTheMapInStep()
    {
        NoteFilter filter(nullptr);
        QCOMPARE(filter.getMapValueAt(0), BYTE(127));
        QSignalSpy changes(&filter, &MIDIDataTransform::mapValueChangedTo);
        filter.filterOutNotesAbove(125);
        filter.filterOutNotesAbove(127);
        filter.filterOutNotesBelow(0);
        QCOMPARE(filter.getFilteredOutNotes(), (QList<BYTE>{126, 127}));
        QCOMPARE(changes.count(), 2);
        filter.toggleNoteAcceptance(126);
        filter.toggleNoteAcceptance(3);
        QCOMPARE(filter.getFilteredOutNotes(), (QList<BYTE>{3, 127}));
        QCOMPARE(filter.getMapValueAt(3), BYTE(0));
        QCOMPARE(filter.getMapValueAt(126), BYTE(127));
        filter.filterOutAllNotes();
        QCOMPARE(filter.getFilteredOutNotes().size(), 128);
        filter.acceptAllNotes();
        QVERIFY(filter.getFilteredOutNotes().isEmpty());
        QCOMPARE(filter.getMapValueAt(3), BYTE(127));
    }

    void filterIsSavedInverseAndReadBack()
    {
        NoteFilter filter(nullptr);
        filter.filterOutNotesBelow(60);
        QDomDocument doc;
        const QDomElement element = filter.toDomElement(doc);
        const QString stored = unescapeValueMapText(element.attribute(QStringLiteral("valueMapping")));
        QCOMPARE(stored.size(), 128);
        for (int note = 0; note < 128; ++note)
            QCOMPARE(stored.at(note).unicode(), char16_t(note < 60 ? 127 : 0));
        QCOMPARE(filter.getMapValueAt(10), BYTE(0));
        QCOMPARE(filter.getMapValueAt(60), BYTE(127));

        NoteFilter reread(nullptr);
        reread.filterOutNote(100);
        reread.initFromDomElement(element);
        QCOMPARE(reread.getFilteredOutNotes().size(), 60);
        QVERIFY(reread.isNoteBeingFilteredOut(59));
        QVERIFY(reread.isNoteBeingAccepted(60));
        QVERIFY(reread.isNoteBeingAccepted(100));
        QCOMPARE(reread.getMapValueAt(59), BYTE(0));
        QCOMPARE(reread.getMapValueAt(100), BYTE(127));
    }

    void filterElementWithoutAMapFiltersNothing()
    {
        QDomDocument doc;
        QDomElement element = doc.createElement(QStringLiteral("MIDIDataTransform"));
        element.setAttribute(QStringLiteral("name"), QStringLiteral("Note Filter"));
        NoteFilter filter(nullptr);
        filter.initFromDomElement(element);
        QVERIFY(filter.getFilteredOutNotes().isEmpty());
        QCOMPARE(play(filter, {{0x90, 60, 100}}), (Sent{{0x90, 60, 100}}));
    }

    // Ignore All Notes

    void ignoreAllNotesDropsNotesAndNothingElse()
    {
        NoteBlocker blocker(nullptr);
        QSignalSpy handled(&blocker, &MIDIDataTransform::handledAMessage);
        const Sent expected = {{0xB0, 7, 90}, {0xE0, 0x00, 0x40}, {0xD0, 0x30}, {0xA0, 62, 40}, {0xC0, 5}};
        QCOMPARE(play(blocker, kMixedTraffic), expected);
        QCOMPARE(handled.count(), 4);
        QCOMPARE(blocker.getDescriptionString(), QStringLiteral("Ignore All Notes"));
        blocker.setBypassed(true);
        QCOMPARE(blocker.getDescriptionString(), QStringLiteral("Ignore All Notes (bypassed)"));
    }
};

QTEST_GUILESS_MAIN(NoteTransformsTest)
#include "tst_NoteTransforms.moc"
