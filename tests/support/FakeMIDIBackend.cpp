#include "support/FakeMIDIBackend.h"

#include "midi/MIDIBackendError.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <utility>

namespace {

class FakeInputPort;
class FakeOutputPort;

std::vector<std::string> toBytes(const QStringList& names)
{
    std::vector<std::string> result;
    for (const QString& name : names)
        result.push_back(name.toLatin1().toStdString());
    return result;
}

// RtMidi's default filter: system exclusive, MIDI time code, timing clock and active sensing.
bool isDroppedByLibrary(const midiMessage_t& message)
{
    if (message.empty())
        return true;
    const unsigned char status = message.front();
    return status == 0xF0 || status == 0xF7 || status == 0xF1 || status == 0xF8 || status == 0xFE;
}

} // namespace

struct FakeMIDIBackend::State
{
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::vector<std::string> inputNames;
    std::vector<std::string> outputNames;
    std::vector<bool> inputPresent;
    std::vector<bool> outputPresent;
    int staleSends = 0;
    bool libraryFilter = true;
    std::map<int, std::string> inputFailures;
    std::map<int, std::string> outputFailures;
    std::string creationFailure;
    std::map<int, int> inputAttempts;
    std::map<int, int> outputAttempts;
    std::vector<FakeInputPort*> inputs;
    std::vector<FakeOutputPort*> outputs;
    std::map<int, std::vector<midiMessage_t>> sent;

    // Called with the mutex held.
    int connect(const std::vector<std::string>& names, const std::vector<bool>& present,
                const std::map<int, std::string>& failures, std::map<int, int>& attempts, unsigned int index,
                const std::string& portName) const;
};

namespace {

std::vector<std::string> presentNames(const std::vector<std::string>& names, const std::vector<bool>& present)
{
    std::vector<std::string> result;
    for (size_t i = 0; i < names.size(); ++i) {
        if (present[i])
            result.push_back(names[i]);
    }
    return result;
}

} // namespace

int FakeMIDIBackend::State::connect(const std::vector<std::string>& names, const std::vector<bool>& present,
                                    const std::map<int, std::string>& failures, std::map<int, int>& attempts,
                                    unsigned int index, const std::string& portName) const
{
    const int at = static_cast<int>(index);
    ++attempts[at];
    const auto failure = failures.find(at);
    if (failure != failures.end())
        throw MIDIBackendError(failure->second);
    if (index < names.size() && names[index] == portName && present[index])
        return at;
    const auto found = std::find(names.begin(), names.end(), portName);
    if (found == names.end() || !present[static_cast<size_t>(found - names.begin())])
        throw MIDIBackendError("FakeMIDIBackend: no port named " + portName);
    return static_cast<int>(found - names.begin());
}

namespace {

class FakeInputPort : public MIDIInputPort
{
public:
    explicit FakeInputPort(std::shared_ptr<FakeMIDIBackend::State> state) : _state(std::move(state))
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        _state->inputs.push_back(this);
    }

    ~FakeInputPort() override
    {
        // Like a JACK client being closed: a callback that is running ends first.
        std::unique_lock<std::mutex> lock(_state->mutex);
        auto& inputs = _state->inputs;
        inputs.erase(std::remove(inputs.begin(), inputs.end(), this), inputs.end());
        _state->changed.wait(lock, [this] { return running == 0; });
    }

    void openPort(unsigned int index, const std::string& portName) override
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        stale = false;
        connectedIndex = _state->connect(_state->inputNames, _state->inputPresent, _state->inputFailures,
                                         _state->inputAttempts, index, portName);
    }

    void closePort() override
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        connectedIndex = -1;
        stale = false;
    }

    bool isConnected() const override
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        return connectedIndex >= 0;
    }

    void setCallback(MIDIInputCallback newCallback, void* newUserData) override
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        callback = newCallback;
        userData = newUserData;
    }

    void cancelCallback() override
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        callback = nullptr;
        userData = nullptr;
    }

    // Guarded by the state's mutex.
    int connectedIndex = -1;
    bool stale = false; // the port vanished while connected
    MIDIInputCallback callback = nullptr;
    void* userData = nullptr;
    int running = 0;

private:
    std::shared_ptr<FakeMIDIBackend::State> _state;
};

