#pragma once

#include "model/MIDIMessage.h"

#include <QList>
#include <QPointer>
#include <array>

class MIDIOutput;
class MIDIRoute;

/// What the on-screen keyboard has sent and not yet ended: for each note, the input that got its
/// note on; for the pitch wheel, the input and the outputs that got a bend away from the centre.
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

    /// Injects the bend into the input. A bend away from the centre is remembered with the output
    /// that is active now; the centre also goes to every other output that got a bend.
    void playPitchBend(MIDIRoute* route, pitchBendValue_t value);
    bool hasBendOutstanding() const { return !_bendRoute.isNull(); }
    /// Returns a bend away from the centre to the centre, where it was sent.
    void returnBendToCentre();

    /// Ends every note and returns any bend to the centre.
    void endEverything();

private:
    void _returnBendOnOtherOutputs();

    std::array<QPointer<MIDIRoute>, 128> _noteRoutes;
    QPointer<MIDIRoute> _bendRoute;
    QList<QPointer<MIDIOutput>> _bentOutputs;
};
