#pragma once

#include "model/initializers/InitializerRegistryEntry.h"
#include "model/initializers/InitializerTypeNames.h"
#include "model/initializers/VolumeInitializer.h"

/// Registry entry of the "Volume" initializer. GUI thread only.
class VolumeInitIRE : public InitializerRegistryEntry
{
public:
    VolumeInitIRE()
        : InitializerRegistryEntry(InitializerTypeNames::Volume, QStringLiteral(":/icons/volume_16x16.png"),
                                   QStringLiteral("Sends a volume (CC7) message."))
    {
    }

    MIDIPatchInitializer* createInitializerInstance(QObject* parent) override
    {
        return new VolumeInitializer(parent);
    }
};
