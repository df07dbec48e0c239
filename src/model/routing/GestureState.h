#pragma once

#include "midi/MIDITypes.h"

#include <array>
#include <cstdint>

/// Which continuous gestures are away from rest, per channel: the sustain, sostenuto and soft
/// pedals (rest at 0), the pitch bend (rest at the centre) and the modulation wheel and breath
/// controller (rest at 0). Fixed size and allocation free, so it lives on the MIDI thread; the
/// owner guards it with its own lock.
class GestureState
{
public:
    enum Gesture : int
    {
        Sustain,
        Sostenuto,
        Soft,
        PitchBend,
        ModWheel,
        Breath,
        kNumGestures
    };

    /// The gesture the message moves, or -1 when it moves none.
    static int gestureOf(const midiMessage_t* message);
    /// True when the message (one that moves a gesture) puts it at rest.
    static bool isAtRest(const midiMessage_t* message, int gesture);
    /// Writes the message that brings the gesture to rest on the channel.
    static void writeRestMessage(midiMessage_t* message, int gesture, BYTE channel);

    /// Records where the message leaves its gesture; returns the gesture, or -1 when it moves none.
    int record(const midiMessage_t* message);
    bool isAwayFromRest(int gesture, BYTE channel) const { return (_away[gesture] >> (channel & 0x0F)) & 1u; }
    bool isAnyAwayFromRest(int gesture) const { return _away[gesture] != 0; }
    bool isAnyAwayFromRest() const;
    void clear() { _away.fill(0); }

private:
    std::array<std::uint16_t, kNumGestures> _away{};
};
