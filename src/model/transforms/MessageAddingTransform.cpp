#include "model/transforms/MessageAddingTransform.h"

#include "model/MIDIMessage.h"

MessageAddingTransform::MessageAddingTransform(QString name, QObject* parent)
    : MIDIDataTransform(std::move(name), parent)
{
    for (midiMessage_t& message : _addedMessages)
        message.reserve(3);
}

// MIDI thread: no allocation, no blocking. Only the entries present at the start are offered:
// what this pass appends is this transform's own output and must not trigger it again.
void MessageAddingTransform::transformWhatYouCan(midiMessageList_t* messages)
{
    _addedCount = 0;
    const std::size_t count = messages->size();
    for (std::size_t i = 0; i < count; ++i)
        transformThisIfYouCan((*messages)[i], messages);
}

bool MessageAddingTransform::_appendControlChange(midiMessageList_t* messages, BYTE channel, BYTE controller,
                                                  BYTE value)
{
    if (_addedCount >= _addedMessages.size())
        return false;
    midiMessage_t* message = &_addedMessages[_addedCount++];
    setControlChangeMessage(message);
    setMIDIChannelIndex(message, channel);
    setControlNumberAndValue(message, static_cast<BYTE>(controller & 0x7F), static_cast<BYTE>(value & 0x7F));
    messages->push_back(message);
    return true;
}
