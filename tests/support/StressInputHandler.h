#pragma once

#include "midi/MIDIInputMessageHandler.h"

#include <atomic>

/// An input handler for stress tests. It counts the calls that come while it is not registered (the
/// test marks it registered before adding it and unregistered after removing it) and notes whether a
/// call is running, so a test can check that none runs once removal has returned. Each message can
/// also be sent on to an output index, as a route would.
class StressInputHandler : public MIDIInputMessageHandler
{
public:
    explicit StressInputHandler(int forwardToOutputIndex = -1)
        : MIDIInputMessageHandler(nullptr), _forwardTo(forwardToOutputIndex)
    {
    }

    void handleMIDIInputMessage(double timeStamp, midiMessage_t* message) override;

    std::atomic<bool> registered{false};
    std::atomic<int> running{0};
    std::atomic<long> calls{0};
    std::atomic<long> callsWhileUnregistered{0};

private:
    const int _forwardTo;
};
