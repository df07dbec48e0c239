#include "model/initializers/PitchBendInitializer.h"

#include "model/initializers/InitializerTypeNames.h"

#include <algorithm>

PitchBendInitializer::PitchBendInitializer(QObject* parent)
    : MIDIPatchInitializer(InitializerTypeNames::PitchBend, parent)
{
    InitializerParameters defaults;
    defaults.int1 = kPitchBendCentre;
    setParametersQuietly(defaults);
}

QString PitchBendInitializer::getDescriptionString() const
{
    return QStringLiteral("Pitch Bend: %1").arg(getInt1());
}

void PitchBendInitializer::buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const
{
    // int1 is not range-checked in the model (a file may hold anything); a value outside the 14-bit
    // range bends fully down or up instead of wrapping round to an unrelated bend.
    setPitchBendMessage(message);
    setPitchBendValue(message, static_cast<pitchBendValue_t>(std::clamp(parameters.int1, 0, 16383)));
}
