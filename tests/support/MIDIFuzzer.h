#pragma once

#include "midi/MIDITypes.h"

#include <QtGlobal>

#include <vector>

/// Random MIDI traffic for fuzz tests, the same for the same seed: what a faulty cable, a device
/// unplugged mid-dump or a confused program may deliver, mixed with good messages.
class MIDIFuzzer
{
public:
    /// `count` events, each to be delivered as one message: complete channel and system messages,
    /// truncated ones, data bytes without a status byte, data bytes of 128 and above, undefined
    /// statuses (F4, F5, F9, FD), lone F7s, over-long messages, and system exclusive messages both
    /// complete and without their end.
    static std::vector<midiMessage_t> makeEvents(quint32 seed, int count);

    /// True when a synth would take the bytes as exactly one complete, valid message that is not
    /// system exclusive. Written from the MIDI tables, independently of the program's own check.
    static bool isCompleteNonExclusive(const midiMessage_t& bytes);
};
