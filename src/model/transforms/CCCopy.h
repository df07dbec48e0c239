#pragma once

#include "model/transforms/MessageAddingTransform.h"

/// "CC Copy": for each control change of the source controller (byte1, default 1) adds a copy on
/// the same channel with the target controller number (byte2, default 11) and the same value.
/// The copy is appended, so it is sent just before its source, which passes unchanged.
///
/// Each copy has a buffer of its own (see MessageAddingTransform): two source messages in one
/// list give two separate copies, up to kAddedMessageLimit per pass. Copies are never copied
/// again. When source and target are the same number a copy would only repeat its source on the
/// wire, so none is made and the message passes alone.
class CCCopy : public MessageAddingTransform
{
    Q_OBJECT

public:
    explicit CCCopy(QObject* parent);

    /// "Copy CC" byte1 " to CC" byte2.
    QString getDescriptionString() const override;
    /// MIDI thread: no allocation, no blocking.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;
};
