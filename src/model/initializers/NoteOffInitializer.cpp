#include "model/initializers/NoteOffInitializer.h"

#include "model/initializers/InitializerTypeNames.h"
#include "model/initializers/MIDIPatchInitializerOwner.h"

NoteOffInitializer::NoteOffInitializer(QObject* parent)
    : MIDIPatchInitializer(InitializerTypeNames::NoteOff, parent)
{
    InitializerParameters defaults;
    defaults.byte1 = 12;
    if (auto* owner = dynamic_cast<MIDIPatchInitializerOwner*>(parent)) {
        if (MIDIPatchInitializer* noteOn =
                owner->getFirstMIDIPatchInitializerOfType(InitializerTypeNames::NoteOn))
            defaults.byte1 = noteOn->getByte1();
    }
    setParametersQuietly(defaults);
}

QString NoteOffInitializer::getDescriptionString() const
{
    return QStringLiteral("Turn Off %1").arg(QLatin1String(getMIDINoteName(getByte1())));
}

void NoteOffInitializer::buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const
{
    setNoteOffMessage(message, parameters.byte1, 127);
}
