#include "model/transforms/ChannelAftertouchToCC.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformDescription.h"

ChannelAftertouchToCC::ChannelAftertouchToCC(QObject* parent)
    : MessageAddingTransform(QStringLiteral("Channel Aftertouch To CC"), parent)
{
    setByte1(1);
}

QString ChannelAftertouchToCC::getDescriptionString() const
{
    return describeTransform(QStringLiteral("Channel Aftertouch to CC%1").arg(getByte1()), isBypassed());
}

void ChannelAftertouchToCC::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages)
{
    if (!isChannelAftertouchMessage(message))
        return;
    // The added controller keeps the pressure to seven bits (_appendControlChange masks it).
    if (_appendControlChange(messages, getMIDIChannelIndex(message), getByte1(),
                             getChannelAftertouchPressureValue(message)))
        _noteHandledAMessage();
}
