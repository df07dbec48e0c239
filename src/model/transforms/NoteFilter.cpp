#include "model/transforms/NoteFilter.h"

#include "model/MIDIMessage.h"
#include "model/ModelSignalPump.h"
#include "model/transforms/TransformTypeNames.h"
#include "model/transforms/ValueMapText.h"

namespace {

constexpr BYTE kAccepted = 127;
constexpr BYTE kFilteredOut = 0;

} // namespace

NoteFilter::NoteFilter(QObject* parent) : MIDIDataTransform(TransformTypeNames::NoteFilter, parent)
{
    setAllMappingValuesToMax();
}

bool NoteFilter::isNoteBeingFilteredOut(BYTE note) const
{
    return note <= 127 && _filteredOut[note].load(std::memory_order_relaxed);
}

QList<BYTE> NoteFilter::getFilteredOutNotes() const
{
    QList<BYTE> notes;
    for (int note = 0; note < 128; ++note) {
        if (isNoteBeingFilteredOut(static_cast<BYTE>(note)))
            notes.append(static_cast<BYTE>(note));
    }
    return notes;
}

void NoteFilter::filterOutNote(BYTE note)
{
    if (note > 127 || isNoteBeingFilteredOut(note))
        return;
    _filteredOut[note].store(true, std::memory_order_relaxed);
    setMapValueAt(note, kFilteredOut);
}

void NoteFilter::acceptNote(BYTE note)
{
    if (note > 127 || isNoteBeingAccepted(note))
        return;
    _filteredOut[note].store(false, std::memory_order_relaxed);
    setMapValueAt(note, kAccepted);
}

void NoteFilter::toggleNoteAcceptance(BYTE note)
{
    if (isNoteBeingAccepted(note))
        filterOutNote(note);
    else
        acceptNote(note);
}

void NoteFilter::acceptAllNotes()
{
    for (int note = 0; note < 128; ++note)
        acceptNote(static_cast<BYTE>(note));
}

void NoteFilter::filterOutAllNotes()
{
    for (int note = 0; note < 128; ++note)
        filterOutNote(static_cast<BYTE>(note));
}

void NoteFilter::filterOutNotesBelow(BYTE noteNum)
{
    for (int note = 0; note < noteNum && note < 128; ++note)
        filterOutNote(static_cast<BYTE>(note));
}

void NoteFilter::filterOutNotesAbove(BYTE noteNum)
{
    for (int note = noteNum + 1; note < 128; ++note)
        filterOutNote(static_cast<BYTE>(note));
}

QString NoteFilter::_storedMapText() const
{
    QString text(128, QChar(0));
    for (int note = 0; note < 128; ++note)
        text[note] = QChar(char16_t(isNoteBeingFilteredOut(static_cast<BYTE>(note)) ? 127 : 0));
    return text;
}

QDomElement NoteFilter::toDomElement(QDomDocument& doc)
{
    QDomElement element = MIDIDataTransform::toDomElement(doc);
    element.setAttribute(QStringLiteral("valueMapping"), escapeValueMapText(_storedMapText()));
    return element;
}

void NoteFilter::initFromDomElement(const QDomElement& element)
{
    // The map first takes the stored sense of the current filter, so that entries the element
    // does not give (a short or missing map) keep their state instead of reading as "all 127",
    // which would filter out every note.
    setMapValuesFromString(_storedMapText());
    MIDIDataTransform::initFromDomElement(element);

    ValueMapBuffer::Values stored;
    copyMapValues(stored);
    QString inMemory(128, QChar(0));
    for (int note = 0; note < 128; ++note) {
        const bool filteredOut = stored[note] == 127;
        _filteredOut[note].store(filteredOut, std::memory_order_relaxed);
        inMemory[note] = QChar(char16_t(filteredOut ? kFilteredOut : kAccepted));
    }
    setMapValuesFromString(inMemory);
}

void NoteFilter::transformWhatYouCan(midiMessageList_t* messages)
{
    bool erased = false;
    for (auto it = messages->begin(); it != messages->end();) {
        const midiMessage_t* message = *it;
        if (!isNoteMessage(message)) {
            ++it;
            continue;
        }
        const BYTE channel = getMIDIChannelIndex(message);
        const BYTE note = getNote(message);
        bool drop = false;
        if (isNoteOnMessage(message)) {
            if (ModelSignalPump::isRunning())
                _noteEvents.push(true, note & 0x7F, getVelocity(message));
            drop = isNoteBeingFilteredOut(note);
            if (!drop)
                _passedNoteOns.add(channel, note);
        } else {
            if (ModelSignalPump::isRunning())
                _noteEvents.push(false, note & 0x7F, getVelocity(message));
            drop = !_passedNoteOns.takeOne(channel, note) && isNoteBeingFilteredOut(note);
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

void NoteFilter::connectNotify(const QMetaMethod& signal)
{
    MIDIDataTransform::connectNotify(signal);
    noteConnection(signal, {QMetaMethod::fromSignal(&NoteFilter::noteOnReceived),
                            QMetaMethod::fromSignal(&NoteFilter::noteOffReceived)});
}

bool NoteFilter::hasPumpedListeners() const
{
    return MIDIDataTransform::hasPumpedListeners() ||
           isSignalConnected(QMetaMethod::fromSignal(&NoteFilter::noteOnReceived)) ||
           isSignalConnected(QMetaMethod::fromSignal(&NoteFilter::noteOffReceived));
}

void NoteFilter::pumpStarted()
{
    _noteEvents.drain();
    _noteEvents.takeOverflow();
}

void NoteFilter::emitPendingSignals()
{
    MIDIDataTransform::emitPendingSignals();
    if (_noteEvents.takeOverflow()) {
        // Events were lost, a note off perhaps among them: better dark than stuck lit.
        _noteEvents.drain();
        for (int note = 0; note < 128; ++note) {
            if (_announcedNotes.test(note))
                emit noteOffReceived(note);
        }
        _announcedNotes.reset();
        return;
    }
    NoteEventRing::Event event;
    while (_noteEvents.pop(event)) {
        _announcedNotes.set(event.note, event.on);
        if (event.on)
            emit noteOnReceived(event.note, event.velocity);
        else
            emit noteOffReceived(event.note);
    }
}
