#pragma once

#include "model/transforms/MessageAddingTransform.h"

/// "Pitch Change To CC": for each pitch bend adds a control change on the same channel with the
/// controller number byte1 (default 1) and the bend's upper seven bits as value (0 to 127). The
/// controller is sent just before the pitch bend, which passes unchanged.
class PitchChangeToCC : public MessageAddingTransform
{
    Q_OBJECT

public:
    explicit PitchChangeToCC(QObject* parent);

    /// "Pitch Change to CC" byte1.
    QString getDescriptionString() const override;
    /// MIDI thread: no allocation, no blocking.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;
};
