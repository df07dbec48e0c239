#include "midi/RtMidiInputPort.h"

#include "midi/MIDIBackendError.h"
#include "midi/RtMidiBackend.h"
#include "midi/RtMidiGraveyard.h"
#include "midi/RtMidiJackWatch.h"

RtMidiInputPort::RtMidiInputPort(RtMidi::Api api) : _madeAt(RtMidiJackWatch::losses())
{
    try {
        _midiIn = std::make_unique<RtMidiIn>(api, RtMidiBackend::clientName(api, true), 100);
    } catch (const RtMidiError& error) {
        throw MIDIBackendError(error.getMessage());
    }
    _errors.attachTo(*_midiIn);
    // A JACK client whose server has gone is made without complaint; asking it for its ports tells.
    _errors.watch();
    _midiIn->getPortCount();
    _errors.check();
}

RtMidiInputPort::~RtMidiInputPort()
{
    cancelCallback();
    closePort();
    RtMidiGraveyard::bury(std::move(_midiIn), _madeAt);
}

bool RtMidiInputPort::_isStale() const
{
    return RtMidiJackWatch::isStale(_midiIn->getCurrentApi(), _madeAt);
}

void RtMidiInputPort::openPort(unsigned int index, const std::string& portName)
{
    const unsigned int portNumber = RtMidiBackend::findPortNumber(*_midiIn, _errors, index, portName);
    _errors.watch();
    _midiIn->openPort(portNumber, "RtMidi Input");
    try {
        _errors.check();
    } catch (const MIDIBackendError&) {
        _midiIn->closePort();
        throw;
    }
}

void RtMidiInputPort::closePort()
{
    if (!_isStale())
        _midiIn->closePort();
}

bool RtMidiInputPort::isConnected() const
{
    return !_isStale() && _midiIn->isPortOpen();
}

void RtMidiInputPort::setCallback(MIDIInputCallback callback, void* userData)
{
    _midiIn->setCallback(callback, userData);
    _hasCallback = true;
}

void RtMidiInputPort::cancelCallback()
{
    // The library complains when there is nothing to cancel.
    if (!_hasCallback)
        return;
    _midiIn->cancelCallback();
    _hasCallback = false;
}
