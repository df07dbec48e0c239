#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "Ignore All Notes": drops every note message (note on, note off, and note on with velocity 0)
/// and nothing else.
class NoteBlocker : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit NoteBlocker(QObject* parent);

    bool hasEditableParameters() const override { return false; }
    /// Emits handledAMessage() once when it dropped anything. MIDI thread: no allocation, no
    /// blocking.
    void transformWhatYouCan(midiMessageList_t* messages) override;
};
