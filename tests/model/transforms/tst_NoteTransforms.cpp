#include "model/MIDIMessage.h"
#include "model/ModelSignalPump.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/NoteFilter.h"
#include "model/transforms/TransformRegistry.h"
#include "model/transforms/ValueMapText.h"
#include "support/TestPrefs.h"
#include "support/TransformChainPlayer.h"

#include <QSignalSpy>
#include <QTest>
#include <climits>
#include <memory>

namespace {

using Bytes = std::vector<unsigned char>;
using Sent = std::vector<Bytes>;
using Edit = void (*)(MIDIDataTransform&);

// An empty entry in the played traffic marks the moment the user edits the transform.
const Bytes E = {};

// A bar of playing on channel 1 with a note on channel 4, controllers, bend and aftertouch.
const Sent kMixed = {{0x90, 60, 100}, {0xB0, 7, 90}, {0x93, 64, 80}, {0xE0, 0x00, 0x40}, {0xD0, 0x30},
                     {0x80, 60, 0},   {0x93, 64, 0}, {0xA0, 62, 40}, {0xC0, 5}};

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

NoteFilter& noteFilter(MIDIDataTransform& t)
{
    return static_cast<NoteFilter&>(t);
}

// clang-format off
const Case kCases[] = {
    {"transpose moves notes on every channel", "Transpose",
     [](auto& t) { t.setInt2(1); t.setInt1(-2); }, none,
     kMixed,
     {{0x90, 70, 100}, {0xB0, 7, 90}, {0x93, 74, 80}, {0xE0, 0x00, 0x40}, {0xD0, 0x30}, {0x80, 70, 0},
      {0x93, 74, 0}, {0xA0, 62, 40}, {0xC0, 5}}, 4},
    {"new amount while held moves the note off too", "Transpose", [](auto& t) { t.setInt1(2); },
     [](auto& t) { t.setInt1(5); },
     {{0x90, 60, 100}, E, {0x80, 60, 64}},
     {{0x90, 62, 100}, {0x80, 65, 64}}, 2},
    {"notes moved past the top key are dropped with their note offs", "Transpose",
     [](auto& t) { t.setInt2(1); }, none,
     {{0x90, 115, 90}, {0x90, 116, 90}, {0xB0, 64, 127}, {0x80, 116, 0}, {0x90, 116, 0}, {0x80, 115, 0}},
     {{0x90, 127, 90}, {0xB0, 64, 127}, {0x80, 127, 0}}, 5},
    {"notes moved below the bottom key are dropped with their note offs", "Transpose",
     [](auto& t) { t.setInt2(-1); }, none,
     {{0x91, 11, 90}, {0x91, 12, 90}, {0x81, 11, 0}, {0x81, 12, 0}},
     {{0x91, 0, 90}, {0x81, 0, 0}}, 4},
    {"absurd amounts from a file drop every note without overflow", "Transpose",
     [](auto& t) { t.setInt2(INT_MAX); t.setInt1(INT_MAX); },
     [](auto& t) { t.setInt2(INT_MIN); t.setInt1(INT_MIN); },
     {{0x90, 0, 1}, {0x90, 127, 1}, {0xB0, 1, 2}, E, {0x90, 0, 1}, {0x90, 127, 1}},
     {{0xB0, 1, 2}}, 4},
    {"octaves and semitones that nearly cancel add up exactly", "Transpose",
     [](auto& t) { t.setInt2(1000); t.setInt1(-11995); }, none,
     {{0x90, 60, 1}},
     {{0x90, 65, 1}}, 1},
    {"converge sends every note to the target", "Converge On Note", none, [](auto& t) { t.setByte1(127); },
     {kMixed[0], kMixed[1], kMixed[2], {0x80, 64, 10}, E, {0x90, 0, 10}},
     {{0x90, 60, 100}, {0xB0, 7, 90}, {0x93, 60, 80}, {0x80, 60, 10}, {0x90, 127, 10}}, 4},
    {"a new note ends the sounding one first", "Make Monophonic", none, none,
     {{0x90, 60, 100}, {0x90, 64, 90}, {0x80, 60, 0}, {0x80, 64, 0}},
     {{0x90, 60, 100}, {0x80, 60, 127}, {0x90, 64, 90}, {0x80, 60, 0}, {0x80, 64, 0}}, 1},
    {"restruck note and other messages pass alone", "Make Monophonic", none, none,
     {{0x90, 60, 100}, {0xB0, 1, 20}, {0x90, 60, 110}, {0xE0, 0, 0x40}, {0x90, 60, 0}, {0x90, 62, 50}},
     {{0x90, 60, 100}, {0xB0, 1, 20}, {0x90, 60, 110}, {0xE0, 0, 0x40}, {0x90, 60, 0}, {0x90, 62, 50}}, 0},
    {"the lowest note is ended like any other", "Make Monophonic", none, none,
     {{0x90, 0, 100}, {0x90, 60, 100}},
     {{0x90, 0, 100}, {0x80, 0, 127}, {0x90, 60, 100}}, 1},
    {"the sounding note is ended on its own channel", "Make Monophonic", none, none,
     {{0x90, 60, 100}, {0x95, 64, 90}, {0x85, 60, 0}, {0x95, 67, 90}},
     {{0x90, 60, 100}, {0x80, 60, 127}, {0x95, 64, 90}, {0x85, 60, 0}, {0x85, 64, 127}, {0x95, 67, 90}}, 2},
    {"notes below the split are filtered out", "Note Filter",
     [](auto& t) { noteFilter(t).filterOutNotesBelow(60); }, none,
     {{0x90, 59, 70}, {0x90, 60, 71}, {0xB0, 7, 90}, {0x80, 59, 0}, {0x90, 60, 0}},
     {{0x90, 60, 71}, {0xB0, 7, 90}, {0x90, 60, 0}}, 2},
    {"a held note keeps its note off when filtered out while held", "Note Filter", none,
     [](auto& t) { noteFilter(t).filterOutNote(50); },
     {{0x92, 50, 80}, E, {0x92, 50, 0}, {0x92, 50, 80}, {0x82, 50, 0}},
     {{0x92, 50, 80}, {0x92, 50, 0}}, 2},
    {"ignore all notes keeps everything else", "Ignore All Notes", none, none,
     kMixed,
     {{0xB0, 7, 90}, {0xE0, 0x00, 0x40}, {0xD0, 0x30}, {0xA0, 62, 40}, {0xC0, 5}}, 4},
};
// clang-format on

} // namespace