class FakeOutputPort : public MIDIOutputPort
{
public:
    explicit FakeOutputPort(std::shared_ptr<FakeMIDIBackend::State> state) : _state(std::move(state))
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        _state->outputs.push_back(this);
    }

    ~FakeOutputPort() override
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        auto& outputs = _state->outputs;
        outputs.erase(std::remove(outputs.begin(), outputs.end(), this), outputs.end());
    }

    void openPort(unsigned int index, const std::string& portName) override
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        stale = false;
        connectedIndex = _state->connect(_state->outputNames, _state->outputPresent, _state->outputFailures,
                                         _state->outputAttempts, index, portName);
    }

    void closePort() override
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        connectedIndex = -1;
        stale = false;
    }

    bool isConnected() const override
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        return connectedIndex >= 0;
    }

    void sendMessage(const std::vector<unsigned char>& message) override
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        if (connectedIndex < 0)
            return;
        if (stale) {
            ++_state->staleSends;
            return;
        }
        _state->sent[connectedIndex].push_back(message);
        _state->changed.notify_all();
    }

    int connectedIndex = -1; // guarded by the state's mutex
    bool stale = false;      // likewise

private:
    std::shared_ptr<FakeMIDIBackend::State> _state;
};

} // namespace

FakeMIDIBackend::FakeMIDIBackend(const QStringList& inputPortNames, const QStringList& outputPortNames)
    : _state(std::make_shared<State>())
{
    _state->inputNames = toBytes(inputPortNames);
    _state->outputNames = toBytes(outputPortNames);
    _state->inputPresent.assign(_state->inputNames.size(), true);
    _state->outputPresent.assign(_state->outputNames.size(), true);
}

FakeMIDIBackend::~FakeMIDIBackend()
{
    stopInjecting();
}

FakeMIDIBackend* FakeMIDIBackend::install(const QStringList& inputPortNames,
                                          const QStringList& outputPortNames)
{
    auto backend = std::make_unique<FakeMIDIBackend>(inputPortNames, outputPortNames);
    FakeMIDIBackend* installed = backend.get();
    return MIDIBackend::installBackend(std::move(backend)) ? installed : nullptr;
}

std::vector<std::string> FakeMIDIBackend::getInputPortNames()
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    if (!_state->creationFailure.empty())
        throw MIDIBackendError(_state->creationFailure);
    return presentNames(_state->inputNames, _state->inputPresent);
}

std::vector<std::string> FakeMIDIBackend::getOutputPortNames()
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    if (!_state->creationFailure.empty())
        throw MIDIBackendError(_state->creationFailure);
    return presentNames(_state->outputNames, _state->outputPresent);
}

std::unique_ptr<MIDIInputPort> FakeMIDIBackend::createInputPort()
{
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        if (!_state->creationFailure.empty())
            throw MIDIBackendError(_state->creationFailure);
    }
    return std::make_unique<FakeInputPort>(_state);
}

std::unique_ptr<MIDIOutputPort> FakeMIDIBackend::createOutputPort()
{
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        if (!_state->creationFailure.empty())
            throw MIDIBackendError(_state->creationFailure);
    }
    return std::make_unique<FakeOutputPort>(_state);
}

void FakeMIDIBackend::setInputOpenFailure(int index, const QString& text)
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    if (text.isEmpty())
        _state->inputFailures.erase(index);
    else
        _state->inputFailures[index] = text.toStdString();
}

void FakeMIDIBackend::setOutputOpenFailure(int index, const QString& text)
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    if (text.isEmpty())
        _state->outputFailures.erase(index);
    else
        _state->outputFailures[index] = text.toStdString();
}

void FakeMIDIBackend::setClientCreationFailure(const QString& text)
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    _state->creationFailure = text.toStdString();
}

int FakeMIDIBackend::inputOpenAttempts(int index) const
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    const auto found = _state->inputAttempts.find(index);
    return found == _state->inputAttempts.end() ? 0 : found->second;
}

int FakeMIDIBackend::outputOpenAttempts(int index) const
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    const auto found = _state->outputAttempts.find(index);
    return found == _state->outputAttempts.end() ? 0 : found->second;
}

int FakeMIDIBackend::liveInputPortObjects() const
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    return static_cast<int>(_state->inputs.size());
}

int FakeMIDIBackend::liveOutputPortObjects() const
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    return static_cast<int>(_state->outputs.size());
}

bool FakeMIDIBackend::isInputConnected(int index) const
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    return std::any_of(_state->inputs.begin(), _state->inputs.end(), [index](const FakeInputPort* port) {
        return port->connectedIndex == index && !port->stale;
    });
}

bool FakeMIDIBackend::isOutputConnected(int index) const
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    return std::any_of(_state->outputs.begin(), _state->outputs.end(), [index](const FakeOutputPort* port) {
        return port->connectedIndex == index && !port->stale;
    });
}

