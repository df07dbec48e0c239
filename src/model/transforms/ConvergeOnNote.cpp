#include "model/transforms/ConvergeOnNote.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

ConvergeOnNote::ConvergeOnNote(QObject* parent)
    : MIDIDataTransform(TransformTypeNames::ConvergeOnNote, parent)
{
    setByte1(60);
}

QString ConvergeOnNote::getDescriptionString() const
{
    QString text = QStringLiteral("Converge On ") + QLatin1String(getMIDINoteName(getByte1()));
    if (isBypassed())
        text += QStringLiteral(" (bypassed)");
    return text;
}

void ConvergeOnNote::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* /*messages*/)
{
    if (!isNoteMessage(message))
        return;
    setNote(message, getByte1());
    _noteHandledAMessage();
}
