#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// "Velocity Map": the velocity v of every note on becomes value map entry v. Note offs keep
/// their velocity. Map entries only ever hold 0 to 127, so the velocity stays a valid data byte;
/// an entry 0 turns the note on into a note off, which is what the map asks for.
class VelocityMapping : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit VelocityMapping(QObject* parent);

    /// Maps the velocity, then emits handledAMessage() and lastValueReceived() with the velocity
    /// before mapping. MIDI thread: no allocation, no blocking.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;
};
