#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "Ignore CC": drops the control changes of one controller number (byte1, default 7) on every
/// channel.
class IgnoreCC : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit IgnoreCC(QObject* parent);

    /// "Ignore CC" byte1.
    QString getDescriptionString() const override;
    /// Erases the matching entries; emits handledAMessage once when any was erased. MIDI thread:
    /// no allocation, no blocking.
    void transformWhatYouCan(midiMessageList_t* messages) override;
};
