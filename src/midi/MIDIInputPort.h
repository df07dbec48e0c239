#pragma once

#include <string>
#include <vector>

/// What an input port calls for each incoming message: the seconds since the previous message on the
/// port (0 for the first), the message, and the user data given to setCallback. Runs on the MIDI
/// service's receive thread; the message is valid only during the call.
typedef void (*MIDIInputCallback)(double timeStamp, std::vector<unsigned char>* message, void* userData);

/// One input client of the system MIDI service, able to connect to one source port at a time.
/// Made by MIDIBackend::createInputPort(). The service's default filter applies: system exclusive,
/// MIDI time code, timing clock and active sensing messages never reach the callback.
/// Deleting the object closes the port and waits for a callback that is running to return.
class MIDIInputPort
{
public:
    virtual ~MIDIInputPort() = default;

    /// Connects to the source listed at `index` in the catalogue under `portName` (the name's bytes
    /// exactly as the service reported them). When the service's list has changed since the catalogue
    /// was made, the source is found by its name, so a port is never confused with another one that
    /// took its place in the list. Throws MIDIBackendError when the source is gone or the service
    /// refuses; the object then stays usable and unconnected. GUI thread only.
    virtual void openPort(unsigned int index, const std::string& portName) = 0;

    /// Disconnects. Does nothing when not connected. GUI thread only.
    virtual void closePort() = 0;

    /// True after a successful openPort() and until closePort().
    virtual bool isConnected() const = 0;

    /// Installs the function called for each incoming message. GUI thread only.
    virtual void setCallback(MIDIInputCallback callback, void* userData) = 0;

    /// Removes the callback. A call already running on the receive thread is not waited for.
    /// GUI thread only.
    virtual void cancelCallback() = 0;
};
