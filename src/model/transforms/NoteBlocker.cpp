#include "model/transforms/NoteBlocker.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

NoteBlocker::NoteBlocker(QObject* parent) : MIDIDataTransform(TransformTypeNames::IgnoreAllNotes, parent) {}

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
