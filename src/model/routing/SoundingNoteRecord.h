#pragma once

#include "midi/MIDITypes.h"
#include "model/routing/GestureState.h"

#include <array>
#include <cstdint>

/// What one patch has actually sent to its port and not yet ended: note ons (with the incoming
/// note that caused each) and, per output channel, every gesture left away from rest (pedals,
/// pitch bend, modulation wheel, breath). Fixed size, never allocates, so it is kept on the MIDI
/// thread; the owner guards it with its message lock.
class SoundingNoteRecord
{
public:
    /// More notes than a player can hold; the owner ends the oldest note to make room when full.
    static constexpr int kCapacity = 512;
    /// Marks a note that no incoming note caused (initializer, keyboard injection without source).
    static constexpr BYTE kNoSource = 0xFF;

    struct Entry
    {
        BYTE channel;
        BYTE note;
        BYTE sourceChannel;
        BYTE sourceNote;
        std::uint32_t tag; ///< which incoming message sent it
    };

    /// Records whatever the delivered message starts or ends (note on/off, a gesture's position).
    void noteDelivered(const midiMessage_t* message, BYTE sourceChannel, BYTE sourceNote, std::uint32_t tag);

    int count() const { return _count; }
    bool isEmpty() const { return _count == 0; }
    bool isFull() const { return _count == kCapacity; }
    const Entry& at(int index) const { return _entries[index]; }
    void removeAt(int index);
    /// True when a note on of this channel and note is recorded.
    bool contains(BYTE channel, BYTE note) const;
    void clear();

    /// Index of the first entry caused by the incoming note and sent by another message than
    /// `exceptTag`; -1 if none.
    int indexOfSource(BYTE sourceChannel, BYTE sourceNote, std::uint32_t exceptTag) const;

    /// Whether the last value of the gesture sent on the channel left it away from rest.
    bool isAwayFromRest(int gesture, BYTE channel) const
    {
        return _gestures.isAwayFromRest(gesture, channel);
    }
    bool isAnyGestureAwayFromRest() const { return _gestures.isAnyAwayFromRest(); }
    void clearGestures() { _gestures.clear(); }

private:
    std::array<Entry, kCapacity> _entries{};
    int _count = 0;
    GestureState _gestures;
};
