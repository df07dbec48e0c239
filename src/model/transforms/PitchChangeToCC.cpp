#include "model/transforms/PitchChangeToCC.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformDescription.h"

PitchChangeToCC::PitchChangeToCC(QObject* parent)
    : MessageAddingTransform(QStringLiteral("Pitch Change To CC"), parent)
{
    setByte1(1);
}

QString PitchChangeToCC::getDescriptionString() const
{
    return describeTransform(QStringLiteral("Pitch Change to CC%1").arg(getByte1()), isBypassed());
}

void PitchChangeToCC::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages)
{
    if (!isPitchBendMessage(message))
        return;
    const BYTE value = scaleDownPitchBendValue(getPitchBendValue(message));
    if (_appendControlChange(messages, getMIDIChannelIndex(message), getByte1(), value))
        _noteHandledAMessage();
}
