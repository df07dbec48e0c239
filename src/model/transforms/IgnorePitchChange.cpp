#include "model/transforms/IgnorePitchChange.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

IgnorePitchChange::IgnorePitchChange(QObject* parent)
    : MIDIDataTransform(TransformTypeNames::IgnorePitchChange, parent)
{
}

void IgnorePitchChange::transformWhatYouCan(midiMessageList_t* messages)
{
    if (std::erase_if(*messages, [](const midiMessage_t* message) { return isPitchBendMessage(message); }) >
        0)
        _noteHandledAMessage();
}
