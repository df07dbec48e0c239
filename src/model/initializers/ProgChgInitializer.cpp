#include "model/initializers/ProgChgInitializer.h"

#include "model/initializers/InitializerTypeNames.h"

ProgChgInitializer::ProgChgInitializer(QObject* parent)
    : MIDIPatchInitializer(InitializerTypeNames::ProgramChange, parent)
{
    // Program 0 is the base's initial value already.
}

QString ProgChgInitializer::getDescriptionString() const
{
    // Programs are shown counted from 1, as on most instruments.
    return QStringLiteral("PC# %1").arg(getByte1() + 1);
}

void ProgChgInitializer::buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const
{
    setProgramChangeMessage(message, parameters.byte1);
}
