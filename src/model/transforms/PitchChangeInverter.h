#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "Invert Pitch Change": turns the pitch bend wheel around, 14-bit value p becoming 16383 - p
/// (full down becomes full up, the centre 8192 becomes 8191); nothing to edit.
class PitchChangeInverter : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit PitchChangeInverter(QObject* parent);

    bool hasEditableParameters() const override { return false; }
    /// MIDI thread: no allocation, no blocking.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;
};
