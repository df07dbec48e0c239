#include "model/transforms/IgnoreChannelAftertouch.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

IgnoreChannelAftertouch::IgnoreChannelAftertouch(QObject* parent)
    : MIDIDataTransform(TransformTypeNames::IgnoreChannelAftertouch, parent)
{
}

void IgnoreChannelAftertouch::transformWhatYouCan(midiMessageList_t* messages)
{
    if (std::erase_if(*messages,
                      [](const midiMessage_t* message) { return isChannelAftertouchMessage(message); }) > 0)
        _noteHandledAMessage();
}
