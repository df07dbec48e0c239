#pragma once

#include <cstddef>
#include <cstdint>

/// Cuts what one JACK input port receives into the messages handed to the routing, and keeps the
/// input from going deaf: a system exclusive message in progress ends at its F7 or at the next status
/// byte that is not real-time (as MIDI 1.0 says), and the message that ended it is handed on as
/// usual. Real-time bytes inside a system exclusive message are handed on on their own. Like the
/// other backends it leaves out system exclusive, MIDI time code, timing clock and active sensing.
/// Anything else, well-formed or not, is handed on unchanged for the port I/O manager to judge.
/// One per input port; process thread only (no allocation).
class JackMIDIInputSplitter
{
public:
    /// Receives one message: its bytes and their count.
    using Sink = void (*)(const std::uint8_t* bytes, std::size_t size, void* context);

    /// Feeds the bytes of one JACK event; calls `sink` for every message to hand on, in order.
    void feed(const std::uint8_t* bytes, std::size_t size, Sink sink, void* context);

    /// True while a system exclusive message has begun and not ended.
    bool isInSystemExclusive() const { return _inSystemExclusive; }
    /// Forgets a system exclusive message in progress (the port was reconnected).
    void reset() { _inSystemExclusive = false; }

private:
    /// Skips system exclusive data from `from`; returns where the next message begins (size: none).
    std::size_t _skipSystemExclusive(const std::uint8_t* bytes, std::size_t from, std::size_t size, Sink sink,
                                     void* context);
    static void _handOn(const std::uint8_t* bytes, std::size_t size, Sink sink, void* context);

    bool _inSystemExclusive = false;
};
