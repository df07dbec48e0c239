#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "Ignore Channel Aftertouch": drops every channel aftertouch message; nothing to edit.
class IgnoreChannelAftertouch : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit IgnoreChannelAftertouch(QObject* parent);

    bool hasEditableParameters() const override { return false; }
    /// Erases the matching entries; emits handledAMessage once when any was erased. MIDI thread:
    /// no allocation, no blocking.
    void transformWhatYouCan(midiMessageList_t* messages) override;
};
