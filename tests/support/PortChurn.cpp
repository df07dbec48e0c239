#include "support/PortChurn.h"

#include "midi/MIDIPortIOManager.h"
#include "midi/TemporaryMidiIOSuspender.h"

#include <QRandomGenerator>

#include <thread>

namespace {

int patchTokens[4];
MIDIPatchTarget* patchToken(int i)
{
    return reinterpret_cast<MIDIPatchTarget*>(&patchTokens[i]);
}

} // namespace

PortChurn::PortChurn(const QStringList& inputPorts, const QStringList& outputPorts, int sendIndex,
                     int forwardIndex)
    : _inputPorts(inputPorts), _outputPorts(outputPorts), _sendIndex(sendIndex), _handlerPort(4),
      _patchPort(4)
{
    for (int i = 0; i < 4; ++i)
        _handlers.push_back(new StressInputHandler(forwardIndex));
}

PortChurn::~PortChurn()
{
    MIDIPortIOManager::GetInstance()->removeAllPortRequirements();
    for (StressInputHandler* handler : _handlers)
        delete handler;
}

void PortChurn::_release(int handler)
{
    MIDIPortIOManager::GetInstance()->removeRequiredInputPortNamed(_handlerPort[handler], _handlers[handler]);
    if (_handlers[handler]->running.load() != 0)
        ++_runningAfterRemoval;
    _handlers[handler]->registered.store(false);
    _handlerPort[handler].clear();
}

long PortChurn::run(std::chrono::milliseconds duration, std::chrono::milliseconds maxPause)
{
    MIDIPortIOManager* manager = MIDIPortIOManager::GetInstance();
    QRandomGenerator random(20240611);
    const auto end = std::chrono::steady_clock::now() + duration;
    long operations = 0;
    midiMessage_t guiMessage = {0xB0, 0x7B, 0x00};
    while (std::chrono::steady_clock::now() < end) {
        const int which = static_cast<int>(random.bounded(4));
        switch (random.bounded(10)) {
        case 0:
        case 1:
        case 2:
            if (_handlerPort[which].isEmpty()) {
                const QString port = _inputPorts.at(static_cast<int>(random.bounded(_inputPorts.size())));
                _handlers[which]->registered.store(true);
                manager->addRequiredInputPortNamed(port, _handlers[which]);
                _handlerPort[which] = port;
            } else {
                _release(which);
            }
            break;
        case 3:
        case 4:
            if (_patchPort[which].isEmpty()) {
                _patchPort[which] = _outputPorts.at(static_cast<int>(random.bounded(_outputPorts.size())));
                manager->addRequiredOutputPortNamed(_patchPort[which], patchToken(which));
            } else {
                manager->removeRequiredOutputPortNamed(_patchPort[which], patchToken(which));
                _patchPort[which].clear();
            }
            break;
        case 5: {
            TemporaryMidiIOSuspender suspender;
            manager->deliverMessageToOutputPort(_sendIndex, &guiMessage);
            break;
        }
        case 6:
            if (random.bounded(20) == 0) {
                manager->removeAllPortRequirements();
                for (int i = 0; i < 4; ++i) {
                    if (_handlers[i]->running.load() != 0)
                        ++_runningAfterRemoval;
                    _handlers[i]->registered.store(false);
                    _handlerPort[i].clear();
                    _patchPort[i].clear();
                }
            }
            break;
        default:
            manager->deliverMessageToOutputPort(_sendIndex, &guiMessage);
            break;
        }
        ++operations;
        if (maxPause.count() > 0)
            std::this_thread::sleep_for(
                std::chrono::milliseconds(random.bounded(static_cast<int>(maxPause.count()) + 1)));
    }
    for (int i = 0; i < 4; ++i) {
        if (!_handlerPort[i].isEmpty())
            _release(i);
    }
    return operations;
}

long PortChurn::violations() const
{
    long total = _runningAfterRemoval;
    for (const StressInputHandler* handler : _handlers)
        total += handler->callsWhileUnregistered.load();
    return total;
}

long PortChurn::handlerCalls() const
{
    long total = 0;
    for (const StressInputHandler* handler : _handlers)
        total += handler->calls.load();
    return total;
}
