#pragma once

#include <RtMidi.h>

#include <atomic>
#include <string>

/// Takes the errors and warnings an RtMidi object reports. While a GUI-thread call on the object is
/// being watched (between watch() and check()), they are kept so that check() can raise them as a
/// MIDIBackendError; at any other time (sends and receives on a MIDI thread) they are printed to the
/// standard error stream as the library itself would. Either way the library never throws through
/// code that does not expect it, such as a send on a MIDI thread.
class RtMidiErrorCollector
{
public:
    /// Routes the object's reports here. Call once, right after making the object.
    void attachTo(RtMidi& midi);

    /// Starts keeping reports. GUI thread only.
    void watch();

    /// Stops keeping reports and throws MIDIBackendError with the first one kept, if any. Warnings
    /// count as failures too: the library only warns when, for example, the JACK server has gone.
    /// GUI thread only.
    void check();

private:
    static void _errorCallback(RtMidiError::Type type, const std::string& errorText, void* userData);

    std::atomic<bool> _watching{false};
    // Written only while watching, which happens on the GUI thread inside the watched call.
    std::string _firstReport;
};
