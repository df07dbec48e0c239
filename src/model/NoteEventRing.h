#pragma once

#include "midi/MIDITypes.h"

#include <array>
#include <atomic>
#include <cstdint>

/// A bounded single-producer, single-consumer ring of note on and note off events (note number and
/// velocity), from the MIDI thread to the GUI thread. Fixed size, never allocates, never blocks.
/// When the ring is full an event is dropped and the ring remembers that it overflowed, so the
/// consumer knows to resynchronise from a complete record instead of trusting the events.
class NoteEventRing
{
public:
    static constexpr unsigned kCapacity = 256;

    struct Event
    {
        bool on;
        BYTE note;
        BYTE velocity;
    };

    /// Adds an event; false (and marked as overflowed) when full. One producer at a time.
    /// MIDI thread: no allocation, no blocking.
    bool push(bool on, BYTE note, BYTE velocity);
    /// Takes the oldest event; false when empty. Consumer (GUI thread) only.
    bool pop(Event& event);
    /// True once after an event was dropped. Consumer only.
    bool takeOverflow() { return _overflowed.exchange(false, std::memory_order_acq_rel); }
    /// Forgets every event waiting. Consumer only.
    void drain() { _tail.store(_head.load(std::memory_order_acquire), std::memory_order_release); }

private:
    std::array<std::uint32_t, kCapacity> _events{};
    std::atomic<unsigned> _head{0}; // next slot the producer writes
    std::atomic<unsigned> _tail{0}; // next slot the consumer reads
    std::atomic<bool> _overflowed{false};
};
