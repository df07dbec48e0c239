#include "model/transforms/MakeMonophonic.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

namespace {

std::uint16_t channelAndNote(const midiMessage_t* message)
{
    return static_cast<std::uint16_t>((getMIDIChannelIndex(message) << 8) | getNote(message));
}

} // namespace

MakeMonophonic::MakeMonophonic(QObject* parent)
    : MIDIDataTransform(TransformTypeNames::MakeMonophonic, parent)
{
}

// Only the incoming message can be a note on (no transform adds note ons), so the output message
// is appended at most once per pass.
void MakeMonophonic::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages)
{
    if (isOwnOutputMessage(message) || !isNoteMessage(message))
        return;
    const std::uint16_t played = channelAndNote(message);
    const std::uint16_t sounding = _soundingNote.load(std::memory_order_relaxed);

    if (isNoteOffMessage(message)) {
        if (played == sounding)
            _soundingNote.store(kNothingSounding, std::memory_order_relaxed);
        return;
    }
    if (sounding == played)
        return;
    _soundingNote.store(played, std::memory_order_relaxed);
    if (sounding == kNothingSounding)
        return;

    midiMessage_t* noteOff = getOutputMessage();
    setNoteOffMessage(noteOff, static_cast<BYTE>(sounding & 0x7F), 127);
    setMIDIChannelIndex(noteOff, static_cast<BYTE>(sounding >> 8));
    messages->push_back(noteOff);
    _noteHandledAMessage();
}
