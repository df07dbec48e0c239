#pragma once

#include "model/initializers/MIDIPatchInitializer.h"

/// "Pitch Bend": a pitch bend with the 14-bit value int1 (default 8192, the centre).
class PitchBendInitializer : public MIDIPatchInitializer
{
    Q_OBJECT

public:
    explicit PitchBendInitializer(QObject* parent);

    QString getDescriptionString() const override;

protected:
    void buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const override;
};
