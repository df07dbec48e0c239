#include "midi/MIDIPortIOManager.h"

#include "app/StatusManager.h"
#include "midi/MIDIInputMessageHandler.h"
#include "midi/MIDIPortInfo.h"
#include "midi/MidiBackend.h"
#include "midi/MidiBackendError.h"
#include "midi/TemporaryMidiIOSuspender.h"

#include <chrono>
#include <memory>
#include <thread>

MIDIPortIOManager* MIDIPortIOManager::_instance = nullptr;

// How the tables stay safe without a lock on the MIDI path.
//
// Every input delivery and every send first raises _deliveriesInFlight, then reads _ioSuspendDepth,
// and lowers the count when it ends. Every table change (GUI thread) first raises _ioSuspendDepth,
// then waits until it reads _deliveriesInFlight as 0, changes the tables, and lowers the depth again.
// All four accesses are sequentially consistent, so they fall into one total order and the two sides
// cannot both miss each other's write: either the GUI thread sees the delivery in flight and waits
// for it to end, or the delivery sees the suspension and drops its message. (With weaker orderings
// both could read the old value, and a delivery would run on a table being changed.) The delivery's
// decrement also publishes that it is done reading the tables to the GUI thread's load that sees 0,
// and the GUI thread's lowering of the depth publishes the new tables to the next delivery that reads
// it. Nothing on the MIDI path allocates, locks or waits for the GUI thread.
namespace {

// Input deliveries admitted (not dropped) and still running on this thread. A handler's sends run
// inside one, and such a send goes ahead even if a suspension began meanwhile: the tables cannot
// change before the delivery ends, and the message it accepted is routed to the end.
thread_local int t_admittedDeliveries = 0;

class InFlightMark
{
public:
    explicit InFlightMark(std::atomic<int>& count) : _count(count)
    {
        _count.fetch_add(1, std::memory_order_seq_cst);
    }
    ~InFlightMark() { _count.fetch_sub(1, std::memory_order_seq_cst); }
    InFlightMark(const InFlightMark&) = delete;
    InFlightMark& operator=(const InFlightMark&) = delete;

private:
    std::atomic<int>& _count;
};

class AdmittedDelivery
{
public:
    AdmittedDelivery() { ++t_admittedDeliveries; }
    ~AdmittedDelivery() { --t_admittedDeliveries; }
    AdmittedDelivery(const AdmittedDelivery&) = delete;
    AdmittedDelivery& operator=(const AdmittedDelivery&) = delete;
};

QString openErrorText(const char* direction, const QString& portName, const MidiBackendError& error)
{
    return QStringLiteral("Unable to open %1 port '").arg(QLatin1String(direction)) + portName +
           QStringLiteral("'\n\n") + error.getMessage();
}

} // namespace

void _midiInMessageCallbackFcn(double timeStamp, std::vector<unsigned char>* message, void* userData)
{
    // MIDI thread: no allocation, no blocking.
    MIDIPortIOManager* manager = MIDIPortIOManager::_instance;
    if (!manager || !userData || !message || message->empty())
        return;
    const int inputPortIndex = *static_cast<const int*>(userData);
    InFlightMark inFlight(manager->_deliveriesInFlight);
    if (manager->_ioSuspendDepth.load(std::memory_order_seq_cst) != 0)
        return; // suspended input is dropped, not queued
    AdmittedDelivery admitted;
    manager->_deliverInputMessageToHandlers(inputPortIndex, timeStamp, message);
}

MIDIPortIOManager* MIDIPortIOManager::GetInstance()
{
    if (!_instance)
        _instance = new MIDIPortIOManager();
    return _instance;
}

MIDIPortIOManager::MIDIPortIOManager()
    : QObject(nullptr), _ioSuspendDepth(0), _deliveriesInFlight(0), _portInfo(MIDIPortInfo::GetInstance()),
      _inputPortsByIndex(static_cast<size_t>(_portInfo->getNumInputPorts()), nullptr),
      _inputPortIndexes(static_cast<size_t>(_portInfo->getNumInputPorts())),
      _outputPortsByIndex(static_cast<size_t>(_portInfo->getNumOutputPorts()), nullptr)
{
    for (size_t i = 0; i < _inputPortIndexes.size(); ++i)
        _inputPortIndexes[i] = static_cast<int>(i);
}

void MIDIPortIOManager::suspendIO(bool suspend)
{
    if (suspend) {
        _ioSuspendDepth.fetch_add(1, std::memory_order_seq_cst);
    } else if (_ioSuspendDepth.load(std::memory_order_seq_cst) > 0) {
        _ioSuspendDepth.fetch_sub(1, std::memory_order_seq_cst);
    }
}

