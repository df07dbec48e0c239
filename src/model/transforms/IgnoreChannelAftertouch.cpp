#include "model/transforms/IgnoreChannelAftertouch.h"

#include "model/MIDIMessage.h"

IgnoreChannelAftertouch::IgnoreChannelAftertouch(QObject* parent)
    : MIDIDataTransform(QStringLiteral("Ignore Channel Aftertouch"), parent)
{
}

void IgnoreChannelAftertouch::transformWhatYouCan(midiMessageList_t* messages)
{
    if (std::erase_if(*messages,
                      [](const midiMessage_t* message) { return isChannelAftertouchMessage(message); }) > 0)
        _noteHandledAMessage();
}
