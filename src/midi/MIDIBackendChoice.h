#pragma once

#include "midi/MIDIBackend.h"

#include <QString>

#include <memory>

/// Which MIDI service the program talks to, and through which backend:
/// - "alsa": the ALSA sequencer, through RtMidi;
/// - "jack": JACK natively (JackMIDIBackend): the routing runs inside the JACK cycle;
/// - "jack-rtmidi": JACK through RtMidi, one JACK client per port;
/// - nothing chosen: ALSA where its sequencer opens, else native JACK.
/// The choice comes from the command line (setPreferredApi), else from the environment variable
/// QUORVELL_MIDI_API. A JACK server is never started for the program. GUI thread only.
class MIDIBackendChoice
{
public:
    /// Sets the command line's choice: one of the names above in any case, or empty for automatic.
    /// Returns false, changing nothing, for any other name. Call before the port catalogue is first
    /// used.
    static bool setPreferredApi(const QString& apiName);
    /// The choice set with setPreferredApi(), in lower case; empty when none.
    static QString getPreferredApi();
    /// True for "alsa", "jack" and "jack-rtmidi" (lower case).
    static bool isKnownApi(const QString& apiName);

    /// Makes the backend the choice asks for. When no service can be reached it is a backend with
    /// no ports, and a warning saying why is posted.
    static std::unique_ptr<MIDIBackend> makeBackend();

private:
    static QString _preferredApi;
};
