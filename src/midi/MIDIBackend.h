#pragma once

#include "midi/MIDIInputPort.h"
#include "midi/MIDIOutputPort.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/// The program's one door to the system MIDI service. Lists the ports and makes the port objects
/// that the port I/O manager opens. The program uses RtMidiBackend; tests install a fake before the
/// port catalogue is first used. Every method runs on the GUI thread.
class MIDIBackend
{
public:
    virtual ~MIDIBackend() = default;

    /// Short name of the service in use: "ALSA", "JACK", "none" when no service could be reached.
    virtual QString getApiName() const = 0;

    /// Names of the sources the service offers now, in its port order (the catalogue's input ports).
    /// Throws MIDIBackendError when the service cannot be asked.
    virtual std::vector<std::string> getInputPortNames() = 0;

    /// Names of the destinations the service offers now, in its port order. Throws MIDIBackendError.
    virtual std::vector<std::string> getOutputPortNames() = 0;

    /// True when the backend calls MIDIPortInfo::requestPortRescan() itself whenever ports come, go
    /// or are renamed; the catalogue then does not poll the service.
    virtual bool reportsPortChanges() const { return false; }

    /// A new, unconnected input client. Throws MIDIBackendError when the service refuses to make one.
    virtual std::unique_ptr<MIDIInputPort> createInputPort() = 0;

    /// A new, unconnected output client. Throws MIDIBackendError when the service refuses to make one.
    virtual std::unique_ptr<MIDIOutputPort> createOutputPort() = 0;

    /// True when output ports place messages at a moment given on the backend's clock
    /// (MIDIOutputPort::sendMessageAt); delayed patches then hand their messages over at once.
    /// False: delays are kept by timers on the GUI thread. Any thread.
    virtual bool hasTimedSends() const { return false; }

    /// The backend's clock in microseconds. On the backend's MIDI thread, while an incoming message
    /// is handled, the moment that message arrived; elsewhere, now. Any thread; no allocation.
    virtual std::int64_t getCurrentTimeUs() const { return 0; }

    /// Lets go of the MIDI service at the end of a run, once every port is closed, so the service
    /// hears that the program leaves rather than finding out later (a JACK server in synchronous
    /// mode stalls its whole graph while it waits for a client that is gone). Nothing is opened
    /// afterwards. GUI thread only.
    virtual void closeService() {}

    /// The backend in use: the installed one, else the one MIDIBackendChoice makes on the first call.
    /// It lives for the whole process.
    static MIDIBackend* GetInstance();

    /// Makes `backend` the one GetInstance() returns. Only possible before the first GetInstance()
    /// call (that is, before the port catalogue is first used); returns false, and drops `backend`,
    /// when it is too late.
    static bool installBackend(std::unique_ptr<MIDIBackend> backend);

private:
    static MIDIBackend* _instance;
    static bool _instanceHandedOut;
};
