#pragma once

#include "midi/MIDITypes.h"

/// Looks at every incoming message of every input port before the port's handlers do, and may
/// keep it from them (a set list's song-change triggers). Installed on the port I/O manager.
class MIDIInputInterceptor
{
public:
    virtual ~MIDIInputInterceptor() = default;

    /// True when the message is consumed: no handler of the port gets it.
    /// MIDI thread: no allocation, no blocking.
    virtual bool interceptMIDIInputMessage(int inputPortIndex, double timeStamp,
                                           const midiMessage_t* message) = 0;
};
