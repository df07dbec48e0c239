#include "midi/MIDIBackend.h"

#include "midi/MIDIBackendChoice.h"

#include <QtGlobal>

MIDIBackend* MIDIBackend::_instance = nullptr;
bool MIDIBackend::_instanceHandedOut = false;

MIDIBackend* MIDIBackend::GetInstance()
{
    if (!_instance)
        _instance = MIDIBackendChoice::makeBackend().release();
    _instanceHandedOut = true;
    return _instance;
}

bool MIDIBackend::installBackend(std::unique_ptr<MIDIBackend> backend)
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
