#pragma once

#include "model/MIDIMessage.h"

#include <QPointer>
#include <array>

class MIDIRoute;

/// What the on-screen keyboard has sent and not yet ended: for each note, the input that got its
/// note on; for the pitch wheel, the input that got a bend away from the centre. Everything goes
/// through the input's own injection, never to the patches directly.
/// The note off and the return of the bend go where the gesture began, even after the active input
/// or output changed. GUI thread only.
class OnScreenPlayRecord
{
public:
    /// Injects the note on into the input and remembers it.
    void playNoteOn(MIDIRoute* route, BYTE note, BYTE velocity);
    /// Injects the note off into the input that got the note on, if it still exists. Returns
    /// false when the note was not sounding from here.
    bool playNoteOff(BYTE note);
    bool isNoteSounding(BYTE note) const { return !_noteRoutes[note].isNull(); }

    /// Injects the bend into the input, as played; a bend away from the centre is remembered so
    /// that it can be returned.
    void playPitchBend(MIDIRoute* route, pitchBendValue_t value);
    bool hasBendOutstanding() const { return !_bendRoute.isNull(); }
    /// Returns a bend away from the centre to the centre, where it was sent.
    void returnBendToCentre();

    /// Ends every note and returns any bend to the centre.
    void endEverything();

private:
    std::array<QPointer<MIDIRoute>, 128> _noteRoutes;
    QPointer<MIDIRoute> _bendRoute;
};
