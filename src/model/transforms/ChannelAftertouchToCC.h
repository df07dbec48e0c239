#pragma once

#include "model/transforms/MessageAddingTransform.h"

/// "Channel Aftertouch To CC": for each channel aftertouch adds a control change on the same
/// channel with the controller number byte1 (default 1) and the pressure as value. The
/// controller is sent just before the aftertouch, which passes unchanged.
class ChannelAftertouchToCC : public MessageAddingTransform
{
    Q_OBJECT

public:
    explicit ChannelAftertouchToCC(QObject* parent);

    /// "Channel Aftertouch to CC" byte1.
    QString getDescriptionString() const override;
    /// MIDI thread: no allocation, no blocking.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;
};
