#pragma once

#include "midi/JackMIDIEvent.h"

#include <atomic>
#include <cstddef>
#include <mutex>
#include <vector>

/// What other threads hand to one output port of the native JACK backend, oldest first, for the
/// JACK process thread to take. Senders (any thread except the process thread) queue one at a time
/// under a short lock of their own; the process thread takes without ever waiting. Nothing is
/// dropped: when the ring is full, events wait in an overflow list behind it, which the process
/// thread reads only when the senders' lock is free at that moment.
class JackMIDIEventRing
{
public:
    /// `capacity` is rounded up to a power of two.
    explicit JackMIDIEventRing(std::size_t capacity);

    JackMIDIEventRing(const JackMIDIEventRing&) = delete;
    JackMIDIEventRing& operator=(const JackMIDIEventRing&) = delete;

    /// Queues the event. Returns true when the ring was full (the event went to the overflow list).
    /// Any thread except the process thread; may allocate when the ring is full.
    bool push(const JackMIDIEvent& event);

    /// Takes the oldest event into `event`; false when there is none, or when the rest waits in the
    /// overflow list while a sender holds the lock. Process thread: no allocation, no waiting.
    bool pop(JackMIDIEvent* event);

    /// True when nothing is queued. Any thread.
    bool isEmpty() const;

    /// Forgets everything queued. Only while the process thread does not run.
    void clear();

private:
    std::vector<JackMIDIEvent> _slots;
    std::size_t _mask;
    std::atomic<std::size_t> _head{0}; // next to take (process thread)
    std::atomic<std::size_t> _tail{0}; // next to fill (senders, under _sendLock)
    std::mutex _sendLock;
    std::vector<JackMIDIEvent> _overflow; // under _sendLock
    std::size_t _overflowRead = 0;        // under _sendLock
    std::atomic<std::size_t> _overflowCount{0};
};
