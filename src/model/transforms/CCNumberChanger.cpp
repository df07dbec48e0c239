#include "model/transforms/CCNumberChanger.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformDescription.h"
#include "model/transforms/TransformTypeNames.h"

CCNumberChanger::CCNumberChanger(QObject* parent)
    : MIDIDataTransform(TransformTypeNames::ChangeCCNumber, parent)
{
    setByte1(11);
    setByte2(7);
}

QString CCNumberChanger::getDescriptionString() const
{
    return describeTransform(QStringLiteral("Change CC%1 to CC%2").arg(getByte1()).arg(getByte2()),
                             isBypassed());
}

void CCNumberChanger::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* /*messages*/)
{
    if (!isControlChangeNumber(message, getByte1()))
        return;
    changeControlNumberTo(message, getByte2());
    _noteHandledAMessage();
}
