#include "model/initializers/VolumeInitializer.h"

#include "model/initializers/InitializerTypeNames.h"

VolumeInitializer::VolumeInitializer(QObject* parent)
    : MIDIPatchInitializer(InitializerTypeNames::Volume, parent)
{
    InitializerParameters defaults;
    defaults.byte1 = 7;
    defaults.byte2 = 127;
    setParametersQuietly(defaults);
}

QString VolumeInitializer::getDescriptionString() const
{
    return QStringLiteral("Volume: %1").arg(getByte2());
}

void VolumeInitializer::buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const
{
    setControlChangeMessage(message);
    setControlNumberAndValue(message, parameters.byte1, parameters.byte2);
}
