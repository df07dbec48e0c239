#include "model/transforms/NoteTransposer.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::int64_t kTotalBound = 256;

QString amountWithUnit(std::int64_t amount, const char* singular, const char* plural)
{
    return QString::number(amount) + QLatin1String(amount > 1 ? plural : singular);
}

} // namespace

NoteTransposer::NoteTransposer(QObject* parent) : MIDIDataTransform(TransformTypeNames::Transpose, parent)
{
    connect(this, &MIDIDataTransform::int1ValueChangedTo, this, &NoteTransposer::_int1ChangedToSLOT);
    connect(this, &MIDIDataTransform::int2ValueChangedTo, this, &NoteTransposer::_int2ChangedToSLOT);
    setInt1(0);
    setInt2(0);
    _setNumSemitonesOfTranspose();
}

void NoteTransposer::initFromDomElement(const QDomElement& element)
{
    MIDIDataTransform::initFromDomElement(element);
    _setNumSemitonesOfTranspose();
}

QString NoteTransposer::getDescriptionString() const
{
    const std::int64_t octaves = getOctaveTransposeAmount();
    const std::int64_t semitones = getSemitoneTransposeAmount();
    QString text;
    if (octaves != 0) {
        text += QStringLiteral("Transpose ");
        text += octaves > 0 ? QStringLiteral("Up ") : QStringLiteral("Down ");
        text += amountWithUnit(std::abs(octaves), " Octave", " Octaves");
    }
    if (semitones != 0) {
        text += octaves != 0 ? QStringLiteral(" and ") : QStringLiteral("Transpose ");
        // The direction word is left out when it would repeat the octaves' direction.
        if (semitones > 0 && octaves <= 0)
            text += QStringLiteral("Up ");
        else if (semitones < 0 && octaves >= 0)
            text += QStringLiteral("Down ");
        text += amountWithUnit(std::abs(semitones), " Semitone", " Semitones");
    }
    if (text.isEmpty())
        text = QStringLiteral("(no transpose)");
    if (isBypassed())
        text += QStringLiteral(" (bypassed)");
    return text;
}

// MIDI thread: no allocation, no blocking. The amount is read once, so every message of one pass
// moves by the same amount.
void NoteTransposer::transformWhatYouCan(midiMessageList_t* messages)
{
    const int total = _numSemitonesOfTranspose.load(std::memory_order_relaxed);
    for (auto it = messages->begin(); it != messages->end();) {
        midiMessage_t* message = *it;
        if (!isNoteMessage(message)) {
            ++it;
            continue;
        }
        const int moved = getNote(message) + total;
        if (moved < 0 || moved > 127) {
            it = messages->erase(it);
        } else {
            setNote(message, static_cast<BYTE>(moved));
            ++it;
        }
        _noteHandledAMessage();
    }
}

void NoteTransposer::_int1ChangedToSLOT(int /*newVal*/)
{
    _setNumSemitonesOfTranspose();
}

void NoteTransposer::_int2ChangedToSLOT(int /*newVal*/)
{
    _setNumSemitonesOfTranspose();
}

void NoteTransposer::_setNumSemitonesOfTranspose()
{
    const std::int64_t total = std::int64_t(getInt2()) * 12 + getInt1();
    _numSemitonesOfTranspose.store(static_cast<int>(std::clamp(total, -kTotalBound, kTotalBound)));
}
