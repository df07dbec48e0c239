#include "model/initializers/NoteOnInitializer.h"

#include "model/initializers/InitializerTypeNames.h"

NoteOnInitializer::NoteOnInitializer(QObject* parent)
    : MIDIPatchInitializer(InitializerTypeNames::NoteOn, parent)
{
    InitializerParameters defaults;
    defaults.byte1 = 12;
    defaults.byte2 = 127;
    setParametersQuietly(defaults);
}

QString NoteOnInitializer::getDescriptionString() const
{
    const InitializerParameters parameters = getParameters();
    return QStringLiteral("%1, Velocity %2")
        .arg(QLatin1String(getMIDINoteName(parameters.byte1)))
        .arg(parameters.byte2);
}

void NoteOnInitializer::buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const
{
    setNoteOnMessage(message, parameters.byte1, parameters.byte2);
}
