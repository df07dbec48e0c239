#include "midi/RtMidiOutputPort.h"

#include "midi/MIDIBackendError.h"
#include "midi/RtMidiBackend.h"
#include "midi/RtMidiGraveyard.h"
#include "midi/RtMidiJackWatch.h"

#include <thread>

RtMidiOutputPort::RtMidiOutputPort(RtMidi::Api api) : _madeAt(RtMidiJackWatch::losses())
{
    try {
        _midiOut = std::make_unique<RtMidiOut>(api, RtMidiBackend::clientName(api, false));
    } catch (const RtMidiError& error) {
        throw MIDIBackendError(error.getMessage());
    }
    _onJack = _midiOut->getCurrentApi() == RtMidi::UNIX_JACK;
    _errors.attachTo(*_midiOut);
    _errors.watch();
    _midiOut->getPortCount();
    _errors.check();
}

RtMidiOutputPort::~RtMidiOutputPort()
{
    closePort();
    RtMidiGraveyard::bury(std::move(_midiOut), _madeAt);
}

bool RtMidiOutputPort::_isStale() const
{
    return RtMidiJackWatch::isStale(_midiOut->getCurrentApi(), _madeAt);
}

void RtMidiOutputPort::openPort(unsigned int index, const std::string& portName)
{
    const unsigned int portNumber = RtMidiBackend::findPortNumber(*_midiOut, _errors, index, portName);
    _errors.watch();
    _midiOut->openPort(portNumber, "RtMidi Output");
    try {
        _errors.check();
    } catch (const MIDIBackendError&) {
        _midiOut->closePort();
        throw;
    }
}

void RtMidiOutputPort::closePort()
{
    // On JACK the MIDI library drops what its client has not yet carried through the graph when
    // the port goes: a stop's last note offs were lost on a loaded machine. Wait, while the server
    // runs and within bounds, until a few cycles have passed since the last send.
    const std::uint64_t sentAt = _lastSendCycle.exchange(0);
    if (sentAt != 0 && !_isStale())
        RtMidiJackWatch::waitUntilCycle(sentAt + kCyclesToCarry, kLongestCarryWaitMs);
    while (_sendLock.test_and_set(std::memory_order_acquire))
        std::this_thread::yield();
    if (!_isStale())
        _midiOut->closePort();
    _sendLock.clear(std::memory_order_release);
}

bool RtMidiOutputPort::isConnected() const
{
    return !_isStale() && _midiOut->isPortOpen();
}

void RtMidiOutputPort::sendMessage(const std::vector<unsigned char>& message)
{
    // Any thread; no allocation. The other sender holds the lock for one send at most.
    while (_sendLock.test_and_set(std::memory_order_acquire))
        std::this_thread::yield();
    if (!message.empty() && _midiOut->isPortOpen() && !_isStale()) {
        _midiOut->sendMessage(message.data(), message.size());
        if (_onJack)
            _lastSendCycle.store(RtMidiJackWatch::cycles() + 1, std::memory_order_relaxed);
    }
    _sendLock.clear(std::memory_order_release);
}
