#include "model/transforms/VelocityToCC.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

VelocityToCC::VelocityToCC(QObject* parent) : MIDIDataTransform(TransformTypeNames::VelocityToCC, parent)
{
    setByte1(11);
}

QString VelocityToCC::getDescriptionString() const
{
    QString text = QStringLiteral("Copy Velocity to CC") + QString::number(getByte1());
    if (isBypassed())
        text += QStringLiteral(" (bypassed)");
    return text;
}

void VelocityToCC::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages)
{
    // Only the incoming note on can carry a note on: the list holds at most one, so the single
    // output message is never needed twice in one pass.
    if (isOwnOutputMessage(message) || !isNoteOnMessage(message))
        return;
    midiMessage_t* controller = getOutputMessage();
    setControlChangeMessage(controller);
    setMIDIChannelIndex(controller, getMIDIChannelIndex(message));
    setControlNumberAndValue(controller, getByte1(), getVelocity(message) & 0x7F);
    messages->push_back(controller);
    _noteHandledAMessage();
}
