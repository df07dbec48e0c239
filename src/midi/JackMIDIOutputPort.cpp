#include "midi/JackMIDIOutputPort.h"

#include "app/StatusManager.h"
#include "midi/JackMIDIBackend.h"
#include "midi/JackPortConnection.h"
#include "midi/MIDIBackendError.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <chrono>
#include <thread>

namespace {

// Room for bursts (a panic over many patches) far beyond what a period carries.
constexpr std::size_t kQueueCapacity = 8192;
// What closing waits at most for the queued and delayed messages (the longest patch delay is far
// less) and then for the cycle that carries them, while the server runs.
constexpr int kFlushBoundMs = 5000;
// What opening waits at most for a new connection to be in the server's graph.
constexpr int kConnectionWaitMs = 1000;

} // namespace

JackMIDIOutputPort::JackMIDIOutputPort(JackMIDIBackend& backend)
    : _backend(backend), _ring(kQueueCapacity), _schedule(kQueueCapacity)
{
}

JackMIDIOutputPort::~JackMIDIOutputPort()
{
    closePort();
}

void JackMIDIOutputPort::openPort(unsigned int /*index*/, const std::string& portName)
{
    closePort();
    jack_port_t* port = JackPortConnection::registerPort(_backend, portName, false);
    _port.store(port);
    if (!_backend.attachOutput(this)) {
        _port.store(nullptr);
        JackPortConnection::unregisterPort(_backend, port);
        throw MIDIBackendError("The program has too many open JACK ports.");
    }
    try {
        JackPortConnection::connect(_backend, port, portName, false);
    } catch (const MIDIBackendError&) {
        _backend.detachOutput(this);
        _port.store(nullptr);
        JackPortConnection::unregisterPort(_backend, port);
        throw;
    }
    _targetName = portName;
    _connected.store(true);
    _waitForConnectionToCarry();
}

void JackMIDIOutputPort::_waitForConnectionToCarry()
{
    // The server takes a new connection into its graph at the start of a later cycle: what the
    // port writes before that (a setup's initializers, sent as soon as it opens) reaches no one.
    _backend.waitForCycles(1, kConnectionWaitMs);
}

