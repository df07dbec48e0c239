#include "model/routing/SoundingNoteRecord.h"

#include "model/MIDIMessage.h"

void SoundingNoteRecord::noteDelivered(const midiMessage_t* message, BYTE sourceChannel, BYTE sourceNote,
                                       std::uint32_t tag)
{
    const BYTE channel = getMIDIChannelIndex(message);
    if (isNoteOnMessage(message)) {
        if (_count < kCapacity)
            _entries[_count++] = Entry{channel, getNote(message), sourceChannel, sourceNote, tag};
    } else if (isNoteOffMessage(message)) {
        const BYTE note = getNote(message);
        for (int i = 0; i < _count; ++i) {
            if (_entries[i].channel == channel && _entries[i].note == note) {
                removeAt(i);
                break;
            }
        }
    } else if (isControlChangeNumber(message, 64)) {
        if (getControlValue(message) >= 64)
            _pedalDownMask |= std::uint16_t(1u << channel);
        else
            _pedalDownMask &= std::uint16_t(~(1u << channel));
    } else if (isPitchBendMessage(message)) {
        if (getPitchBendValue(message) != kPitchBendCentre)
            _bentMask |= std::uint16_t(1u << channel);
        else
            _bentMask &= std::uint16_t(~(1u << channel));
    }
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
