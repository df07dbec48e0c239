#pragma once

#include "model/ChannelNoteCounts.h"
#include "model/transforms/MIDIDataTransform.h"

/// "Velocity Filter": holds back note ons whose velocity is below the threshold byte1 (default
/// 21) with direction byte2 = 0, or above it with direction 1; a velocity equal to the threshold
/// always passes, and other directions hold nothing back. The note off of a held-back note is
/// dropped too.
///
/// Held-back notes are counted per channel and note in a fixed table (no allocation on the MIDI
/// thread), so two held-back note ons of one note need two note offs to clear, and a held-back
/// note on one channel never swallows the note off of the same note sounding on another channel.
/// A note that was let through keeps its note off even when the threshold changes while it
/// sounds. The counts start empty and are not reset by bypassing or by parameter changes.
class VelocityFilter : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit VelocityFilter(QObject* parent);

    /// "Ignore Velocities Below 21" or "Ignore Velocities Above 100".
    QString getDescriptionString() const override;
    /// Emits handledAMessage() once when it dropped anything. MIDI thread: no allocation, no
    /// blocking.
    void transformWhatYouCan(midiMessageList_t* messages) override;

private:
    ChannelNoteCounts _heldBack;
};
