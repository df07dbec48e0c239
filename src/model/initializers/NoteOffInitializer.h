#pragma once

#include "model/initializers/MIDIPatchInitializer.h"

/// "Note Off": a note off with velocity 127 for the note byte1.
class NoteOffInitializer : public MIDIPatchInitializer
{
    Q_OBJECT

public:
    /// Note 12, or the note of the parent patch's first "Note On" initializer when it has one, so
    /// adding Note On then Note Off gives a keyswitch pair for the same note without editing.
    explicit NoteOffInitializer(QObject* parent);

    QString getDescriptionString() const override;

    /// GUI thread only.
    void setNote(BYTE note) { setByte1(note); }

protected:
    void buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const override;
};
