#pragma once

#include "midi/MIDITypes.h"

#include <array>
#include <atomic>
#include <cstdint>

/// A count per channel and note number, for the note types that must pair a note off with what
/// happened to its note on: fixed size, so counting never allocates, and each count an atomic
/// read and written whole. Counting runs on the MIDI thread under the patch's message lock (a count
/// is read and then written, so two threads must never count at once). A count saturates instead
/// of wrapping.
class ChannelNoteCounts
{
public:
    /// Adds one for the channel (0 to 15) and note (0 to 127); other values are masked into range.
    void add(BYTE channel, BYTE note);
    /// Takes one away and answers true when the count was above 0; false and no change otherwise.
    bool takeOne(BYTE channel, BYTE note);

private:
    static std::size_t _slot(BYTE channel, BYTE note)
    {
        return std::size_t(channel & 0x0F) * 128 + (note & 0x7F);
    }

    std::array<std::atomic<std::uint16_t>, 16 * 128> _counts{};
};
