#pragma once

#include "model/initializers/InitializerRegistryEntry.h"
#include "model/initializers/InitializerTypeNames.h"
#include "model/initializers/NoteOnInitializer.h"

/// Registry entry of the "Note On" initializer. GUI thread only.
class NoteOnIRE : public InitializerRegistryEntry
{
public:
    NoteOnIRE()
        : InitializerRegistryEntry(InitializerTypeNames::NoteOn, QStringLiteral(":/icons/note_16x16.png"),
                                   QStringLiteral("Sends a note on message."))
    {
    }

    MIDIPatchInitializer* createInitializerInstance(QObject* parent) override
    {
        return new NoteOnInitializer(parent);
    }
};
