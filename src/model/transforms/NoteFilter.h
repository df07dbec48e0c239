#pragma once

#include "model/ChannelNoteCounts.h"
#include "model/NoteEventRing.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QList>
#include <array>
#include <atomic>
#include <bitset>

/// "Note Filter": drops the note messages of the notes the user filtered out.
///
/// The filter is one flag per note, each an atomic, set on the GUI thread and read on the MIDI
/// thread. The value map mirrors it for the editor: 0 for a filtered-out note, 127 for an
/// accepted one, and every change reaches the editor as mapValueChangedTo. In the setup file the
/// stored map holds the opposite sense (127 for each filtered-out note, 0 otherwise).
///
/// A note on that passed keeps its note off: the filter counts, per channel and note, the note
/// ons it let through, and a note off that matches one always goes out, even when the note was
/// filtered out while it was held. Other note offs are judged by the current filter.
class NoteFilter : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit NoteFilter(QObject* parent);

    /// The note (0 to 127) is being filtered out. Any thread.
    bool isNoteBeingFilteredOut(BYTE note) const;
    /// The opposite of isNoteBeingFilteredOut. Any thread.
    bool isNoteBeingAccepted(BYTE note) const { return !isNoteBeingFilteredOut(note); }
    /// The filtered-out notes in ascending order. GUI thread only.
    QList<BYTE> getFilteredOutNotes() const;

    /// Filters the note out when it is accepted (map entry 0). Notes above 127 are ignored.
    /// GUI thread only.
    void filterOutNote(BYTE note);
    /// Accepts the note when it is filtered out (map entry 127). GUI thread only.
    void acceptNote(BYTE note);
    /// Filters the note out when accepted, else accepts it. GUI thread only.
    void toggleNoteAcceptance(BYTE note);

    /// Writes the base element, with the stored map holding 127 for each filtered-out note and
    /// 0 for the others. The in-memory map is left alone. GUI thread only.
    QDomElement toDomElement(QDomDocument& doc) override;
    /// Reads the base fields and rebuilds the filter from the stored map: a note is filtered out
    /// when its stored entry is 127. Entries a short or missing map does not give keep their
    /// current state. GUI thread only.
    void initFromDomElement(const QDomElement& element) override;

    /// Reports each note message with noteOnReceived/noteOffReceived (through the pump, on the
    /// GUI thread), then drops those of filtered-out notes. MIDI thread: no allocation, no blocking.
    void transformWhatYouCan(midiMessageList_t* messages) override;

    void emitPendingSignals() override;
    bool hasPumpedListeners() const override;
    void pumpStarted() override;

public slots:
    void acceptAllNotes();
    void filterOutAllNotes();
    /// Filters out every note below the given one; the note itself is left alone.
    void filterOutNotesBelow(BYTE noteNum);
    /// Filters out every note above the given one; the note itself is left alone.
    void filterOutNotesAbove(BYTE noteNum);

signals:
    void noteOnReceived(int noteNum, int velocity);
    void noteOffReceived(int noteNum);

protected:
    void connectNotify(const QMetaMethod& signal) override;

private:
    /// The stored-sense map text: 127 for a filtered-out note, 0 for an accepted one.
    QString _storedMapText() const;

    std::array<std::atomic<bool>, 128> _filteredOut{};
    /// Note ons let through and not yet ended. MIDI thread.
    ChannelNoteCounts _passedNoteOns;
    /// Notes seen, for the pump. Written under the patch's message lock.
    NoteEventRing _noteEvents;
    /// Notes views were told are on. GUI thread.
    std::bitset<128> _announcedNotes;
};
