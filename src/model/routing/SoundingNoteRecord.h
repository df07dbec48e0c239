#pragma once

#include "midi/MIDITypes.h"

#include <array>
#include <cstdint>

/// What one patch has actually sent to its port and not yet ended: note ons (with the incoming
/// note that caused each), sustain pedals held down and pitch bends away from the centre, per
/// output channel. Fixed size, never
/// allocates, so it is kept on the MIDI thread; the owner guards it with its message lock.
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

    /// Records whatever the delivered message starts or ends (note on/off, controller 64).
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

    bool isPedalDown(BYTE channel) const { return (_pedalDownMask >> channel) & 1u; }
    bool isAnyPedalDown() const { return _pedalDownMask != 0; }
    void clearPedals() { _pedalDownMask = 0; }

    /// Whether the last pitch bend sent on the channel left it away from the centre.
    bool isBent(BYTE channel) const { return (_bentMask >> channel) & 1u; }
    void clearBends() { _bentMask = 0; }

private:
    std::array<Entry, kCapacity> _entries{};
    int _count = 0;
    std::uint16_t _pedalDownMask = 0;
    std::uint16_t _bentMask = 0;
};
