#include "harness/CountingMIDIBackend.h"

#include "midi/MIDIBackendError.h"

#include <algorithm>

namespace {

std::vector<std::string> toBytes(const QStringList& names)
{
    std::vector<std::string> result;
    for (const QString& name : names)
        result.push_back(name.toLatin1().toStdString());
    return result;
}

// The index the port has in `names`: `index` while the list still says `portName` there, else
// wherever the name is now.
int findPort(const std::vector<std::string>& names, unsigned int index, const std::string& portName)
{
    if (index < names.size() && names[index] == portName)
        return static_cast<int>(index);
    const auto found = std::find(names.begin(), names.end(), portName);
    if (found == names.end())
        throw MIDIBackendError("No MIDI port named " + portName + ".");
    return static_cast<int>(found - names.begin());
}

} // namespace

class CountingMIDIBackend::InputPort : public MIDIInputPort
{
public:
    explicit InputPort(CountingMIDIBackend& backend) : _backend(backend) {}
    ~InputPort() override { closePort(); }

    void openPort(unsigned int index, const std::string& portName) override
    {
        closePort();
        _index = findPort(_backend._inputNames, index, portName);
        _backend._connectedInputs[static_cast<size_t>(_index)].store(this);
    }

    void closePort() override
    {
        if (_index < 0)
            return;
        InputPort* self = this;
        _backend._connectedInputs[static_cast<size_t>(_index)].compare_exchange_strong(self, nullptr);
        _index = -1;
    }

    bool isConnected() const override { return _index >= 0; }

    void setCallback(MIDIInputCallback callback, void* userData) override
    {
        _userData.store(userData);
        _callback.store(callback);
    }

    void cancelCallback() override { _callback.store(nullptr); }

    bool deliver(double timeStamp, midiMessage_t* message) const
    {
        const MIDIInputCallback callback = _callback.load();
        if (!callback)
            return false;
        callback(timeStamp, message, _userData.load());
        return true;
    }

private:
    CountingMIDIBackend& _backend;
    int _index = -1;
    std::atomic<MIDIInputCallback> _callback{nullptr};
    std::atomic<void*> _userData{nullptr};
};

class CountingMIDIBackend::OutputPort : public MIDIOutputPort
{
public:
    explicit OutputPort(CountingMIDIBackend& backend) : _backend(backend) {}

    void openPort(unsigned int index, const std::string& portName) override
    {
        _index.store(findPort(_backend._outputNames, index, portName));
    }

    void closePort() override { _index.store(-1); }
    bool isConnected() const override { return _index.load() >= 0; }

    void sendMessage(const std::vector<unsigned char>& message) override
    {
        const int index = _index.load();
        if (index >= 0 && !message.empty())
            _backend._sent(index, message);
    }

private:
    CountingMIDIBackend& _backend;
    std::atomic<int> _index{-1};
};

CountingMIDIBackend::CountingMIDIBackend(const QStringList& inputPortNames,
                                         const QStringList& outputPortNames)
    : _inputNames(toBytes(inputPortNames)), _outputNames(toBytes(outputPortNames)),
      _connectedInputs(_inputNames.size()), _sentCounts(_outputNames.size()), _noteStates(_outputNames.size())
{
}

CountingMIDIBackend::~CountingMIDIBackend() = default;

CountingMIDIBackend* CountingMIDIBackend::install(const QStringList& inputPortNames,
                                                  const QStringList& outputPortNames)
{
    auto backend = std::make_unique<CountingMIDIBackend>(inputPortNames, outputPortNames);
    CountingMIDIBackend* installed = backend.get();
    return MIDIBackend::installBackend(std::move(backend)) ? installed : nullptr;
}

std::unique_ptr<MIDIInputPort> CountingMIDIBackend::createInputPort()
{
    return std::make_unique<InputPort>(*this);
}

std::unique_ptr<MIDIOutputPort> CountingMIDIBackend::createOutputPort()
{
    return std::make_unique<OutputPort>(*this);
}

int CountingMIDIBackend::inputIndex(const QString& portName) const
{
    const auto found = std::find(_inputNames.begin(), _inputNames.end(), portName.toLatin1().toStdString());
    return found == _inputNames.end() ? -1 : static_cast<int>(found - _inputNames.begin());
}

int CountingMIDIBackend::outputIndex(const QString& portName) const
{
    const auto found = std::find(_outputNames.begin(), _outputNames.end(), portName.toLatin1().toStdString());
    return found == _outputNames.end() ? -1 : static_cast<int>(found - _outputNames.begin());
}

bool CountingMIDIBackend::play(int inputIndex, midiMessage_t* message, double timeStamp)
{
    if (inputIndex < 0 || static_cast<size_t>(inputIndex) >= _connectedInputs.size())
        return false;
    const InputPort* port = _connectedInputs[static_cast<size_t>(inputIndex)].load();
    return port && port->deliver(timeStamp, message);
}

void CountingMIDIBackend::_sent(int outputIndex, const midiMessage_t& message)
{
    _sentCounts[static_cast<size_t>(outputIndex)].fetch_add(1, std::memory_order_relaxed);
    if (_followNotes)
        _noteStates[static_cast<size_t>(outputIndex)].heard(message);
}

long CountingMIDIBackend::sentCount(int outputIndex) const
{
    if (outputIndex < 0 || static_cast<size_t>(outputIndex) >= _sentCounts.size())
        return 0;
    return _sentCounts[static_cast<size_t>(outputIndex)].load(std::memory_order_relaxed);
}

long CountingMIDIBackend::totalSent() const
{
    long total = 0;
    for (const auto& count : _sentCounts)
        total += count.load(std::memory_order_relaxed);
    return total;
}

const SynthNoteState& CountingMIDIBackend::noteState(int outputIndex) const
{
    return _noteStates.at(static_cast<size_t>(outputIndex));
}

void CountingMIDIBackend::reset()
{
    for (auto& count : _sentCounts)
        count.store(0);
    for (SynthNoteState& state : _noteStates)
        state.clear();
}