class NoteTransformsTest : public QObject
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
    void playingThroughANoteTransform_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kCases)); ++i)
            QTest::newRow(kCases[i].what) << i;
    }

    void playingThroughANoteTransform()
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

    void noteFilterShowsEveryPlayedKey()
    {
        NoteFilter filter(nullptr);
        filter.filterOutNote(59);
        QSignalSpy ons(&filter, &NoteFilter::noteOnReceived);
        QSignalSpy offs(&filter, &NoteFilter::noteOffReceived);
        midiMessage_t on = {0x90, 59, 70}, off = {0x80, 59, 0}, controller = {0xB0, 59, 1};
        midiMessageList_t list{&on, &controller, &off};
        filter.transformWhatYouCan(&list);
        ModelSignalPump::GetInstance()->pumpNow();
        QCOMPARE(list, (midiMessageList_t{&controller}));
        QCOMPARE(ons.count(), 1);
        QCOMPARE(ons.at(0), (QList<QVariant>{59, 70}));
        QCOMPARE(offs.count(), 1);
        QCOMPARE(offs.at(0), (QList<QVariant>{59}));
    }

    void noteFilterEditsKeepTheMapInStep()
    {
        NoteFilter filter(nullptr);
        QCOMPARE(filter.getMapValueAt(0), BYTE(127));
        QSignalSpy changes(&filter, &MIDIDataTransform::mapValueChangedTo);
        filter.filterOutNotesAbove(125);
        filter.filterOutNotesAbove(127);
        filter.filterOutNotesBelow(0);
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
    }

    void noteFilterIsSavedInverseAndReadBack()
    {
        NoteFilter filter(nullptr);
        filter.filterOutNotesBelow(60);
        QDomDocument doc;
        const QDomElement element = filter.toDomElement(doc);
        const QString stored = unescapeValueMapText(element.attribute(QStringLiteral("valueMapping")));
        QCOMPARE(stored, QString(60, QChar(127)) + QString(68, QChar(0)));
        QCOMPARE(filter.getMapValueAt(10), BYTE(0));

        NoteFilter reread(nullptr);
        reread.filterOutNote(100);
        reread.initFromDomElement(element);
        QCOMPARE(reread.getFilteredOutNotes().size(), 60);
        QVERIFY(reread.isNoteBeingFilteredOut(59) && reread.isNoteBeingAccepted(60));
        QVERIFY(reread.isNoteBeingAccepted(100));
        QCOMPARE(reread.getMapValueAt(59), BYTE(0));
        QCOMPARE(reread.getMapValueAt(100), BYTE(127));

        // An element without a map (a damaged file) must not silence every note.
        QDomElement bare = doc.createElement(QStringLiteral("MIDIDataTransform"));
        NoteFilter fresh(nullptr);
        fresh.initFromDomElement(bare);
        QVERIFY(fresh.getFilteredOutNotes().isEmpty());
    }
};

QTEST_GUILESS_MAIN(NoteTransformsTest)
#include "tst_NoteTransforms.moc"
