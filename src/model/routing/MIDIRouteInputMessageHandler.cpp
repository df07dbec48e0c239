#include "model/routing/MIDIRouteInputMessageHandler.h"

#include "model/routing/MIDIRoute.h"

MIDIRouteInputMessageHandler::MIDIRouteInputMessageHandler(MIDIRoute* route) : MIDIInputMessageHandler(route)
{
}

void MIDIRouteInputMessageHandler::handleMIDIInputMessage(double timeStamp, midiMessage_t* message)
{
    static_cast<MIDIRoute*>(getUserData())->_handleMIDIInputMessage(timeStamp, message);
}

void MIDIRouteInputMessageHandler::inputPortVanished()
{
    static_cast<MIDIRoute*>(getUserData())->endSoundingNotes();
}
