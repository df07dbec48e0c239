#pragma once

#include "midi/MIDIInputMessageHandler.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

/// An input handler for tests: records every message it is given with its time stamp and the thread
/// it ran on (thread-safe), and can send each message on to an output port through the port I/O
/// manager, as a route would. Set the hook and the forwarding before the handler is registered.
class RecordingMIDIInputHandler : public MIDIInputMessageHandler
{
public:
    struct Delivery
    {
        midiMessage_t bytes;
        double timeStamp;
        std::thread::id thread;
    };

    explicit RecordingMIDIInputHandler(void* userData = nullptr) : MIDIInputMessageHandler(userData) {}

    void handleMIDIInputMessage(double timeStamp, midiMessage_t* message) override;

    /// Every message so far, in order.
    std::vector<Delivery> deliveries() const;
    /// How many messages so far.
    int count() const;
    /// Waits until at least `count` messages arrived; false on time-out.
    bool waitForDeliveries(int count, int timeoutMs) const;
    /// Forgets what arrived.
    void clear();

    /// Each message is also sent to this catalogue output index; -1 sends nothing (the default).
    void forwardToOutputPort(int outputIndex) { _forwardTo.store(outputIndex); }
    /// Runs first in every delivery, on the delivering thread.
    void setHook(std::function<void(RecordingMIDIInputHandler*, midiMessage_t*)> hook)
    {
        _hook = std::move(hook);
    }

private:
    std::function<void(RecordingMIDIInputHandler*, midiMessage_t*)> _hook;
    std::atomic<int> _forwardTo{-1};
    mutable std::mutex _mutex;
    mutable std::condition_variable _arrived;
    std::vector<Delivery> _deliveries;
};