void JackMIDIOutputPort::closePort()
{
    if (_targetName.empty() && !_port.load())
        return;
    jack_port_t* current = _port.load();
    if (_connected.load() && _backend.isServerRunning() && current &&
        JackPortConnection::isConnectedTo(current, _targetName)) {
        // What was handed over goes out first: queued messages and delayed ones. A loaded machine
        // may run the process cycle late, so this waits as long as the server runs, within bounds.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFlushBoundMs);
        bool flushed = true;
        while (!_ring.isEmpty() || _scheduledCount.load() != 0) {
            if (!_backend.isServerRunning())
                break;
            if (std::chrono::steady_clock::now() >= deadline) {
                flushed = false;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        // And the cycle that wrote the last of it has been read by the destination.
        if (flushed && !_backend.waitForCycles(2, kFlushBoundMs) && _backend.isServerRunning())
            flushed = false;
        if (!flushed)
            postWarningMessage(
                QStringLiteral("The JACK server did not take the last messages for \"%1\" within "
                               "%2 seconds: the synth may not have heard all of them.")
                    .arg(QString::fromStdString(_targetName))
                    .arg(kFlushBoundMs / 1000));
    }
    _connected.store(false);
    _backend.detachOutput(this);
    jack_port_t* port = _port.exchange(nullptr);
    if (port)
        JackPortConnection::unregisterPort(_backend, port);
    _targetName.clear();
    _ring.clear();
}

void JackMIDIOutputPort::forgetJackPort()
{
    // The server is gone: nothing runs the process cycle any more.
    _port.store(nullptr);
    _connected.store(false);
    _ring.clear();
    _schedule.clear();
    _scheduledCount.store(0);
}

bool JackMIDIOutputPort::remakeJackPort()
{
    if (_targetName.empty())
        return false;
    try {
        _port.store(JackPortConnection::registerPort(_backend, _targetName, false, true));
    } catch (const MIDIBackendError&) {
        return false;
    }
    return true;
}

bool JackMIDIOutputPort::reconnectIfNeeded()
{
    jack_port_t* port = _port.load();
    if (!port || _targetName.empty())
        return false;
    if (JackPortConnection::isConnectedTo(port, _targetName)) {
        _connected.store(true);
        return false;
    }
    _connected.store(false);
    if (!JackPortConnection::tryConnect(_backend, port, _targetName, false))
        return false;
    _connected.store(true);
    _waitForConnectionToCarry();
    return true;
}

void JackMIDIOutputPort::reportProblems()
{
    if (_scheduleFull.load())
        _backend.reportOnce(
            _scheduleFullReported,
            QStringLiteral("Too many delayed messages wait for the JACK port \"%1\": some went "
                           "out early or not at all.")
                .arg(QString::fromLatin1(_targetName.c_str())));
}

void JackMIDIOutputPort::sendMessage(const std::vector<unsigned char>& message)
{
    JackMIDIEvent event;
    if (!event.setBytes(message.data(), message.size())) {
        if (!message.empty() && JackMIDIBackend::processingBackend() != &_backend)
            _backend.reportOnce(_tooLongReported,
                                QStringLiteral("A message too long for a JACK port was not sent."));
        return;
    }
    _hand(event);
}

void JackMIDIOutputPort::sendMessageAt(const std::vector<unsigned char>& message, std::int64_t dueTimeUs,
                                       std::uint64_t ownerTag)
{
    JackMIDIEvent event;
    if (!event.setBytes(message.data(), message.size()))
        return;
    event.dueFrame = _backend.framesFromUs(dueTimeUs);
    event.ownerTag = ownerTag;
    _hand(event);
}

void JackMIDIOutputPort::cancelScheduledNoteOns(std::uint64_t ownerTag)
{
    JackMIDIEvent event;
    event.kind = JackMIDIEvent::CancelNoteOns;
    event.ownerTag = ownerTag;
    _hand(event);
}

void JackMIDIOutputPort::_hand(JackMIDIEvent& event)
{
    if (JackMIDIBackend::processingBackend() == &_backend) {
        // Process thread: straight into this cycle.
        if (!_port.load(std::memory_order_acquire))
            return;
        _ensureCycle();
        if (event.kind == JackMIDIEvent::CancelNoteOns) {
            _takeQueued(JackMIDIBackend::processingFrame());
            _schedule.cancelNoteOns(event.ownerTag);
            return;
        }
        _sendInCycle(event, JackMIDIBackend::processingFrame());
        return;
    }
    if (!_connected.load())
        return;
    if (_ring.push(event))
        _backend.reportOnce(_ringFullReported,
                            QStringLiteral("The queue of the JACK port \"%1\" is full: messages wait longer "
                                           "than usual, none is lost.")
                                .arg(QString::fromLatin1(_targetName.c_str())));
}

void JackMIDIOutputPort::_ensureCycle()
{
    // A port opened while a cycle runs gets that cycle's buffer when it is first written to.
    std::uint32_t frames = 0;
    std::int64_t cycleStart = 0;
    std::uint64_t epoch = 0;
    JackMIDIBackend::processingCycle(&frames, &cycleStart, &epoch);
    if (epoch != _cycleEpoch)
        beginCycle(frames, cycleStart, epoch);
}

void JackMIDIOutputPort::finishCycle()
{
    _ensureCycle();
    writeDue(_cycleStart + _frames - 1);
}

void JackMIDIOutputPort::beginCycle(std::uint32_t frames, std::int64_t cycleStart, std::uint64_t epoch)
{
    jack_port_t* port = _port.load(std::memory_order_acquire);
    _buffer = port ? jack_port_get_buffer(port, frames) : nullptr;
    _frames = frames;
    _cycleStart = cycleStart;
    _cycleEpoch = epoch;
    _lastOffset = 0;
    if (!_buffer)
        return;
    jack_midi_clear_buffer(_buffer);
    writeDue(cycleStart);
    _takeQueued(cycleStart);
}

void JackMIDIOutputPort::_takeQueued(std::int64_t now)
{
    // Earlier hand-overs from other threads go out before anything this cycle sends later.
    JackMIDIEvent event;
    while (_ring.pop(&event)) {
        if (event.kind == JackMIDIEvent::CancelNoteOns)
            _schedule.cancelNoteOns(event.ownerTag);
        else
            _sendInCycle(event, now);
    }
}

void JackMIDIOutputPort::_sendInCycle(JackMIDIEvent& event, std::int64_t now)
{
    if (!_buffer)
        return;
    if (event.dueFrame > now) {
        _keep(event);
        return;
    }
    _writeOrKeep(event, now);
}

void JackMIDIOutputPort::_writeOrKeep(JackMIDIEvent& event, std::int64_t now)
{
    writeDue(now);
    // Older messages still waiting (the buffer is full): this one waits behind them.
    if ((!_schedule.isEmpty() && _schedule.front().dueFrame <= now) || !_write(event, now)) {
        event.dueFrame = now;
        _keep(event);
    }
}

void JackMIDIOutputPort::_keep(JackMIDIEvent& event)
{
    if (_schedule.insert(event)) {
        _scheduledCount.store(_schedule.count(), std::memory_order_relaxed);
        return;
    }
    // No room to wait: out now if the buffer takes it; the GUI thread reports it.
    _scheduleFull.store(true);
    _write(event, _cycleStart + _lastOffset);
}

void JackMIDIOutputPort::writeDue(std::int64_t frame)
{
    if (!_buffer)
        return;
    while (!_schedule.isEmpty() && _schedule.front().dueFrame <= frame) {
        if (!_write(_schedule.front(), _schedule.front().dueFrame))
            break;
        _schedule.popFront();
    }
    _scheduledCount.store(_schedule.count(), std::memory_order_relaxed);
}

bool JackMIDIOutputPort::_write(const JackMIDIEvent& event, std::int64_t frame)
{
    if (!_buffer || _frames == 0)
        return false;
    // Events of a cycle go in frame order; one due earlier (waiting from before) goes at once.
    std::int64_t offset = frame - _cycleStart;
    if (offset < std::int64_t(_lastOffset))
        offset = _lastOffset;
    if (offset >= std::int64_t(_frames))
        offset = _frames - 1;
    if (jack_midi_event_write(_buffer, jack_nframes_t(offset), event.bytes, event.size) != 0)
        return false;
    _lastOffset = std::uint32_t(offset);
    return true;
}
