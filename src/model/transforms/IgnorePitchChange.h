#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "Ignore Pitch Change": drops every pitch bend; nothing to edit.
class IgnorePitchChange : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit IgnorePitchChange(QObject* parent);

    bool hasEditableParameters() const override { return false; }
    /// Erases the matching entries; emits handledAMessage once when any was erased. MIDI thread:
    /// no allocation, no blocking.
    void transformWhatYouCan(midiMessageList_t* messages) override;
};
