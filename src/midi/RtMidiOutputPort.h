#pragma once

#include "midi/MIDIOutputPort.h"
#include "midi/RtMidiErrorCollector.h"

#include <RtMidi.h>

#include <atomic>
#include <cstdint>
#include <memory>

/// An output client of RtMidi ("RtMidi Output Client") on the service the backend chose.
class RtMidiOutputPort : public MIDIOutputPort
{
public:
    /// Makes the client; throws MIDIBackendError when the service refuses or cannot be reached.
    explicit RtMidiOutputPort(RtMidi::Api api);
    /// Closes the port and hands the client object to the graveyard, which deletes it once no
    /// process cycle can still be reading its buffers.
    ~RtMidiOutputPort() override;

    void openPort(unsigned int index, const std::string& portName) override;
    void closePort() override;
    bool isConnected() const override;
    void sendMessage(const std::vector<unsigned char>& message) override;

private:
    // Declared first so that it outlives the RtMidi object that reports to it.
    RtMidiErrorCollector _errors;
    std::unique_ptr<RtMidiOut> _midiOut;
    // RtMidi's send is not safe for two threads at once (JACK writes a single-writer ring buffer,
    // ALSA a shared encoder), yet the GUI thread and one MIDI thread per input port all send. The
    // lock is held only for one send, which neither allocates nor blocks, so a spin lock serves.
    std::atomic_flag _sendLock = ATOMIC_FLAG_INIT;
    // RtMidiJackWatch::losses() when the client was made; a JACK client whose server let go of the
    // program since is left alone (see RtMidiJackWatch).
    int _madeAt = 0;
    bool _onJack = false; // the library's client is a JACK client: sends are carried by cycles
    // On JACK: the watching client's cycle count just after the last send (0: nothing sent since
    // the last close), so closing waits only when something may still be on its way.
    std::atomic<std::uint64_t> _lastSendCycle{0};
    // Cycles after the last send until the library's client has written it and the destination
    // has read it, whatever the order of clients in the graph; and what closing waits at most.
    static constexpr std::uint64_t kCyclesToCarry = 4;
    static constexpr int kLongestCarryWaitMs = 2000;

    bool _isStale() const;
};
