#include "model/MIDIRouteInputMessageHandler.h"

#include "model/MIDIRoute.h"

MIDIRouteInputMessageHandler::MIDIRouteInputMessageHandler(MIDIRoute* route) : MIDIInputMessageHandler(route)
{
}

void MIDIRouteInputMessageHandler::handleMIDIInputMessage(double timeStamp, midiMessage_t* message)
{
    static_cast<MIDIRoute*>(getUserData())->_handleMIDIInputMessage(timeStamp, message);
}
