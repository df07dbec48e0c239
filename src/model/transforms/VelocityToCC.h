#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "Velocity To CC": for every note on, adds a control change with controller number byte1
/// (default 11) and the note's velocity as value, on the note's channel. The note on itself is
/// unchanged; the controller goes out just before it.
class VelocityToCC : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit VelocityToCC(QObject* parent);

    /// "Copy Velocity to CC" and the controller number.
    QString getDescriptionString() const override;
    /// MIDI thread: no allocation (the output message has room for three bytes), no blocking.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;
};