bool MIDIPortIOManager::isIOSuspended() const
{
    return _ioSuspendDepth.load(std::memory_order_seq_cst) != 0;
}

void MIDIPortIOManager::_waitForDeliveriesToEnd() const
{
    // GUI thread only, with I/O suspended. Deliveries take microseconds and never wait for this
    // thread, so yielding is enough; sleeping briefly keeps a slow one from costing a whole core.
    for (int round = 0; _deliveriesInFlight.load(std::memory_order_seq_cst) != 0; ++round) {
        if (round < 100)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
}

void MIDIPortIOManager::_postPendingErrors()
{
    // Posted once I/O runs again: a message box shown for an error must not keep MIDI suspended.
    const QStringList errors = _pendingErrors;
    _pendingErrors.clear();
    for (const QString& error : errors)
        postErrorMessage(error);
}

void MIDIPortIOManager::addRequiredInputPortNamed(const QString& portName, MIDIInputMessageHandler* handler)
{
    if (portName.isEmpty() || !handler)
        return;
    {
        TemporaryMidiIOSuspender suspender;
        _waitForDeliveriesToEnd();
        const int index = _portInfo->getIndexOfInputPortNamed(portName);
        if (index < 0)
            return;
        QVector<MIDIInputMessageHandler*>& handlers = _inputHandlers[index];
        if (!handlers.contains(handler))
            handlers.append(handler);
        if (!_hasOpenInputPortFor(portName))
            _openInputPortNamed(portName);
    }
    _postPendingErrors();
}

void MIDIPortIOManager::removeRequiredInputPortNamed(const QString& portName,
                                                     MIDIInputMessageHandler* handler)
{
    if (portName.isEmpty())
        return;
    TemporaryMidiIOSuspender suspender;
    _waitForDeliveriesToEnd();
    const int index = _portInfo->getIndexOfInputPortNamed(portName);
    auto entry = _inputHandlers.find(index);
    if (entry == _inputHandlers.end() || !entry.value().contains(handler))
        return;
    entry.value().removeAll(handler);
    if (entry.value().isEmpty()) {
        if (_hasOpenInputPortFor(portName))
            _closeInputPortNamed(portName);
        _inputHandlers.erase(entry);
    }
}

void MIDIPortIOManager::addRequiredOutputPortNamed(const QString& portName, MIDIPatchTarget* patch)
{
    if (portName.isEmpty() || !patch)
        return;
    {
        TemporaryMidiIOSuspender suspender;
        _waitForDeliveriesToEnd();
        if (_portInfo->getIndexOfOutputPortNamed(portName) < 0)
            return;
        if (!_hasOpenOutputPortFor(portName))
            _openOutputPortNamed(portName);
        QVector<MIDIPatchTarget*>& users = _outputPortUsers[portName];
        if (!users.contains(patch))
            users.append(patch);
    }
    _postPendingErrors();
}

void MIDIPortIOManager::removeRequiredOutputPortNamed(const QString& portName, MIDIPatchTarget* patch)
{
    if (portName.isEmpty())
        return;
    TemporaryMidiIOSuspender suspender;
    _waitForDeliveriesToEnd();
    auto entry = _outputPortUsers.find(portName);
    if (entry == _outputPortUsers.end() || !entry.value().contains(patch))
        return;
    entry.value().removeAll(patch);
    if (entry.value().isEmpty()) {
        if (_hasOpenOutputPortFor(portName))
            _closeOutputPortNamed(portName);
        _outputPortUsers.erase(entry);
    }
}

void MIDIPortIOManager::removeAllPortRequirements()
{
    TemporaryMidiIOSuspender suspender;
    _waitForDeliveriesToEnd();
    const QStringList inputNames = _openInputPorts.keys();
    for (const QString& portName : inputNames)
        _closeInputPortNamed(portName);
    _openInputPorts.clear();
    _openInputPortNames.clear();
    _inputHandlers.clear();
    const QStringList outputNames = _openOutputPorts.keys();
    for (const QString& portName : outputNames)
        _closeOutputPortNamed(portName);
    _openOutputPorts.clear();
    _outputPortUsers.clear();
}

bool MIDIPortIOManager::isInputPortOpen(const QString& portName) const
{
    const MidiInputPort* port = _openInputPorts.value(portName, nullptr);
    return port && port->isConnected();
}

bool MIDIPortIOManager::isOutputPortOpen(const QString& portName) const
{
    const MidiOutputPort* port = _openOutputPorts.value(portName, nullptr);
    return port && port->isConnected();
}

bool MIDIPortIOManager::_hasOpenInputPortFor(const QString& portName) const
{
    return _openInputPorts.contains(portName);
}

bool MIDIPortIOManager::_hasOpenOutputPortFor(const QString& portName) const
{
    return _openOutputPorts.contains(portName);
}

void MIDIPortIOManager::_openInputPortNamed(const QString& portName)
{
    const int index = _portInfo->getIndexOfInputPortNamed(portName);
    if (index < 0)
        return;
    std::unique_ptr<MidiInputPort> created;
    try {
        created = MidiBackend::GetInstance()->createInputPort();
    } catch (const MidiBackendError& error) {
        _openInputPorts.insert(portName, nullptr);
        _pendingErrors.append(openErrorText("input", portName, error));
        return;
    }
    // Registered before the attempt: a port whose open failed stays registered, unconnected.
    MidiInputPort* port = created.release();
    _openInputPorts.insert(portName, port);
    _openInputPortNames.insert(port, portName);
    _inputPortsByIndex[static_cast<size_t>(index)] = port;
    try {
        port->openPort(static_cast<unsigned int>(index), portName.toLatin1().toStdString());
    } catch (const MidiBackendError& error) {
        _pendingErrors.append(openErrorText("input", portName, error));
    }
    port->setCallback(&_midiInMessageCallbackFcn, &_inputPortIndexes[static_cast<size_t>(index)]);
}

void MIDIPortIOManager::_closeInputPortNamed(const QString& portName)
{
    const int index = _portInfo->getIndexOfInputPortNamed(portName);
    MidiInputPort* port = _openInputPorts.value(portName, nullptr);
    if (port) {
        port->cancelCallback();
        port->closePort();
    }
    if (index >= 0 && _inputPortsByIndex[static_cast<size_t>(index)] == port)
        _inputPortsByIndex[static_cast<size_t>(index)] = nullptr;
    _openInputPortNames.remove(port);
    delete port;
    _openInputPorts.remove(portName);
}

void MIDIPortIOManager::_openOutputPortNamed(const QString& portName)
{
    const int index = _portInfo->getIndexOfOutputPortNamed(portName);
    if (index < 0)
        return;
    std::unique_ptr<MidiOutputPort> created;
    try {
        created = MidiBackend::GetInstance()->createOutputPort();
    } catch (const MidiBackendError& error) {
        _openOutputPorts.insert(portName, nullptr);
        _pendingErrors.append(openErrorText("output", portName, error));
        return;
    }
    MidiOutputPort* port = created.release();
    _openOutputPorts.insert(portName, port);
    _outputPortsByIndex[static_cast<size_t>(index)] = port;
    try {
        port->openPort(static_cast<unsigned int>(index), portName.toLatin1().toStdString());
    } catch (const MidiBackendError& error) {
        _pendingErrors.append(openErrorText("output", portName, error));
    }
}

void MIDIPortIOManager::_closeOutputPortNamed(const QString& portName)
{
    const int index = _portInfo->getIndexOfOutputPortNamed(portName);
    MidiOutputPort* port = _openOutputPorts.value(portName, nullptr);
    if (index >= 0 && _outputPortsByIndex[static_cast<size_t>(index)] == port)
        _outputPortsByIndex[static_cast<size_t>(index)] = nullptr;
    if (port)
        port->closePort();
    delete port;
    _openOutputPorts.remove(portName);
}

void MIDIPortIOManager::deliverMessageToOutputPort(int outputPortIndex, midiMessage_t* message)
{
    // Any thread. MIDI thread: no allocation, no blocking.
    InFlightMark inFlight(_deliveriesInFlight);
    if (t_admittedDeliveries == 0 && _ioSuspendDepth.load(std::memory_order_seq_cst) != 0)
        return;
    if (!message || message->empty())
        return;
    if (outputPortIndex < 0 || static_cast<size_t>(outputPortIndex) >= _outputPortsByIndex.size())
        return;
    MidiOutputPort* port = _outputPortsByIndex[static_cast<size_t>(outputPortIndex)];
    if (port)
        port->sendMessage(*message);
}

void MIDIPortIOManager::_deliverInputMessageToHandlers(int inputPortIndex, double timeStamp,
                                                       midiMessage_t* message) const
{
    // MIDI thread: no allocation, no blocking. Reads the tables without detaching them.
    const auto entry = _inputHandlers.constFind(inputPortIndex);
    if (entry == _inputHandlers.cend())
        return;
    const QVector<MIDIInputMessageHandler*>& handlers = entry.value();
    const qsizetype count = handlers.size();
    for (qsizetype i = 0; i < count; ++i)
        handlers.at(i)->handleMIDIInputMessage(timeStamp, message);
}
