#pragma once

#include "model/initializers/MIDIPatchInitializer.h"

/// "Program Change": a program change to program byte1 (default 0).
class ProgChgInitializer : public MIDIPatchInitializer
{
    Q_OBJECT

public:
    explicit ProgChgInitializer(QObject* parent);

    QString getDescriptionString() const override;

    /// GUI thread only.
    void setPCNum(BYTE program) { setByte1(program); }

protected:
    void buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const override;
};
