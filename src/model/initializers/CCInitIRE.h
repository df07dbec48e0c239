#pragma once

#include "model/initializers/CCInitializer.h"
#include "model/initializers/InitializerRegistryEntry.h"
#include "model/initializers/InitializerTypeNames.h"

/// Registry entry of the "CC" initializer. GUI thread only.
class CCInitIRE : public InitializerRegistryEntry
{
public:
    CCInitIRE()
        : InitializerRegistryEntry(InitializerTypeNames::CC, QStringLiteral(":/icons/cc_16x16.png"),
                                   QStringLiteral("Sends a continuous controller (CC) message."))
    {
    }

    MIDIPatchInitializer* createInitializerInstance(QObject* parent) override
    {
        return new CCInitializer(parent);
    }
};
