#include "model/transforms/IgnoreCC.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformDescription.h"
#include "model/transforms/TransformTypeNames.h"

IgnoreCC::IgnoreCC(QObject* parent) : MIDIDataTransform(TransformTypeNames::IgnoreCC, parent)
{
    setByte1(7);
}

QString IgnoreCC::getDescriptionString() const
{
    return describeTransform(QStringLiteral("Ignore CC%1").arg(getByte1()), isBypassed());
}

void IgnoreCC::transformWhatYouCan(midiMessageList_t* messages)
{
    const BYTE controller = getByte1();
    const auto erased = std::erase_if(*messages, [controller](const midiMessage_t* message) {
        return isControlChangeNumber(message, controller);
    });
    if (erased > 0)
        _noteHandledAMessage();
}
