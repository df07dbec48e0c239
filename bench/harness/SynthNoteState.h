#pragma once

#include "midi/MIDITypes.h"

#include <QString>

#include <array>

/// What a synthesizer listening on one port would still be sounding: per channel, how many note
/// ons of each note were not yet ended, and whether the sustain pedal is down. A note on with
/// velocity 0 ends a note like a note off; All Notes Off (controller 123) ends every note of its
/// channel. Fixed size, no allocation while hearing; one thread hears at a time.
class SynthNoteState
{
public:
    /// Takes in one message sent to the port.
    void heard(const midiMessage_t& message);
    /// Notes begun and not ended, over all channels (a note begun twice counts twice).
    int notesSounding() const;
    /// Channels whose sustain pedal is down.
    int pedalsDown() const;
    /// Note ons heard so far.
    long noteOnsHeard() const { return _noteOns; }
    /// What is left, as "ch1 note 60, ch2 pedal"; empty when nothing is.
    QString describe() const;
    /// Forgets everything.
    void clear();

private:
    std::array<std::array<int, 128>, 16> _notes{};
    std::array<bool, 16> _pedals{};
    long _noteOns = 0;
};
