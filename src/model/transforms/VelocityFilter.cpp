#include "model/transforms/VelocityFilter.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

VelocityFilter::VelocityFilter(QObject* parent)
    : MIDIDataTransform(TransformTypeNames::VelocityFilter, parent)
{
    setByte1(21);
    setByte2(0);
}

QString VelocityFilter::getDescriptionString() const
{
    QString text = QStringLiteral("Ignore Velocities ");
    text += getByte2() != 0 ? QStringLiteral("Above ") : QStringLiteral("Below ");
    text += QString::number(getByte1());
    if (isBypassed())
        text += QStringLiteral(" (bypassed)");
    return text;
}

void VelocityFilter::transformWhatYouCan(midiMessageList_t* messages)
{
    const BYTE threshold = getByte1();
    const BYTE direction = getByte2();
    bool erased = false;
    for (auto it = messages->begin(); it != messages->end();) {
        const midiMessage_t* message = *it;
        bool drop = false;
        if (isNoteOnMessage(message)) {
            const BYTE velocity = getVelocity(message);
            drop = (direction == 0 && velocity < threshold) || (direction == 1 && velocity > threshold);
            if (drop)
                _heldBack.add(getMIDIChannelIndex(message), getNote(message));
        } else if (isNoteOffMessage(message)) {
            drop = _heldBack.takeOne(getMIDIChannelIndex(message), getNote(message));
        }
        if (drop) {
            it = messages->erase(it);
            erased = true;
        } else {
            ++it;
        }
    }
    if (erased)
        _noteHandledAMessage();
}
