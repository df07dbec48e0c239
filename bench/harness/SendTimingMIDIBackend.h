#pragma once

#include "midi/MIDIBackend.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

/// The program's own MIDI backend with one addition for benchmarks: each output port notes the
/// moment each probe note (ProbeNotes) is handed to it, so a benchmark can tell the program's own
/// timing apart from the JACK period that the message waits for afterwards. Noting never allocates.
/// Install it before the port catalogue is first used.
class SendTimingMIDIBackend : public MIDIBackend
{
public:
    explicit SendTimingMIDIBackend(std::unique_ptr<MIDIBackend> inner);
    ~SendTimingMIDIBackend() override;

    /// Wraps `inner`, makes the wrapper the program's backend and returns it; null when the
    /// catalogue was already used.
    static SendTimingMIDIBackend* install(std::unique_ptr<MIDIBackend> inner);

    QString getApiName() const override { return _inner->getApiName(); }
    std::vector<std::string> getInputPortNames() override { return _inner->getInputPortNames(); }
    /// Also sizes the table of send times: call before any output port is opened (the catalogue does).
    std::vector<std::string> getOutputPortNames() override;
    std::unique_ptr<MIDIInputPort> createInputPort() override { return _inner->createInputPort(); }
    std::unique_ptr<MIDIOutputPort> createOutputPort() override;
    bool hasTimedSends() const override { return _inner->hasTimedSends(); }
    std::int64_t getCurrentTimeUs() const override { return _inner->getCurrentTimeUs(); }

    /// When probe message `probeIndex` was handed to the output port at `outputIndex`, in
    /// nanoseconds of std::chrono::steady_clock; -1 when it was not (yet).
    std::int64_t sendTimeNs(int outputIndex, int probeIndex) const;
    /// Forgets every send time. Call while nothing is sent.
    void clearSendTimes();

private:
    class OutputPort;

    void _noteSend(int outputIndex, const std::vector<unsigned char>& message);

    std::unique_ptr<MIDIBackend> _inner;
    // Per output index, per probe message: the send time, or -1.
    std::vector<std::vector<std::atomic<std::int64_t>>> _sendTimes;
};
