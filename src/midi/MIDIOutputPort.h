#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// One output client of the system MIDI service, able to connect to one destination port at a time.
/// Made by MIDIBackend::createOutputPort().
class MIDIOutputPort
{
public:
    virtual ~MIDIOutputPort() = default;

    /// Connects to the destination listed at `index` in the catalogue under `portName`; see
    /// MIDIInputPort::openPort for how a changed list is handled. Throws MIDIBackendError on failure;
    /// the object then stays usable and unconnected. GUI thread only.
    virtual void openPort(unsigned int index, const std::string& portName) = 0;

    /// Disconnects. Does nothing when not connected. GUI thread only.
    virtual void closePort() = 0;

    /// True after a successful openPort() and until closePort().
    virtual bool isConnected() const = 0;

    /// Sends the message unchanged; sends nothing when not connected. Any thread, also two at once;
    /// no allocation.
    virtual void sendMessage(const std::vector<unsigned char>& message) = 0;

    /// Sends the message when the backend's clock (MIDIBackend::getCurrentTimeUs) reaches `dueTimeUs`,
    /// after everything handed over before it with an earlier or equal due time. `ownerTag` names the
    /// sender for cancelScheduledNoteOns(). Backends without timed sends (hasTimedSends() false on the
    /// backend) send at once. Any thread; no allocation on the MIDI thread.
    virtual void sendMessageAt(const std::vector<unsigned char>& message, std::int64_t dueTimeUs,
                               std::uint64_t ownerTag)
    {
        (void)dueTimeUs;
        (void)ownerTag;
        sendMessage(message);
    }

    /// Drops the note ons that `ownerTag` handed to sendMessageAt() and that have not gone out yet;
    /// everything else it scheduled (note offs above all) still goes out. Any thread.
    virtual void cancelScheduledNoteOns(std::uint64_t ownerTag) { (void)ownerTag; }
};
