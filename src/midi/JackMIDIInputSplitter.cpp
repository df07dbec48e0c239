#include "midi/JackMIDIInputSplitter.h"

namespace {

constexpr std::uint8_t kSysexStart = 0xF0;
constexpr std::uint8_t kSysexEnd = 0xF7;

bool isRealTime(std::uint8_t byte)
{
    return byte >= 0xF8;
}

} // namespace

void JackMIDIInputSplitter::_handOn(const std::uint8_t* bytes, std::size_t size, Sink sink, void* context)
{
    if (size == 0)
        return;
    // Left out, as by the other backends: MIDI time code, timing clock, active sensing.
    const std::uint8_t status = bytes[0];
    if (status == 0xF1 || status == 0xF8 || status == 0xFE)
        return;
    sink(bytes, size, context);
}

std::size_t JackMIDIInputSplitter::_skipSystemExclusive(const std::uint8_t* bytes, std::size_t from,
                                                        std::size_t size, Sink sink, void* context)
{
    for (std::size_t i = from; i < size; ++i) {
        const std::uint8_t byte = bytes[i];
        if (isRealTime(byte)) {
            _handOn(&bytes[i], 1, sink, context);
        } else if (byte == kSysexEnd) {
            _inSystemExclusive = false;
            return i + 1;
        } else if (byte >= 0x80) {
            // Any other status byte ends the system exclusive message and begins the next one.
            _inSystemExclusive = false;
            return i;
        }
    }
    return size;
}

void JackMIDIInputSplitter::feed(const std::uint8_t* bytes, std::size_t size, Sink sink, void* context)
{
    std::size_t at = 0;
    while (at < size) {
        if (_inSystemExclusive) {
            at = _skipSystemExclusive(bytes, at, size, sink, context);
            continue;
        }
        if (bytes[at] == kSysexStart) {
            _inSystemExclusive = true;
            at = _skipSystemExclusive(bytes, at + 1, size, sink, context);
            continue;
        }
        // One event, one message: the rest of the event is handed on whole, as it came.
        _handOn(&bytes[at], size - at, sink, context);
        return;
    }
}
