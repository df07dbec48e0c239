#pragma once

#include "model/initializers/InitializerRegistryEntry.h"
#include "model/initializers/InitializerTypeNames.h"
#include "model/initializers/PitchBendInitializer.h"

/// Registry entry of the "Pitch Bend" initializer. GUI thread only.
class PitchBendInitIRE : public InitializerRegistryEntry
{
public:
    PitchBendInitIRE()
        : InitializerRegistryEntry(InitializerTypeNames::PitchBend, QStringLiteral(":/icons/pitch_16x16.png"),
                                   QStringLiteral("Sends a pitch bend message."))
    {
    }

    MIDIPatchInitializer* createInitializerInstance(QObject* parent) override
    {
        return new PitchBendInitializer(parent);
    }
};
