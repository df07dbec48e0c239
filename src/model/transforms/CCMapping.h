#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "CC Map": sends the values of one controller (byte1, default 1) through the value map (the
/// identity at first).
class CCMapping : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit CCMapping(QObject* parent);

    /// "CC" byte1 " Map".
    QString getDescriptionString() const override;
    /// Replaces the value v of a matching control change by map entry v and reports v through
    /// lastValueReceived. MIDI thread: no allocation, no blocking.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;
};
