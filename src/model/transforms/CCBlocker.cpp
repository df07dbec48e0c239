#include "model/transforms/CCBlocker.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

CCBlocker::CCBlocker(QObject* parent) : MIDIDataTransform(TransformTypeNames::IgnoreAllControllers, parent) {}

void CCBlocker::transformWhatYouCan(midiMessageList_t* messages)
{
    if (std::erase_if(*messages,
                      [](const midiMessage_t* message) { return isControlChangeMessage(message); }) > 0)
        _noteHandledAMessage();
}
