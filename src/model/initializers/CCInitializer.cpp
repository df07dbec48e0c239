#include "model/initializers/CCInitializer.h"

#include "model/initializers/InitializerTypeNames.h"

CCInitializer::CCInitializer(QObject* parent) : MIDIPatchInitializer(InitializerTypeNames::CC, parent)
{
    InitializerParameters defaults;
    defaults.byte1 = 11;
    defaults.byte2 = 127;
    setParametersQuietly(defaults);
}

QString CCInitializer::getDescriptionString() const
{
    const InitializerParameters parameters = getParameters();
    return QStringLiteral("CC%1, Value %2").arg(parameters.byte1).arg(parameters.byte2);
}

void CCInitializer::buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const
{
    setControlChangeMessage(message);
    setControlNumberAndValue(message, parameters.byte1, parameters.byte2);
}
