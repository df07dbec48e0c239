#include "harness/SendTimingMIDIBackend.h"

#include "harness/ProbeNotes.h"
#include "midi/MIDIOutputPort.h"

#include <chrono>

class SendTimingMIDIBackend::OutputPort : public MIDIOutputPort
{
public:
    OutputPort(SendTimingMIDIBackend& backend, std::unique_ptr<MIDIOutputPort> inner)
        : _backend(backend), _inner(std::move(inner))
    {
    }

    void openPort(unsigned int index, const std::string& portName) override
    {
        _inner->openPort(index, portName);
        _index.store(static_cast<int>(index));
    }

    void closePort() override
    {
        _index.store(-1);
        _inner->closePort();
    }

    bool isConnected() const override { return _inner->isConnected(); }

    void sendMessage(const std::vector<unsigned char>& message) override
    {
        const int index = _index.load();
        if (index >= 0)
            _backend._noteSend(index, message);
        _inner->sendMessage(message);
    }

    // Timed sends: the backend places them itself, so the hand-over time says nothing of when they
    // go out; only what arrives at the synth tells.
    void sendMessageAt(const std::vector<unsigned char>& message, std::int64_t dueTimeUs,
                       std::uint64_t ownerTag) override
    {
        _inner->sendMessageAt(message, dueTimeUs, ownerTag);
    }

    void cancelScheduledNoteOns(std::uint64_t ownerTag) override { _inner->cancelScheduledNoteOns(ownerTag); }

private:
    SendTimingMIDIBackend& _backend;
    std::unique_ptr<MIDIOutputPort> _inner;
    std::atomic<int> _index{-1};
};

SendTimingMIDIBackend::SendTimingMIDIBackend(std::unique_ptr<MIDIBackend> inner) : _inner(std::move(inner)) {}

SendTimingMIDIBackend::~SendTimingMIDIBackend() = default;

SendTimingMIDIBackend* SendTimingMIDIBackend::install(std::unique_ptr<MIDIBackend> inner)
{
    auto backend = std::make_unique<SendTimingMIDIBackend>(std::move(inner));
    SendTimingMIDIBackend* installed = backend.get();
    return MIDIBackend::installBackend(std::move(backend)) ? installed : nullptr;
}

std::vector<std::string> SendTimingMIDIBackend::getOutputPortNames()
{
    std::vector<std::string> names = _inner->getOutputPortNames();
    if (_sendTimes.size() != names.size()) {
        _sendTimes.clear();
        for (size_t i = 0; i < names.size(); ++i)
            _sendTimes.emplace_back(static_cast<size_t>(ProbeNotes::kMaxMessages));
        clearSendTimes();
    }
    return names;
}

std::unique_ptr<MIDIOutputPort> SendTimingMIDIBackend::createOutputPort()
{
    return std::make_unique<OutputPort>(*this, _inner->createOutputPort());
}

void SendTimingMIDIBackend::_noteSend(int outputIndex, const std::vector<unsigned char>& message)
{
    // Any thread; no allocation.
    const int probe = ProbeNotes::indexOf(message);
    if (probe < 0 || static_cast<size_t>(outputIndex) >= _sendTimes.size())
        return;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    _sendTimes[static_cast<size_t>(outputIndex)][static_cast<size_t>(probe)].store(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

std::int64_t SendTimingMIDIBackend::sendTimeNs(int outputIndex, int probeIndex) const
{
    if (outputIndex < 0 || static_cast<size_t>(outputIndex) >= _sendTimes.size() || probeIndex < 0 ||
        probeIndex >= ProbeNotes::kMaxMessages)
        return -1;
    return _sendTimes[static_cast<size_t>(outputIndex)][static_cast<size_t>(probeIndex)].load();
}

void SendTimingMIDIBackend::clearSendTimes()
{
    for (auto& port : _sendTimes) {
        for (auto& time : port)
            time.store(-1);
    }
}
