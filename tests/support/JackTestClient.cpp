#include "support/JackTestClient.h"

#include "midi/RtMidiGraveyard.h"

#include <RtMidi.h>

#include <algorithm>
#include <thread>

JackTestClient::JackTestClient(const QString& clientName, const QString& sourcePortName,
                               const QString& sinkPortName)
{
    try {
        if (!sourcePortName.isEmpty()) {
            _source = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, clientName.toStdString());
            _source->openVirtualPort(sourcePortName.toStdString());
            _sourceFullName = clientName + QLatin1Char(':') + sourcePortName;
        }
        if (!sinkPortName.isEmpty()) {
            const QString sinkClient = clientName + QStringLiteral("_in");
            _sink = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, sinkClient.toStdString(), 100);
            // A synth hears everything that reaches it: nothing is filtered out of sight.
            _sink->ignoreTypes(false, false, false);
            _sink->setCallback(&JackTestClient::_received, this);
            _sink->openVirtualPort(sinkPortName.toStdString());
            _sinkFullName = sinkClient + QLatin1Char(':') + sinkPortName;
        }
    } catch (const RtMidiError& error) {
        _errorText = QString::fromStdString(error.getMessage());
    }
}

JackTestClient::~JackTestClient()
{
    // Deleting a JACK client object stops its process thread wherever it is (inside the receive
    // callback, or reading buffers the deletion frees): the objects are closed now and deleted
    // later, when no process cycle can still run in them.
    if (_sink) {
        _sink->cancelCallback();
        _sink->closePort();
        // A process cycle that began before the cancel may still be entering the callback.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (_callbacksRunning.load(std::memory_order_acquire) != 0)
            std::this_thread::yield();
        RtMidiGraveyard::bury(std::move(_sink));
    }
    closeSource();
}

void JackTestClient::send(const midiMessage_t& bytes)
{
    if (_source)
        _source->sendMessage(&bytes);
}

void JackTestClient::_received(double, std::vector<unsigned char>* message, void* userData)
{
    auto* self = static_cast<JackTestClient*>(userData);
    self->_callbacksRunning.fetch_add(1, std::memory_order_acq_rel);
    const auto arrival = std::chrono::steady_clock::now();
    {
        std::lock_guard<std::mutex> lock(self->_mutex);
        self->_receivedMessages.push_back({*message, arrival});
    }
    self->_arrived.notify_all();
    self->_callbacksRunning.fetch_sub(1, std::memory_order_release);
}

std::vector<JackTestClient::ReceivedMessage> JackTestClient::receivedMessages() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _receivedMessages;
}

int JackTestClient::receivedCount() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return static_cast<int>(_receivedMessages.size());
}

std::vector<midiMessage_t> JackTestClient::receivedBytes() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    std::vector<midiMessage_t> bytes;
    bytes.reserve(_receivedMessages.size());
    for (const auto& message : _receivedMessages)
        bytes.push_back(message.bytes);
    return bytes;
}

int JackTestClient::countOf(const midiMessage_t& bytes) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return static_cast<int>(
        std::count_if(_receivedMessages.begin(), _receivedMessages.end(),
                      [&bytes](const ReceivedMessage& message) { return message.bytes == bytes; }));
}

int JackTestClient::indexOf(const midiMessage_t& bytes) const
{
    std::lock_guard<std::mutex> lock(_mutex);
    const auto found =
        std::find_if(_receivedMessages.begin(), _receivedMessages.end(),
                     [&bytes](const ReceivedMessage& message) { return message.bytes == bytes; });
    return found == _receivedMessages.end() ? -1 : static_cast<int>(found - _receivedMessages.begin());
}

bool JackTestClient::hasReceived(const midiMessage_t& bytes) const
{
    return indexOf(bytes) >= 0;
}

int JackTestClient::indexIn(const std::vector<midiMessage_t>& messages, const midiMessage_t& bytes)
{
    const auto found = std::find(messages.begin(), messages.end(), bytes);
    return found == messages.end() ? -1 : static_cast<int>(found - messages.begin());
}

bool JackTestClient::waitForMessages(int count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(_mutex);
    return _arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return static_cast<int>(_receivedMessages.size()) >= count; });
}

void JackTestClient::clearReceived()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _receivedMessages.clear();
}

void JackTestClient::closeSource()
{
    if (!_source)
        return;
    _source->closePort();
    RtMidiGraveyard::bury(std::move(_source));
}

void JackTestClient::letConnectionsSettle()
{
#if defined(__SANITIZE_THREAD__)
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
#else
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
#endif
}

bool JackTestClient::retryUntil(const std::function<void()>& action, const std::function<bool()>& done,
                                int timeoutMs, int intervalMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        action();
        const auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(intervalMs);
        while (std::chrono::steady_clock::now() < next) {
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return done();
}

bool JackTestClient::sendUntilReceived(const midiMessage_t& bytes, const JackTestClient& sink,
                                       const midiMessage_t& expected, int timeoutMs, int intervalMs)
{
    return retryUntil([this, &bytes] { send(bytes); },
                      [&sink, &expected] { return sink.hasReceived(expected); }, timeoutMs, intervalMs);
}
