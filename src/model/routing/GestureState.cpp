#include "model/routing/GestureState.h"

#include "model/MIDIMessage.h"

namespace {

constexpr BYTE kModWheel = 1;
constexpr BYTE kBreath = 2;
constexpr BYTE kSostenutoPedal = 66;
constexpr BYTE kSoftPedal = 67;

constexpr std::array<BYTE, GestureState::kNumGestures> kControllers{
    kSustainPedal, kSostenutoPedal, kSoftPedal, 0, kModWheel, kBreath};

} // namespace

int GestureState::gestureOf(const midiMessage_t* message)
{
    if (message->size() < 3)
        return -1;
    const BYTE status = BYTE((*message)[0] & 0xF0);
    if (status == kPitchBend)
        return PitchBend;
    if (status != kControlChange)
        return -1;
    switch ((*message)[1]) {
    case kSustainPedal:
        return Sustain;
    case kSostenutoPedal:
        return Sostenuto;
    case kSoftPedal:
        return Soft;
    case kModWheel:
        return ModWheel;
    case kBreath:
        return Breath;
    default:
        return -1;
    }
}

bool GestureState::isAtRest(const midiMessage_t* message, int gesture)
{
    if (gesture == PitchBend)
        return getPitchBendValue(message) == kPitchBendCentre;
    return getControlValue(message) == 0;
}

void GestureState::writeRestMessage(midiMessage_t* message, int gesture, BYTE channel)
{
    if (gesture == PitchBend) {
        setPitchBendMessage(message);
        setPitchBendValue(message, kPitchBendCentre);
    } else {
        setControlChangeMessage(message);
        setControlNumberAndValue(message, kControllers[gesture], 0);
    }
    setMIDIChannelIndex(message, channel);
}

int GestureState::record(const midiMessage_t* message)
{
    const int gesture = gestureOf(message);
    if (gesture < 0)
        return -1;
    const std::uint16_t bit = std::uint16_t(1u << getMIDIChannelIndex(message));
    if (isAtRest(message, gesture))
        _away[gesture] &= std::uint16_t(~bit);
    else
        _away[gesture] |= bit;
    return gesture;
}

bool GestureState::isAnyAwayFromRest() const
{
    for (std::uint16_t mask : _away) {
        if (mask != 0)
            return true;
    }
    return false;
}
