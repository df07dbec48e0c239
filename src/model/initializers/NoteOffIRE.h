#pragma once

#include "model/initializers/InitializerRegistryEntry.h"
#include "model/initializers/InitializerTypeNames.h"
#include "model/initializers/NoteOffInitializer.h"

/// Registry entry of the "Note Off" initializer. GUI thread only.
class NoteOffIRE : public InitializerRegistryEntry
{
public:
    NoteOffIRE()
        : InitializerRegistryEntry(InitializerTypeNames::NoteOff,
                                   QStringLiteral(":/icons/note_off_16x16.png"),
                                   QStringLiteral("Sends a note off message."))
    {
    }

    MIDIPatchInitializer* createInitializerInstance(QObject* parent) override
    {
        return new NoteOffInitializer(parent);
    }
};
