#pragma once

#include "model/initializers/MIDIPatchInitializer.h"

/// "Volume": a control change, controller byte1 (default 7, channel volume), value byte2 (default 127).
class VolumeInitializer : public MIDIPatchInitializer
{
    Q_OBJECT

public:
    explicit VolumeInitializer(QObject* parent);

    QString getDescriptionString() const override;

    /// GUI thread only.
    void setVolume(BYTE volume) { setByte2(volume); }

protected:
    void buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const override;
};