std::vector<midiMessage_t> FakeMIDIBackend::sentMessages(int outputIndex) const
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    const auto found = _state->sent.find(outputIndex);
    return found == _state->sent.end() ? std::vector<midiMessage_t>() : found->second;
}

int FakeMIDIBackend::sentMessageCount(int outputIndex) const
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    const auto found = _state->sent.find(outputIndex);
    return found == _state->sent.end() ? 0 : static_cast<int>(found->second.size());
}

bool FakeMIDIBackend::waitForSentMessages(int outputIndex, int count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(_state->mutex);
    return _state->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        const auto found = _state->sent.find(outputIndex);
        return found != _state->sent.end() && static_cast<int>(found->second.size()) >= count;
    });
}

std::map<int, std::vector<midiMessage_t>> FakeMIDIBackend::takeSentMessages()
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    return std::exchange(_state->sent, {});
}

void FakeMIDIBackend::clearSentMessages()
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    _state->sent.clear();
}

int FakeMIDIBackend::injectInputMessage(int index, const midiMessage_t& message, double timeStamp)
{
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        if (_state->libraryFilter && isDroppedByLibrary(message))
            return 0;
    }
    struct Target
    {
        FakeInputPort* port;
        MIDIInputCallback callback;
        void* userData;
    };
    std::vector<Target> targets;
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        for (FakeInputPort* port : _state->inputs) {
            if (port->connectedIndex == index && !port->stale && port->callback) {
                ++port->running;
                targets.push_back({port, port->callback, port->userData});
            }
        }
    }
    // Called without the lock, as the library does: cancelling a callback does not wait for it.
    midiMessage_t delivered = message;
    for (const Target& target : targets)
        target.callback(timeStamp, &delivered, target.userData);
    {
        std::lock_guard<std::mutex> lock(_state->mutex);
        for (const Target& target : targets)
            --target.port->running;
    }
    _state->changed.notify_all();
    return static_cast<int>(targets.size());
}

int FakeMIDIBackend::injectInputMessagesFromOwnThread(int index, const std::vector<midiMessage_t>& messages)
{
    int callbacks = 0;
    std::thread injector([&] {
        for (const midiMessage_t& message : messages)
            callbacks += injectInputMessage(index, message);
    });
    injector.join();
    return callbacks;
}

void FakeMIDIBackend::startInjecting(int index, const midiMessage_t& message)
{
    _stopStreams.store(false);
    _streams.emplace_back([this, index, message] {
        while (!_stopStreams.load()) {
            _streamedCallbacks.fetch_add(injectInputMessage(index, message));
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
    });
}

long FakeMIDIBackend::stopInjecting()
{
    _stopStreams.store(true);
    for (std::thread& stream : _streams)
        stream.join();
    _streams.clear();
    return _streamedCallbacks.exchange(0);
}

namespace {

int addPort(std::vector<std::string>& names, std::vector<bool>& present, const QString& name)
{
    const std::string bytes = name.toLatin1().toStdString();
    const auto found = std::find(names.begin(), names.end(), bytes);
    if (found != names.end()) {
        present[static_cast<size_t>(found - names.begin())] = true;
        return static_cast<int>(found - names.begin());
    }
    names.push_back(bytes);
    present.push_back(true);
    return static_cast<int>(names.size()) - 1;
}

template <typename Port>
void removePort(const std::vector<std::string>& names, std::vector<bool>& present, std::vector<Port*>& ports,
                const QString& name)
{
    const auto found = std::find(names.begin(), names.end(), name.toLatin1().toStdString());
    if (found == names.end())
        return;
    const int index = static_cast<int>(found - names.begin());
    present[static_cast<size_t>(index)] = false;
    for (Port* port : ports) {
        if (port->connectedIndex == index)
            port->stale = true;
    }
}

} // namespace

int FakeMIDIBackend::addInputPort(const QString& name)
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    return addPort(_state->inputNames, _state->inputPresent, name);
}

void FakeMIDIBackend::removeInputPort(const QString& name)
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    removePort(_state->inputNames, _state->inputPresent, _state->inputs, name);
}

int FakeMIDIBackend::addOutputPort(const QString& name)
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    return addPort(_state->outputNames, _state->outputPresent, name);
}

void FakeMIDIBackend::removeOutputPort(const QString& name)
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    removePort(_state->outputNames, _state->outputPresent, _state->outputs, name);
}

int FakeMIDIBackend::staleSendCount() const
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    return _state->staleSends;
}

void FakeMIDIBackend::setLibraryFilter(bool on)
{
    std::lock_guard<std::mutex> lock(_state->mutex);
    _state->libraryFilter = on;
}
