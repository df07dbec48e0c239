#include "support/StressInputHandler.h"

#include "midi/MIDIPortIOManager.h"

void StressInputHandler::handleMIDIInputMessage(double, midiMessage_t* message)
{
    running.fetch_add(1);
    if (!registered.load())
        callsWhileUnregistered.fetch_add(1);
    calls.fetch_add(1);
    if (_forwardTo >= 0)
        MIDIPortIOManager::GetInstance()->deliverMessageToOutputPort(_forwardTo, message);
    running.fetch_sub(1);
}
