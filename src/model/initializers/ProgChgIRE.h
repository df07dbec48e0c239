#pragma once

#include "model/initializers/InitializerRegistryEntry.h"
#include "model/initializers/InitializerTypeNames.h"
#include "model/initializers/ProgChgInitializer.h"

/// Registry entry of the "Program Change" initializer. GUI thread only.
class ProgChgIRE : public InitializerRegistryEntry
{
public:
    ProgChgIRE()
        : InitializerRegistryEntry(InitializerTypeNames::ProgramChange,
                                   QStringLiteral(":/icons/program_change_16x16.png"),
                                   QStringLiteral("Sends a program change message."))
    {
    }

    MIDIPatchInitializer* createInitializerInstance(QObject* parent) override
    {
        return new ProgChgInitializer(parent);
    }
};
