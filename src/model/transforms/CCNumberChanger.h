#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "Change CC#": gives control changes of one controller number (byte1, default 11) another
/// number (byte2, default 7); the value is unchanged.
class CCNumberChanger : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit CCNumberChanger(QObject* parent);

    /// "Change CC" byte1 " to CC" byte2.
    QString getDescriptionString() const override;
    /// MIDI thread: no allocation, no blocking.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;
};
