#include "model/transforms/VelocityMapping.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

// The default map is the base's identity map.
VelocityMapping::VelocityMapping(QObject* parent) : MIDIDataTransform(TransformTypeNames::VelocityMap, parent)
{
}

void VelocityMapping::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* /*messages*/)
{
    if (!isNoteOnMessage(message))
        return;
    const BYTE velocity = getVelocity(message);
    // getMapValueAt answers 0 for a (malformed) velocity above 127, never a byte above 127.
    setVelocity(message, getMapValueAt(velocity));
    _noteHandledAMessage();
    _noteLastValueReceived(velocity);
}
