#pragma once

#include "model/initializers/MIDIPatchInitializer.h"

/// "Note On": a note on, byte1 the note (default 12), byte2 the velocity (default 127). Used with
/// a Note Off as a keyswitch for sample libraries.
class NoteOnInitializer : public MIDIPatchInitializer
{
    Q_OBJECT

public:
    explicit NoteOnInitializer(QObject* parent);

    QString getDescriptionString() const override;

    /// GUI thread only.
    void setNote(BYTE note) { setByte1(note); }
    /// GUI thread only.
    void setVelocity(BYTE velocity) { setByte2(velocity); }

protected:
    void buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const override;
};
