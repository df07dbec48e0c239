#include "model/transforms/VelocityFromCC.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

VelocityFromCC::VelocityFromCC(QObject* parent)
    : MIDIDataTransform(TransformTypeNames::VelocityFromCC, parent)
{
    setByte1(1);
    setByte2(64);
}

QString VelocityFromCC::getDescriptionString() const
{
    QString text = QStringLiteral("Velocity from CC") + QString::number(getByte1());
    if (isBypassed())
        text += QStringLiteral(" (bypassed)");
    return text;
}

void VelocityFromCC::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* /*messages*/)
{
    if (isControlChangeNumber(message, getByte1())) {
        // A value above 127 (a malformed message) is refused and the last good value stays.
        _storeByte2Quietly(getControlValue(message));
        _noteHandledAMessage();
    } else if (isNoteOnMessage(message)) {
        setVelocity(message, getByte2());
        _noteHandledAMessage();
    }
}
