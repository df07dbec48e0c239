#pragma once

/// Ends a run without leaving anything sounding: the current setup is let go of at once, which
/// first stops every input from listening and then, patch by patch, ends every note and sustain
/// pedal it sent on the port and channel where it began; then the port names and use flags are
/// written to the preferences and every port is closed. GUI thread only; call after the event
/// loop has ended.
class CleanStop
{
public:
    static void perform();
    /// Lets go of the MIDI service and deletes the closed client objects: the end of any run that
    /// opened the service, after its ports are closed.
    static void releaseMIDIService();
};
