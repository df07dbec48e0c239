#include "harness/SendTimingMidiBackend.h"

#include "harness/ProbeNotes.h"
#include "midi/MidiOutputPort.h"

#include <chrono>

class SendTimingMidiBackend::OutputPort : public MidiOutputPort
{
public:
    OutputPort(SendTimingMidiBackend& backend, std::unique_ptr<MidiOutputPort> inner)
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

private:
    SendTimingMidiBackend& _backend;
    std::unique_ptr<MidiOutputPort> _inner;
    std::atomic<int> _index{-1};
};

SendTimingMidiBackend::SendTimingMidiBackend(std::unique_ptr<MidiBackend> inner) : _inner(std::move(inner)) {}

SendTimingMidiBackend::~SendTimingMidiBackend() = default;

SendTimingMidiBackend* SendTimingMidiBackend::install(std::unique_ptr<MidiBackend> inner)
{
    auto backend = std::make_unique<SendTimingMidiBackend>(std::move(inner));
    SendTimingMidiBackend* installed = backend.get();
    return MidiBackend::installBackend(std::move(backend)) ? installed : nullptr;
}

std::vector<std::string> SendTimingMidiBackend::getOutputPortNames()
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

std::unique_ptr<MidiOutputPort> SendTimingMidiBackend::createOutputPort()
{
    return std::make_unique<OutputPort>(*this, _inner->createOutputPort());
}

void SendTimingMidiBackend::_noteSend(int outputIndex, const std::vector<unsigned char>& message)
{
    // Any thread; no allocation.
    const int probe = ProbeNotes::indexOf(message);
    if (probe < 0 || static_cast<size_t>(outputIndex) >= _sendTimes.size())
        return;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    _sendTimes[static_cast<size_t>(outputIndex)][static_cast<size_t>(probe)].store(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

std::int64_t SendTimingMidiBackend::sendTimeNs(int outputIndex, int probeIndex) const
{
    if (outputIndex < 0 || static_cast<size_t>(outputIndex) >= _sendTimes.size() || probeIndex < 0 ||
        probeIndex >= ProbeNotes::kMaxMessages)
        return -1;
    return _sendTimes[static_cast<size_t>(outputIndex)][static_cast<size_t>(probeIndex)].load();
}

void SendTimingMidiBackend::clearSendTimes()
{
    for (auto& port : _sendTimes) {
        for (auto& time : port)
            time.store(-1);
    }
}
