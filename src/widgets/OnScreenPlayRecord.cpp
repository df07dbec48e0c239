#include "widgets/OnScreenPlayRecord.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
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
    if (_bendRoute && _bendRoute != route) {
        // The wheel moved on another input: the first one returns to the centre first.
        _bendRoute->injectPitchBendMessage(kPitchBendCentre);
        _returnBendOnOtherOutputs();
    }
    route->injectPitchBendMessage(value);
    if (value == kPitchBendCentre) {
        _bendRoute = route;
        _returnBendOnOtherOutputs();
        return;
    }
    _bendRoute = route;
    MIDIOutput* active = route->getActiveMIDIOutput();
    if (active && !_bentOutputs.contains(active))
        _bentOutputs.append(active);
}

void OnScreenPlayRecord::_returnBendOnOtherOutputs()
{
    MIDIRoute* route = _bendRoute;
    const QList<QPointer<MIDIOutput>> outputs = _bentOutputs;
    _bentOutputs.clear();
    _bendRoute.clear();
    if (!route)
        return;
    // An output that was switched away from while bent did not hear the input's centre: send it
    // through its patches, as the route would have, on the input's channel.
    midiMessage_t centre;
    setPitchBendMessage(&centre);
    setPitchBendValue(&centre, kPitchBendCentre);
    setMIDIChannelIndex(&centre, route->isSpecificMIDIChannel() ? route->getMIDIChannel() : BYTE(0));
    for (const QPointer<MIDIOutput>& output : outputs) {
        if (!output || output == route->getActiveMIDIOutput() || !route->hasMIDIOutput(output))
            continue;
        for (int i = 0; i < output->getNumMIDIPatchTargets(); ++i)
            output->getMIDIPatchTargetAtIndex(i)->handleMIDIMessage(0, &centre);
    }
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
