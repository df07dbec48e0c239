#include "model/transforms/CCBlocker.h"

#include "model/MIDIMessage.h"

CCBlocker::CCBlocker(QObject* parent) : MIDIDataTransform(QStringLiteral("Ignore All Controllers"), parent) {}

void CCBlocker::transformWhatYouCan(midiMessageList_t* messages)
{
    if (std::erase_if(*messages,
                      [](const midiMessage_t* message) { return isControlChangeMessage(message); }) > 0)
        _noteHandledAMessage();
}
