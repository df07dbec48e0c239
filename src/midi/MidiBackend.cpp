#include "midi/MidiBackend.h"

#include "midi/RtMidiBackend.h"

#include <QtGlobal>

MidiBackend* MidiBackend::_instance = nullptr;
bool MidiBackend::_instanceHandedOut = false;

MidiBackend* MidiBackend::GetInstance()
{
    if (!_instance)
        _instance = new RtMidiBackend();
    _instanceHandedOut = true;
    return _instance;
}

bool MidiBackend::installBackend(std::unique_ptr<MidiBackend> backend)
{
    if (_instanceHandedOut) {
        qWarning("The MIDI backend is already in use and cannot be replaced.");
        return false;
    }
    // A backend installed earlier was never handed out, so nothing uses it. The new one is never
    // deleted: port objects made by it may live until the process ends.
    delete _instance;
    _instance = backend.release();
    return true;
}
