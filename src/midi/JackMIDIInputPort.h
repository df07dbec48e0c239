#pragma once

#include "midi/JackMIDIInputSplitter.h"
#include "midi/MIDIInputPort.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class JackMIDIBackend;
typedef struct _jack_port jack_port_t;

/// One input of the native JACK backend: a JACK input port of the program's client, connected to
/// the source port it listens to. Its messages are handed to the callback inside the JACK process
/// cycle. Deleting it closes it.
class JackMIDIInputPort : public MIDIInputPort
{
public:
    explicit JackMIDIInputPort(JackMIDIBackend& backend);
    ~JackMIDIInputPort() override;

    JackMIDIInputPort(const JackMIDIInputPort&) = delete;
    JackMIDIInputPort& operator=(const JackMIDIInputPort&) = delete;

    /// Makes the JACK port and connects the source named `portName` to it. GUI thread only.
    void openPort(unsigned int index, const std::string& portName) override;
    /// Disconnects and removes the JACK port; a cycle still handing on a message has ended when
    /// this returns. GUI thread only.
    void closePort() override;
    bool isConnected() const override { return _connected.load(); }
    void setCallback(MIDIInputCallback callback, void* userData) override;
    void cancelCallback() override;

    // For the backend (GUI thread only).
    /// The source this port listens to; empty when closed.
    const std::string& targetName() const { return _targetName; }
    /// The server went away: the JACK port no longer exists.
    void forgetJackPort();
    /// Makes the JACK port again on a new client. False when the server refused.
    bool remakeJackPort();
    /// Connects the source again when it is there and not connected. True when it was connected now.
    bool reconnectIfNeeded();

    // For the process cycle (process thread only: no allocation, no blocking).
    void beginCycle(std::uint32_t frames);
    /// Offset in the cycle of the next event not yet handled; false when none is left.
    bool nextEventOffset(std::uint32_t* offset);
    /// Hands the next event's messages on; `frame` is its place on the server's clock.
    void handleNextEvent(std::int64_t frame, std::uint32_t sampleRate);

private:
    static void _handOn(const std::uint8_t* bytes, std::size_t size, void* context);

    JackMIDIBackend& _backend;
    std::string _targetName;
    std::atomic<jack_port_t*> _port{nullptr};
    std::atomic<bool> _connected{false};
    std::atomic<MIDIInputCallback> _callback{nullptr};
    std::atomic<void*> _userData{nullptr};

    // Process thread only.
    void* _buffer = nullptr;
    std::uint32_t _eventCount = 0;
    std::uint32_t _nextEvent = 0;
    JackMIDIInputSplitter _splitter;
    std::vector<unsigned char> _message;
    std::int64_t _previousFrame = -1;
    double _timeStamp = 0.0;
};
