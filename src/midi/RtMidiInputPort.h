#pragma once

#include "midi/MIDIInputPort.h"
#include "midi/RtMidiErrorCollector.h"

#include <RtMidi.h>

#include <memory>

/// An input client of RtMidi ("RtMidi Input Client", queue limit 100) on the service the backend chose.
class RtMidiInputPort : public MIDIInputPort
{
public:
    /// Makes the client; throws MIDIBackendError when the service refuses or cannot be reached.
    explicit RtMidiInputPort(RtMidi::Api api);
    /// Closes the port and hands the client object to the graveyard, which deletes it once no
    /// process cycle can still be running in it.
    ~RtMidiInputPort() override;

    void openPort(unsigned int index, const std::string& portName) override;
    void closePort() override;
    bool isConnected() const override;
    void setCallback(MIDIInputCallback callback, void* userData) override;
    void cancelCallback() override;

private:
    // Declared first so that it outlives the RtMidi object that reports to it.
    RtMidiErrorCollector _errors;
    std::unique_ptr<RtMidiIn> _midiIn;
    bool _hasCallback = false;
    // RtMidiJackWatch::losses() when the client was made; a JACK client whose server let go of the
    // program since is left alone (see RtMidiJackWatch).
    int _madeAt = 0;

    bool _isStale() const;
};
