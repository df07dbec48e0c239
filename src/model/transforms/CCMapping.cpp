#include "model/transforms/CCMapping.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformDescription.h"
#include "model/transforms/TransformTypeNames.h"

CCMapping::CCMapping(QObject* parent) : MIDIDataTransform(TransformTypeNames::CCMap, parent)
{
    setByte1(1);
}

QString CCMapping::getDescriptionString() const
{
    return describeTransform(QStringLiteral("CC%1 Map").arg(getByte1()), isBypassed());
}

void CCMapping::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* /*messages*/)
{
    if (!isControlChangeNumber(message, getByte1()))
        return;
    // A data byte carries seven bits; the map has an entry for each such value, each 0 to 127.
    const BYTE value = static_cast<BYTE>(getControlValue(message) & 0x7F);
    setControlNumberAndValue(message, getControlChangeNumber(message), getMapValueAt(value));
    _noteHandledAMessage();
    _noteLastValueReceived(value);
}
