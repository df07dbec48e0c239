#include "widgets/OnScreenPlayRecord.h"

#include "model/routing/MIDIRoute.h"

void OnScreenPlayRecord::playNoteOn(MIDIRoute* route, BYTE note, BYTE velocity)
{
    if (!route || note > 127)
        return;
    // A second press of a sounding note (its release was lost) ends the first one where it began.
    if (_noteRoutes[note] && _noteRoutes[note] != route)
        playNoteOff(note);
    _noteRoutes[note] = route;
    route->injectNoteOnMessage(note, velocity);
}

bool OnScreenPlayRecord::playNoteOff(BYTE note)
{
    if (note > 127 || !_noteRoutes[note])
        return false;
    QPointer<MIDIRoute> route = _noteRoutes[note];
    _noteRoutes[note].clear();
    route->injectNoteOffMessage(note);
    return true;
}

void OnScreenPlayRecord::playPitchBend(MIDIRoute* route, pitchBendValue_t value)
{
    if (!route)
        return;
    // The wheel moved on another input: the first one returns to the centre first.
    if (_bendRoute && _bendRoute != route)
        _bendRoute->injectPitchBendMessage(kPitchBendCentre);
    // Through the input like a played bend: an output switched away from while bent hears the
    // way back to the centre too, as the input sends every gesture's end where it began.
    route->injectPitchBendMessage(value);
    if (value == kPitchBendCentre)
        _bendRoute.clear();
    else
        _bendRoute = route;
}

void OnScreenPlayRecord::returnBendToCentre()
{
    if (_bendRoute)
        playPitchBend(_bendRoute, kPitchBendCentre);
}

void OnScreenPlayRecord::endEverything()
{
    for (int note = 0; note < 128; ++note)
        playNoteOff(BYTE(note));
    returnBendToCentre();
}
