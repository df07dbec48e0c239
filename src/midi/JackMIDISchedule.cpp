#include "midi/JackMIDISchedule.h"

JackMIDISchedule::JackMIDISchedule(std::size_t capacity) : _events(capacity < 1 ? 1 : capacity) {}

bool JackMIDISchedule::insert(const JackMIDIEvent& event)
{
    if (_count == _events.size())
        return false;
    // Most messages come in due order and join at the back; a shorter delay on a shared port
    // moves in front of longer ones.
    std::size_t position = _count;
    while (position > 0 && _events[_at(position - 1)].dueFrame > event.dueFrame) {
        _events[_at(position)] = _events[_at(position - 1)];
        --position;
    }
    _events[_at(position)] = event;
    ++_count;
    return true;
}

void JackMIDISchedule::popFront()
{
    _first = (_first + 1) % _events.size();
    --_count;
}

void JackMIDISchedule::cancelNoteOns(std::uint64_t ownerTag)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < _count; ++i) {
        const JackMIDIEvent& event = _events[_at(i)];
        if (event.ownerTag == ownerTag && event.isNoteOn())
            continue;
        if (kept != i)
            _events[_at(kept)] = event;
        ++kept;
    }
    _count = kept;
}

bool JackMIDISchedule::hasAnythingButNoteOns() const
{
    for (std::size_t i = 0; i < _count; ++i) {
        if (!_events[_at(i)].isNoteOn())
            return true;
    }
    return false;
}

void JackMIDISchedule::clear()
{
    _first = 0;
    _count = 0;
}
