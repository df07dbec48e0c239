#pragma once

#include <RtMidi.h>

#include <memory>

/// Keeps closed RtMidi client objects alive for a while before deleting them.
///
/// Deleting a JACK client object stops its process thread wherever that thread is: inside a
/// message callback (which then never lowers what it raised nor unlocks what it locked), or in
/// the middle of reading buffers that the deletion frees. A closed object no longer calls back nor
/// reads its buffers from the next process cycle on, so it is kept here and deleted only once it
/// has been closed for a good while. Objects are never deleted on a MIDI thread.
///
/// Any thread except a MIDI thread (deleting an old object may take a JACK round trip).
class RtMidiGraveyard
{
public:
    /// Takes a client object whose port is closed (and whose callback is cancelled). Objects kept
    /// for long enough are deleted now. Null is ignored. `madeAt` is RtMidiJackWatch::losses() when
    /// the object was made (-1: now): a JACK client whose server let go of the program since is
    /// never deleted, as its JACK half is freed already.
    static void bury(std::unique_ptr<RtMidiIn> object, int madeAt = -1);
    static void bury(std::unique_ptr<RtMidiOut> object, int madeAt = -1);
    /// Deletes every object kept, after waiting until the last one buried has rested briefly.
    /// Called by a clean stop, and at exit for whatever was buried after it.
    static void releaseAll();
    /// How many objects are kept (for tests).
    static int count();

private:
    template <typename T> static void _bury(std::unique_ptr<T> object, int madeAt);
    static void _keep(std::shared_ptr<void> object);
};
