#include "model/transforms/PitchChangeInverter.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

namespace {
constexpr pitchBendValue_t kMaxPitchBend = 16383;
}

PitchChangeInverter::PitchChangeInverter(QObject* parent)
    : MIDIDataTransform(TransformTypeNames::InvertPitchChange, parent)
{
}

void PitchChangeInverter::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* /*messages*/)
{
    if (!isPitchBendMessage(message))
        return;
    // The value is read as two seven-bit halves, so it never exceeds 16383, and the inverted
    // value is written back as two seven-bit data bytes.
    setPitchBendValue(message, static_cast<pitchBendValue_t>(kMaxPitchBend - getPitchBendValue(message)));
    _noteHandledAMessage();
}
