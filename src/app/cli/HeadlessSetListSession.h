#pragma once

class CommandLineOptions;

/// Plays a set list with no window: reads the list (naming every song that cannot be played),
/// starts on its first playable song, changes songs on the list's MIDI triggers, on SIGUSR2 (next
/// song) and from the OSC remote when asked, sends all notes off on SIGUSR1, names each song
/// change on stderr, and stops cleanly on SIGINT or SIGTERM with nothing left sounding in any song.
/// Needs a QCoreApplication. GUI (main) thread only.
class HeadlessSetListSession
{
public:
    /// Returns the exit status: 0 after a clean stop, 2 when the list cannot be read, none of its
    /// songs can be played, or the OSC port cannot be opened.
    static int run(const CommandLineOptions& options);
};
