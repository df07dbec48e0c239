#pragma once

#include "midi/MIDIInputMessageHandler.h"

class MIDIRoute;

/// Registered with the port manager for a route's input port; hands every message to the route.
class MIDIRouteInputMessageHandler : public MIDIInputMessageHandler
{
public:
    explicit MIDIRouteInputMessageHandler(MIDIRoute* route);

    /// MIDI thread: forwards to the route.
    void handleMIDIInputMessage(double timeStamp, midiMessage_t* message) override;

    /// GUI thread: the route's notes from the port that vanished are ended.
    void inputPortVanished() override;
};
