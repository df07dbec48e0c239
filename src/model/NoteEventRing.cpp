#include "model/NoteEventRing.h"

bool NoteEventRing::push(bool on, BYTE note, BYTE velocity)
{
    const unsigned head = _head.load(std::memory_order_relaxed);
    if (head - _tail.load(std::memory_order_acquire) >= kCapacity) {
        _overflowed.store(true, std::memory_order_release);
        return false;
    }
    _events[head % kCapacity] = (on ? 0x10000u : 0u) | (std::uint32_t(note) << 8) | velocity;
    _head.store(head + 1, std::memory_order_release);
    return true;
}

bool NoteEventRing::pop(Event& event)
{
    const unsigned tail = _tail.load(std::memory_order_relaxed);
    if (tail == _head.load(std::memory_order_acquire))
        return false;
    const std::uint32_t packed = _events[tail % kCapacity];
    _tail.store(tail + 1, std::memory_order_release);
    event = Event{(packed & 0x10000u) != 0, BYTE((packed >> 8) & 0x7F), BYTE(packed & 0x7F)};
    return true;
}
