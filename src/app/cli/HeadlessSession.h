#pragma once

class CommandLineOptions;

/// Routes MIDI through a setup file with no window: loads it as the program would (same port
/// catalogue, same replacement of missing ports with their warnings), routes until SIGINT or
/// SIGTERM, sends all notes off on SIGUSR1, takes remote control over OSC when asked, and stops
/// cleanly. Status texts go to stderr.
/// Needs a QCoreApplication. GUI (main) thread only.
class HeadlessSession
{
public:
    /// Returns the exit status: 0 after a clean stop, 2 when the file cannot be read or the OSC
    /// port cannot be opened. The outputs active at the last stop come back when the same file
    /// reopens unchanged, unless --fresh.
    static int run(const CommandLineOptions& options);
};
