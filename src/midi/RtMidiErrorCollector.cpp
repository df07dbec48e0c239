#include "midi/RtMidiErrorCollector.h"

#include "midi/MIDIBackendError.h"

#include <iostream>

void RtMidiErrorCollector::attachTo(RtMidi& midi)
{
    midi.setErrorCallback(&_errorCallback, this);
}

void RtMidiErrorCollector::watch()
{
    _firstReport.clear();
    _watching.store(true);
}

void RtMidiErrorCollector::check()
{
    _watching.store(false);
    if (!_firstReport.empty()) {
        std::string report;
        report.swap(_firstReport);
        throw MIDIBackendError(report);
    }
}

void RtMidiErrorCollector::_errorCallback(RtMidiError::Type type, const std::string& errorText,
                                          void* userData)
{
    auto* self = static_cast<RtMidiErrorCollector*>(userData);
    if (self->_watching.load()) {
        if (self->_firstReport.empty() && type != RtMidiError::DEBUG_WARNING)
            self->_firstReport =
                errorText.empty() ? std::string("The MIDI service reported an error.") : errorText;
        return;
    }
    if (type != RtMidiError::DEBUG_WARNING)
        std::cerr << '\n' << errorText << "\n\n";
}
