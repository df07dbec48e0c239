#pragma once

#include "midi/JackMIDIEvent.h"

#include <cstddef>
#include <vector>

/// The messages one output port of the native JACK backend holds for a later frame: delayed
/// messages, and messages that did not fit into a period's buffer. Kept in due order; messages due
/// at the same frame keep the order in which they came. Fixed capacity, made once.
/// Process thread only (no allocation, no locking).
class JackMIDISchedule
{
public:
    explicit JackMIDISchedule(std::size_t capacity);

    /// Adds the message behind every message due at or before its frame. False when full.
    bool insert(const JackMIDIEvent& event);
    bool isEmpty() const { return _count == 0; }
    std::size_t count() const { return _count; }
    /// The message due first. Only when not empty.
    const JackMIDIEvent& front() const { return _events[_first]; }
    /// Removes the message due first. Only when not empty.
    void popFront();
    /// Removes the note ons scheduled by `ownerTag`; everything else stays, in order.
    void cancelNoteOns(std::uint64_t ownerTag);
    /// True when a message other than a note on is waiting (a note off must still go out).
    bool hasAnythingButNoteOns() const;
    void clear();

private:
    std::size_t _at(std::size_t position) const { return (_first + position) % _events.size(); }

    std::vector<JackMIDIEvent> _events;
    std::size_t _first = 0;
    std::size_t _count = 0;
};
