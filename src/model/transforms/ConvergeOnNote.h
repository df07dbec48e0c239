#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "Converge On Note": every note message (on and off) gets the note number byte1 (default 60).
/// byte1 only ever holds 0 to 127 (its setter refuses anything else), so the rewritten note is
/// always a valid data byte.
class ConvergeOnNote : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit ConvergeOnNote(QObject* parent);

    /// "Converge On " and the target's note name, e.g. "Converge On C4".
    QString getDescriptionString() const override;
    /// MIDI thread: no allocation, no blocking.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;
};
