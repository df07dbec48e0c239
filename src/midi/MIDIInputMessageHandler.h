#pragma once

#include "midi/MIDITypes.h"

/// Receives the messages of one input port from the port I/O manager. The route's handler is the one
/// the program uses; its user data is the route.
class MIDIInputMessageHandler
{
public:
    explicit MIDIInputMessageHandler(void* userData) : _userData(userData) {}
    virtual ~MIDIInputMessageHandler() = default;

    /// The pointer given to the constructor.
    void* getUserData() const { return _userData; }

    /// Called for every message of the port, with the seconds since the previous message on the port.
    /// MIDI thread: no allocation, no blocking beyond the patch locks. The message belongs to the
    /// library and is shared by every handler of the port: keep or change only a copy.
    virtual void handleMIDIInputMessage(double timeStamp, midiMessage_t* message) = 0;

    /// The port has vanished from the system; the handler stays registered and is called again
    /// when the port returns. The notes begun from the port will never get their note offs.
    /// GUI thread only, never during a delivery to this handler.
    virtual void inputPortVanished() {}

private:
    void* _userData;
};
