#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "Ignore All Controllers": drops every control change; nothing to edit.
class CCBlocker : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit CCBlocker(QObject* parent);

    bool hasEditableParameters() const override { return false; }
    /// Erases the matching entries; emits handledAMessage once when any was erased. MIDI thread:
    /// no allocation, no blocking.
    void transformWhatYouCan(midiMessageList_t* messages) override;
};
