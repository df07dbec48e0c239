#include "model/transforms/CCCopy.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformDescription.h"

CCCopy::CCCopy(QObject* parent) : MessageAddingTransform(QStringLiteral("CC Copy"), parent)
{
    setByte1(1);
    setByte2(11);
}

QString CCCopy::getDescriptionString() const
{
    return describeTransform(QStringLiteral("Copy CC%1 to CC%2").arg(getByte1()).arg(getByte2()),
                             isBypassed());
}

void CCCopy::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages)
{
    // Read each number once, so a change made in the editor meanwhile cannot mix two settings.
    const BYTE source = getByte1();
    const BYTE target = getByte2();
    if (source == target || !isControlChangeNumber(message, source))
        return;
    if (_appendControlChange(messages, getMIDIChannelIndex(message), target, getControlValue(message)))
        _noteHandledAMessage();
}
