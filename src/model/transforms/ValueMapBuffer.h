#pragma once

#include "midi/MIDITypes.h"

#include <array>
#include <atomic>
#include <mutex>

/// The 128 entries of a transform's value map, written on the GUI thread and read on the MIDI
/// thread without a blocking lock and without allocation.
///
/// Two complete copies of the map are kept. Readers always read the published copy; a writer
/// fills the other copy and then publishes it with one atomic store, so a reader sees either the
/// whole old map or the whole new map, never a map that is half rewritten. Each reader announces
/// itself on the copy it reads with an atomic counter and re-checks that the copy is still the
/// published one; a writer only starts filling a copy once no reader is left on it. Readers never
/// wait (they retry only when a publish slipped in between their two checks); a writer may yield
/// for the few instructions a reader needs. Writers are serialised among themselves by a mutex that
/// readers never touch.
class ValueMapBuffer
{
public:
    static constexpr int kSize = 128;
    using Values = std::array<BYTE, kSize>;

    /// Starts with the identity map: entry i holds i.
    ValueMapBuffer();
    ValueMapBuffer(const ValueMapBuffer&) = delete;
    ValueMapBuffer& operator=(const ValueMapBuffer&) = delete;

    /// Entry at the index (0 to 127; the caller checks the range). Any thread: no allocation,
    /// no blocking.
    BYTE valueAt(BYTE index) const;
    /// Copies all 128 entries of one published map. Any thread: no allocation, no blocking.
    void copyValues(Values& values) const;

    /// Publishes a whole new map; readers see it complete or not at all. GUI thread (any thread
    /// but never one that is inside a read of this buffer).
    void publish(const Values& values);
    /// Publishes the current map with one entry changed.
    void publishValueAt(BYTE index, BYTE value);

private:
    /// Pins the published copy for reading and returns its index; pair with _unpin.
    int _pinPublished() const;
    void _unpin(int copy) const;
    /// Writer side, with _writerMutex held.
    void _publishLocked(const Values& values);

    Values _copies[2];
    std::atomic<int> _published{0};
    mutable std::atomic<int> _readers[2] = {0, 0};
    std::mutex _writerMutex;
};
