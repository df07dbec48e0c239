#include "model/routing/SoundingNoteRecord.h"

#include "model/MIDIMessage.h"

void SoundingNoteRecord::noteDelivered(const midiMessage_t* message, BYTE sourceChannel, BYTE sourceNote,
                                       std::uint32_t tag)
{
    const BYTE channel = getMIDIChannelIndex(message);
    if (isNoteOnMessage(message)) {
        // A note that no incoming note caused (an initializer's, sent again at every activation)
        // takes no second entry while it sounds: one note off ends it, and repeating it cannot
        // fill the record. A played note keeps one entry per note on, so a synth that counts
        // note ons hears as many note offs.
        const BYTE note = getNote(message);
        if (sourceNote == kNoSource && contains(channel, note))
            return;
        if (_count < kCapacity)
            _entries[_count++] = Entry{channel, note, sourceChannel, sourceNote, tag};
    } else if (isNoteOffMessage(message)) {
        const BYTE note = getNote(message);
        for (int i = 0; i < _count; ++i) {
            if (_entries[i].channel == channel && _entries[i].note == note) {
                removeAt(i);
                break;
            }
        }
    } else {
        _gestures.record(message);
    }
}

bool SoundingNoteRecord::contains(BYTE channel, BYTE note) const
{
    for (int i = 0; i < _count; ++i) {
        if (_entries[i].channel == channel && _entries[i].note == note)
            return true;
    }
    return false;
}

void SoundingNoteRecord::removeAt(int index)
{
    for (int i = index + 1; i < _count; ++i)
        _entries[i - 1] = _entries[i];
    --_count;
}

void SoundingNoteRecord::clear()
{
    _count = 0;
}

int SoundingNoteRecord::indexOfSource(BYTE sourceChannel, BYTE sourceNote, std::uint32_t exceptTag) const
{
    for (int i = 0; i < _count; ++i) {
        const Entry& e = _entries[i];
        if (e.sourceChannel == sourceChannel && e.sourceNote == sourceNote && e.tag != exceptTag)
            return i;
    }
    return -1;
}
