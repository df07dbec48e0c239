#pragma once

#include <RtMidi.h>

#include <cstdint>

/// A JACK client of the program's own beside RtMidi's clients on the RtMidi JACK path, for what
/// those clients do not tell:
/// - ports coming, going or being renamed anywhere in the graph: the catalogue looks again at once
///   rather than at its next look a second later, so a synthesizer restarted in a moment is seen;
/// - the server letting go of the program (stopped, or the program dropped). From then on the JACK
///   halves of every RtMidi client made before are freed inside the JACK library: closing their
///   ports would touch freed memory, so such clients are never closed nor deleted again (see
///   isStale(); the graveyard keeps to it too). Clients made once a server is back are sound.
/// GUI thread only, except where said.
class RtMidiJackWatch
{
public:
    /// Reports each loss once (an error through the status channel), then opens the watching
    /// client when none runs and a server can be reached. Cheap when one runs.
    static void ensureRunning();
    /// Closes the watching client (when its server still holds it).
    static void stop();

    /// How many times a server let go of the program so far. Any thread.
    static int losses();
    /// Whether a client made when losses() was `madeAt` has lost its server since. Any thread.
    static bool isStale(int madeAt) { return losses() != madeAt; }
    /// The same for an RtMidi client on `api`: only JACK clients can go stale. Any thread.
    static bool isStale(RtMidi::Api api, int madeAt) { return api == RtMidi::UNIX_JACK && isStale(madeAt); }

    /// Whether the watching client runs (a server holds the program now).
    static bool isRunning();

    /// How many process cycles the watching client has run so far. Any thread.
    static std::uint64_t cycles();
    /// Waits until cycles() reaches `cycle`, while the watching client runs; false when it stops
    /// or `timeoutMs` passes first. Any thread except a JACK thread.
    static bool waitUntilCycle(std::uint64_t cycle, int timeoutMs);
};
