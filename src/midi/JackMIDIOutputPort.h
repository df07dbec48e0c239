#pragma once

#include "midi/JackMIDIEventRing.h"
#include "midi/JackMIDISchedule.h"
#include "midi/MIDIOutputPort.h"

#include <atomic>
#include <cstdint>
#include <string>

class JackMIDIBackend;
typedef struct _jack_port jack_port_t;

/// One output of the native JACK backend: a JACK output port of the program's client, connected to
/// the destination it sends to. Messages sent inside the process cycle (the routing of incoming
/// messages) are written into this cycle's buffer at the frame of the message that caused them;
/// messages from other threads queue in a ring and go out at the start of the next cycle, before
/// anything the cycle routes. Messages with a due time wait in a schedule for their frame; messages
/// that do not fit into a cycle's buffer wait for the next one. Nothing is dropped while connected.
class JackMIDIOutputPort : public MIDIOutputPort
{
public:
    explicit JackMIDIOutputPort(JackMIDIBackend& backend);
    ~JackMIDIOutputPort() override;

    JackMIDIOutputPort(const JackMIDIOutputPort&) = delete;
    JackMIDIOutputPort& operator=(const JackMIDIOutputPort&) = delete;

    /// Makes the JACK port and connects it to the destination `portName`. GUI thread only.
    void openPort(unsigned int index, const std::string& portName) override;
    /// Lets what was handed over go out (up to the longest delay), then disconnects and removes
    /// the JACK port. GUI thread only.
    void closePort() override;
    bool isConnected() const override { return _connected.load(); }
    /// Any thread. Process thread: no allocation, no blocking.
    void sendMessage(const std::vector<unsigned char>& message) override;
    void sendMessageAt(const std::vector<unsigned char>& message, std::int64_t dueTimeUs,
                       std::uint64_t ownerTag) override;
    void cancelScheduledNoteOns(std::uint64_t ownerTag) override;

    // For the backend (GUI thread only).
    const std::string& targetName() const { return _targetName; }
    void forgetJackPort();
    bool remakeJackPort();
    bool reconnectIfNeeded();
    /// Posts the warnings the process cycle could only flag. GUI thread.
    void reportProblems();

    // For the process cycle (process thread only).
    /// Takes the cycle's buffer, writes what waited and what other threads queued.
    void beginCycle(std::uint32_t frames, std::int64_t cycleStart, std::uint64_t epoch);
    /// Writes the scheduled messages due up to `frame`.
    void writeDue(std::int64_t frame);
    /// Writes what falls due before the cycle ends.
    void finishCycle();

private:
    void _hand(JackMIDIEvent& event);
    void _ensureCycle();
    // GUI thread: returns once a new connection carries what the port writes (bounded).
    void _waitForConnectionToCarry();
    void _takeQueued(std::int64_t now);
    void _sendInCycle(JackMIDIEvent& event, std::int64_t now);
    void _writeOrKeep(JackMIDIEvent& event, std::int64_t now);
    bool _write(const JackMIDIEvent& event, std::int64_t frame);
    void _keep(JackMIDIEvent& event);

    JackMIDIBackend& _backend;
    std::string _targetName;
    std::atomic<jack_port_t*> _port{nullptr};
    std::atomic<bool> _connected{false};
    JackMIDIEventRing _ring;
    std::atomic<bool> _ringFullReported{false};
    std::atomic<bool> _scheduleFull{false};
    std::atomic<bool> _scheduleFullReported{false};
    std::atomic<bool> _tooLongReported{false};
    std::atomic<std::size_t> _scheduledCount{0};

    // Process thread only.
    JackMIDISchedule _schedule;
    void* _buffer = nullptr;
    std::uint32_t _frames = 0;
    std::int64_t _cycleStart = 0;
    std::uint64_t _cycleEpoch = 0;
    std::uint32_t _lastOffset = 0;
};
