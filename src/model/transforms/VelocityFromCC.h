#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "Velocity From CC": remembers the value of controller byte1 (default 1) in byte2 (default 64)
/// and gives every note on that velocity. The controller itself passes on. byte2 is an atomic
/// written whole, so the GUI may read or set it while notes are playing; it is saved with the
/// document, so the last value survives a reload. A remembered 0 turns note ons into note offs,
/// which is what the controller asks for.
class VelocityFromCC : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit VelocityFromCC(QObject* parent);

    /// "Velocity from CC" and the controller number.
    QString getDescriptionString() const override;
    /// MIDI thread: no allocation, no blocking. The remembered value is stored without signal and
    /// without marking the transform modified.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;
};
