#pragma once

#include "model/transforms/MIDIDataTransform.h"

#include <atomic>

/// "Transpose": moves every note message (on and off) by int2 octaves plus int1 semitones.
///
/// A note whose moved number would fall outside 0 to 127 is dropped, note on and note off alike,
/// so no message ever leaves with a data byte above 127 and a dropped note on never leaves a
/// lone note off behind (or the other way round) as long as the amount stays the same. When the
/// amount changes while a note is held, its note off is moved by the new amount, like any other
/// note message; ending the notes that actually went out is the patch's business.
class NoteTransposer : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit NoteTransposer(QObject* parent);

    /// int1. Any thread.
    int getSemitoneTransposeAmount() const { return getInt1(); }
    /// int2. Any thread.
    int getOctaveTransposeAmount() const { return getInt2(); }

    /// Reads the base fields, then recomputes the total amount. GUI thread only.
    void initFromDomElement(const QDomElement& element) override;
    /// "Transpose Up 1 Octave and 2 Semitones" and the like, "(no transpose)" for none.
    QString getDescriptionString() const override;
    /// Moves each note message; drops those that would leave 0 to 127. MIDI thread: no
    /// allocation, no blocking.
    void transformWhatYouCan(midiMessageList_t* messages) override;

private slots:
    void _int1ChangedToSLOT(int newVal);
    void _int2ChangedToSLOT(int newVal);

private:
    /// Recomputes the total from int1 and int2. GUI thread only.
    void _setNumSemitonesOfTranspose();

    /// int2 × 12 + int1, held within ±256: any amount beyond ±127 already takes every note out
    /// of range, and the bound keeps the sum with a note number from overflowing.
    std::atomic<int> _numSemitonesOfTranspose{0};
};
