#include "support/RecordingMIDIInputHandler.h"

#include "midi/MIDIPortIOManager.h"

#include <chrono>

void RecordingMIDIInputHandler::handleMIDIInputMessage(double timeStamp, midiMessage_t* message)
{
    if (_hook)
        _hook(this, message);
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _deliveries.push_back({*message, timeStamp, std::this_thread::get_id()});
    }
    _arrived.notify_all();
    const int forwardTo = _forwardTo.load();
    if (forwardTo >= 0)
        MIDIPortIOManager::GetInstance()->deliverMessageToOutputPort(forwardTo, message);
}

std::vector<RecordingMIDIInputHandler::Delivery> RecordingMIDIInputHandler::deliveries() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _deliveries;
}

int RecordingMIDIInputHandler::count() const
{
    std::lock_guard<std::mutex> lock(_mutex);
    return static_cast<int>(_deliveries.size());
}

bool RecordingMIDIInputHandler::waitForDeliveries(int count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(_mutex);
    return _arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return static_cast<int>(_deliveries.size()) >= count; });
}

void RecordingMIDIInputHandler::clear()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _deliveries.clear();
}
