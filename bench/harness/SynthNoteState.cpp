#include "harness/SynthNoteState.h"

#include <QStringList>

void SynthNoteState::heard(const midiMessage_t& message)
{
    if (message.size() < 3)
        return;
    const int type = message[0] & 0xF0;
    const int channel = message[0] & 0x0F;
    const int data1 = message[1] & 0x7F;
    const int data2 = message[2] & 0x7F;
    if (type == 0x90 && data2 != 0) {
        ++_notes[channel][data1];
        ++_noteOns;
    } else if (type == 0x80 || type == 0x90) {
        if (_notes[channel][data1] > 0)
            --_notes[channel][data1];
    } else if (type == 0xB0 && data1 == 64) {
        _pedals[channel] = data2 >= 64;
    } else if (type == 0xB0 && data1 == 123) {
        _notes[channel].fill(0);
    }
}

int SynthNoteState::notesSounding() const
{
    int count = 0;
    for (const auto& channel : _notes) {
        for (int notes : channel)
            count += notes;
    }
    return count;
}

int SynthNoteState::pedalsDown() const
{
    int count = 0;
    for (bool down : _pedals)
        count += down ? 1 : 0;
    return count;
}

QString SynthNoteState::describe() const
{
    QStringList left;
    for (int channel = 0; channel < 16; ++channel) {
        for (int note = 0; note < 128; ++note) {
            if (_notes[channel][note] > 0)
                left << QStringLiteral("ch%1 note %2 (x%3)")
                            .arg(channel + 1)
                            .arg(note)
                            .arg(_notes[channel][note]);
        }
        if (_pedals[channel])
            left << QStringLiteral("ch%1 pedal").arg(channel + 1);
    }
    return left.join(QStringLiteral(", "));
}

void SynthNoteState::clear()
{
    for (auto& channel : _notes)
        channel.fill(0);
    _pedals.fill(false);
    _noteOns = 0;
}
