#include "model/MIDIMessageValidity.h"

#include <cstddef>

namespace {

// The number of bytes a message of this status has, status included; 0 when the status is not one
// that starts a message of fixed length (undefined, a lone end of exclusive, or exclusive itself).
int fixedLengthFor(BYTE status)
{
    if (status < 0x80)
        return 0;
    if (status < 0xC0)
        return 3; // note off, note on, polyphonic aftertouch, control change
    if (status < 0xE0)
        return 2; // program change, channel aftertouch
    if (status < 0xF0)
        return 3; // pitch bend
    switch (status) {
    case 0xF1: // time code quarter frame
    case 0xF3: // song select
        return 2;
    case 0xF2: // song position
        return 3;
    case 0xF6: // tune request
    case 0xF8: // timing clock
    case 0xFA: // start
    case 0xFB: // continue
    case 0xFC: // stop
    case 0xFE: // active sensing
    case 0xFF: // reset
        return 1;
    default: // F0 (variable), F4, F5, F9, FD (undefined), F7 (only ends an exclusive message)
        return 0;
    }
}

} // namespace

bool isCompleteMIDIMessage(const midiMessage_t* message)
{
    if (!message || message->empty())
        return false;
    const BYTE status = message->front();
    const std::size_t size = message->size();
    if (status == 0xF0) {
        if (size < 2 || message->back() != 0xF7)
            return false;
        for (std::size_t i = 1; i + 1 < size; ++i) {
            if ((*message)[i] & 0x80)
                return false;
        }
        return true;
    }
    const int length = fixedLengthFor(status);
    if (length == 0 || size != static_cast<std::size_t>(length))
        return false;
    for (std::size_t i = 1; i < size; ++i) {
        if ((*message)[i] & 0x80)
            return false;
    }
    return true;
}

bool isChannelMessage(const midiMessage_t* message)
{
    return message && !message->empty() && message->front() >= 0x80 && message->front() < 0xF0;
}

bool isSystemMessage(const midiMessage_t* message)
{
    return message && !message->empty() && message->front() >= 0xF0;
}

bool isSystemExclusiveMessage(const midiMessage_t* message)
{
    return message && !message->empty() && message->front() == 0xF0;
}
