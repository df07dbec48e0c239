#pragma once

#include "model/transforms/MIDIDataTransform.h"

#include <array>
#include <cstddef>

/// Base of the types that add a control change to the message list for a message they see
/// (CC Copy, Pitch Change To CC, Channel Aftertouch To CC).
///
/// Every added message gets a buffer of its own from a small pool reserved at construction, so
/// two added entries never point at one buffer, and filling one never allocates. The pool is
/// released at the start of each pass. A pass adds at most kAddedMessageLimit messages; past
/// that, a further triggering message passes unchanged without an added message (only a long
/// chain of copying transforms can put that many triggering messages into one list).
///
/// A pass offers the transform only the entries that were in the list when the pass began,
/// never the messages it added itself, so a type whose added message matches its own trigger
/// still ends its pass. The pool is only released by transformWhatYouCan, so a subclass's
/// transformThisIfYouCan is meant to run inside such a pass, as the patch calls it.
class MessageAddingTransform : public MIDIDataTransform
{
    Q_OBJECT

public:
    static constexpr std::size_t kAddedMessageLimit = 8;

    MessageAddingTransform(QString name, QObject* parent);

    /// Releases the pool, then offers each entry that was in the list when the pass began to
    /// transformThisIfYouCan. MIDI thread: no allocation, no blocking.
    void transformWhatYouCan(midiMessageList_t* messages) override;

protected:
    /// Fills the next free buffer with a control change on the channel (index 0 to 15) with the
    /// controller number and value, each kept to seven bits, and appends it to the list. False,
    /// with the list unchanged, when the pass has used up the pool. MIDI thread: no allocation
    /// in the buffer (the list itself is the patch's, reserved by it).
    bool _appendControlChange(midiMessageList_t* messages, BYTE channel, BYTE controller, BYTE value);

private:
    std::array<midiMessage_t, kAddedMessageLimit> _addedMessages;
    std::size_t _addedCount = 0;
};
