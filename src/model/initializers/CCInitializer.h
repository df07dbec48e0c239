#pragma once

#include "model/initializers/MIDIPatchInitializer.h"

/// "CC": a control change, controller byte1 (default 11), value byte2 (default 127).
class CCInitializer : public MIDIPatchInitializer
{
    Q_OBJECT

public:
    explicit CCInitializer(QObject* parent);

    QString getDescriptionString() const override;

protected:
    void buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const override;
};
