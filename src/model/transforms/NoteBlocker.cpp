#include "model/transforms/NoteBlocker.h"

#include "model/MIDIMessage.h"

NoteBlocker::NoteBlocker(QObject* parent) : MIDIDataTransform(QStringLiteral("Ignore All Notes"), parent) {}

void NoteBlocker::transformWhatYouCan(midiMessageList_t* messages)
{
    bool erased = false;
    for (auto it = messages->begin(); it != messages->end();) {
        if (isNoteMessage(*it)) {
            it = messages->erase(it);
            erased = true;
        } else {
            ++it;
        }
    }
    if (erased)
        _noteHandledAMessage();
}
