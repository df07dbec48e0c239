#include "midi/JackMIDIInputPort.h"

#include "midi/JackMIDIBackend.h"
#include "midi/JackPortConnection.h"
#include "midi/MIDIBackendError.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>

namespace {

// The longest message handed on whole; anything longer is not a message the routing could use,
// and only its beginning is handed on, for the port I/O manager to refuse.
constexpr std::size_t kMaxMessageBytes = 256;

} // namespace

JackMIDIInputPort::JackMIDIInputPort(JackMIDIBackend& backend) : _backend(backend)
{
    _message.reserve(kMaxMessageBytes);
}

JackMIDIInputPort::~JackMIDIInputPort()
{
    cancelCallback();
    closePort();
}

void JackMIDIInputPort::openPort(unsigned int /*index*/, const std::string& portName)
{
    closePort();
    jack_port_t* port = JackPortConnection::registerPort(_backend, portName, true);
    _port.store(port);
    if (!_backend.attachInput(this)) {
        _port.store(nullptr);
        JackPortConnection::unregisterPort(_backend, port);
        throw MIDIBackendError("The program has too many open JACK ports.");
    }
    try {
        JackPortConnection::connect(_backend, port, portName, true);
    } catch (const MIDIBackendError&) {
        _backend.detachInput(this);
        _port.store(nullptr);
        JackPortConnection::unregisterPort(_backend, port);
        throw;
    }
    _targetName = portName;
    _connected.store(true);
}

void JackMIDIInputPort::closePort()
{
    if (_targetName.empty() && !_port.load())
        return;
    _backend.detachInput(this);
    jack_port_t* port = _port.exchange(nullptr);
    _connected.store(false);
    if (port)
        JackPortConnection::unregisterPort(_backend, port);
    _targetName.clear();
}

void JackMIDIInputPort::setCallback(MIDIInputCallback callback, void* userData)
{
    _userData.store(userData);
    _callback.store(callback);
}

void JackMIDIInputPort::cancelCallback()
{
    _callback.store(nullptr);
}

void JackMIDIInputPort::forgetJackPort()
{
    _port.store(nullptr);
    _connected.store(false);
}

bool JackMIDIInputPort::remakeJackPort()
{
    if (_targetName.empty())
        return false;
    try {
        jack_port_t* port = JackPortConnection::registerPort(_backend, _targetName, true, true);
        _port.store(port);
    } catch (const MIDIBackendError&) {
        return false;
    }
    return true;
}

bool JackMIDIInputPort::reconnectIfNeeded()
{
    jack_port_t* port = _port.load();
    if (!port || _targetName.empty())
        return false;
    const bool connected = JackPortConnection::isConnectedTo(port, _targetName);
    if (connected) {
        _connected.store(true);
        return false;
    }
    _connected.store(false);
    if (!JackPortConnection::tryConnect(_backend, port, _targetName, true))
        return false;
    _connected.store(true);
    return true;
}

void JackMIDIInputPort::beginCycle(std::uint32_t frames)
{
    jack_port_t* port = _port.load(std::memory_order_acquire);
    _buffer = port ? jack_port_get_buffer(port, frames) : nullptr;
    _eventCount = _buffer ? jack_midi_get_event_count(_buffer) : 0;
    _nextEvent = 0;
}

bool JackMIDIInputPort::nextEventOffset(std::uint32_t* offset)
{
    while (_nextEvent < _eventCount) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, _buffer, _nextEvent) == 0) {
            *offset = event.time;
            return true;
        }
        ++_nextEvent; // unreadable: skipped
    }
    return false;
}

void JackMIDIInputPort::handleNextEvent(std::int64_t frame, std::uint32_t sampleRate)
{
    jack_midi_event_t event;
    const bool read = jack_midi_event_get(&event, _buffer, _nextEvent) == 0;
    ++_nextEvent;
    if (!read || event.size == 0)
        return;
    _timeStamp =
        _previousFrame < 0 || sampleRate == 0 ? 0.0 : double(frame - _previousFrame) / double(sampleRate);
    _previousFrame = frame;
    _splitter.feed(event.buffer, event.size, &JackMIDIInputPort::_handOn, this);
}

void JackMIDIInputPort::_handOn(const std::uint8_t* bytes, std::size_t size, void* context)
{
    // Process thread: the message buffer was reserved once, so assigning never allocates.
    auto* self = static_cast<JackMIDIInputPort*>(context);
    const MIDIInputCallback callback = self->_callback.load(std::memory_order_acquire);
    if (!callback)
        return;
    self->_message.assign(bytes, bytes + std::min(size, kMaxMessageBytes));
    callback(self->_timeStamp, &self->_message, self->_userData.load(std::memory_order_acquire));
    // Later messages of the same event count from this one.
    self->_timeStamp = 0.0;
}
