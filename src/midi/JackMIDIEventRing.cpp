#include "midi/JackMIDIEventRing.h"

namespace {

std::size_t powerOfTwoAtLeast(std::size_t value)
{
    std::size_t result = 1;
    while (result < value)
        result <<= 1;
    return result;
}

} // namespace

JackMIDIEventRing::JackMIDIEventRing(std::size_t capacity)
    : _slots(powerOfTwoAtLeast(capacity < 2 ? 2 : capacity)), _mask(_slots.size() - 1)
{
}

bool JackMIDIEventRing::push(const JackMIDIEvent& event)
{
    std::lock_guard<std::mutex> lock(_sendLock);
    const std::size_t tail = _tail.load(std::memory_order_relaxed);
    const std::size_t head = _head.load(std::memory_order_acquire);
    // While anything waits in the overflow list, later events queue behind it: order is kept.
    if (_overflowCount.load(std::memory_order_relaxed) == 0 && tail - head < _slots.size()) {
        _slots[tail & _mask] = event;
        _tail.store(tail + 1, std::memory_order_release);
        return false;
    }
    _overflow.push_back(event);
    _overflowCount.fetch_add(1, std::memory_order_release);
    return true;
}

bool JackMIDIEventRing::pop(JackMIDIEvent* event)
{
    const std::size_t head = _head.load(std::memory_order_relaxed);
    if (head != _tail.load(std::memory_order_acquire)) {
        *event = _slots[head & _mask];
        _head.store(head + 1, std::memory_order_release);
        return true;
    }
    if (_overflowCount.load(std::memory_order_acquire) == 0)
        return false;
    // The overflow list holds the oldest events once the ring is empty. Taken only when no sender is
    // queuing right now; otherwise they wait for the next look.
    std::unique_lock<std::mutex> lock(_sendLock, std::try_to_lock);
    if (!lock.owns_lock())
        return false;
    // Between the look at the tail above and taking the lock, senders may have filled the ring and
    // then begun the overflow list: the ring's events are older, so they go first.
    if (head != _tail.load(std::memory_order_acquire)) {
        *event = _slots[head & _mask];
        _head.store(head + 1, std::memory_order_release);
        return true;
    }
    if (_overflowRead >= _overflow.size())
        return false;
    *event = _overflow[_overflowRead++];
    if (_overflowRead == _overflow.size()) {
        _overflow.clear(); // keeps its memory: nothing is freed here
        _overflowRead = 0;
        _overflowCount.store(0, std::memory_order_release);
    }
    return true;
}

bool JackMIDIEventRing::isEmpty() const
{
    return _head.load(std::memory_order_acquire) == _tail.load(std::memory_order_acquire) &&
           _overflowCount.load(std::memory_order_acquire) == 0;
}

void JackMIDIEventRing::clear()
{
    std::lock_guard<std::mutex> lock(_sendLock);
    _head.store(_tail.load(std::memory_order_relaxed), std::memory_order_release);
    _overflow.clear();
    _overflowRead = 0;
    _overflowCount.store(0, std::memory_order_release);
}
