#pragma once

/// Suspends MIDI input and output of the port I/O manager for its lifetime: incoming messages are
/// dropped and sends do nothing. Guards nest: I/O resumes when the outermost one ends. It does not
/// wait for a delivery already running; the manager does that itself before it changes its tables.
/// GUI thread only.
class TemporaryMidiIOSuspender
{
public:
    TemporaryMidiIOSuspender();
    ~TemporaryMidiIOSuspender();

    TemporaryMidiIOSuspender(const TemporaryMidiIOSuspender&) = delete;
    TemporaryMidiIOSuspender& operator=(const TemporaryMidiIOSuspender&) = delete;
};
