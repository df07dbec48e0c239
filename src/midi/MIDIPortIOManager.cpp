#include "midi/MIDIPortIOManager.h"

#include "app/StatusManager.h"
#include "midi/MIDIBackend.h"
#include "midi/MIDIBackendError.h"
#include "midi/MIDIInputInterceptor.h"
#include "midi/MIDIInputMessageHandler.h"
#include "midi/MIDIOutputPort.h"
#include "midi/MIDIPortInfo.h"
#include "midi/TemporaryMidiIOSuspender.h"
#include "model/MIDIMessageValidity.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <memory>
#include <thread>

MIDIPortIOManager* MIDIPortIOManager::_instance = nullptr;

// How the tables stay safe without a lock on the MIDI path.
//
// The MIDI thread reads two tables: the handler lists per input index and the output port per
// output index. Only the GUI thread changes them, inside a TableChange: it raises
// _tableChangeDepth, waits until every count of deliveries now running reads 0, changes the
// tables, and lowers the depth. The counts are one per open input port (its gate, counting the
// deliveries of that port, sends made inside them included) and one for sends made outside an
// input delivery. Each delivery or such send first raises its count and then reads
// _tableChangeDepth; one that finds a change under way lowers its count again, waits (yielding)
// for the change to end and tries again. All these accesses are sequentially consistent, so the
// two sides cannot miss each other: either the GUI thread sees the delivery and waits for it, or
// the delivery sees the change and waits for it. A change only edits a map or a slot, never opens
// or closes a port (that happens before or after it), so a delivery waits microseconds at most and
// no message is lost: a note off arriving while the user edits is held back, not dropped.
//
// A change waits only for the gates of open ports. Closing a port closes its gate inside a table
// change; what the port's thread delivers after that touches nothing and is dropped. The MIDI
// library may stop a closed client's process thread wherever it is when the client object is
// finally deleted, possibly between raising and lowering a count: that count is on a closed gate,
// which no change ever waits for again.
//
// Explicit suspension (suspendIO) is different: what arrives or is sent while suspended is dropped.
namespace {

// Input deliveries admitted (not dropped) and still running on this thread. A handler's sends run
// inside one, and such a send goes ahead even if a suspension began meanwhile: the tables cannot
// change before the delivery ends, and the message it accepted is routed to the end.
thread_local int t_admittedDeliveries = 0;

// Lowers the in-flight count raised by MIDIPortIOManager::_enterDelivery() when it goes.
class InFlightRelease
{
public:
    explicit InFlightRelease(std::atomic<int>& count) : _count(count) {}
    ~InFlightRelease() { _count.fetch_sub(1, std::memory_order_seq_cst); }
    InFlightRelease(const InFlightRelease&) = delete;
    InFlightRelease& operator=(const InFlightRelease&) = delete;

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

// What the library's input filter drops: system exclusive, time code, timing clock, active sensing.
// Checked after the message was found complete, so the status byte tells all.
bool isDroppedByInputFilter(const midiMessage_t* message)
{
    const unsigned char status = message->front();
    return status == 0xF0 || status == 0xF1 || status == 0xF8 || status == 0xFE;
}

QString openErrorText(const char* direction, const QString& portName, const MIDIBackendError& error)
{
    return QStringLiteral("Unable to open %1 port '").arg(QLatin1String(direction)) + portName +
           QStringLiteral("'\n\n") + error.getMessage();
}

} // namespace

void _midiInMessageCallbackFcn(double timeStamp, std::vector<unsigned char>* message, void* userData)
{
    // MIDI thread: no allocation; waits only for a table change (microseconds).
    MIDIPortIOManager* manager = MIDIPortIOManager::_instance;
    if (!manager || !userData || !message)
        return;
    (void)manager->_gatesMade.load(std::memory_order_acquire);
    auto* gate = static_cast<MIDIPortIOManager::InputGate*>(userData);
    // The one check at the door: whatever a device or a backend hands over, only complete messages
    // reach the routing, so nothing malformed can be passed on or mangled further along.
    if (!isCompleteMIDIMessage(message)) {
        manager->_refuseInput(gate->portIndex);
        return;
    }
    if (isDroppedByInputFilter(message))
        return;
    manager->_enterDelivery(gate->inFlight);
    InFlightRelease release(gate->inFlight);
    if (gate->closed.load(std::memory_order_seq_cst))
        return; // the port was closed: its handlers and tables are no longer its own
    if (manager->_ioSuspendDepth.load(std::memory_order_seq_cst) != 0)
        return; // suspended input is dropped, not queued
    AdmittedDelivery admitted;
    manager->_deliverInputMessageToHandlers(gate->portIndex, timeStamp, message);
}

MIDIPortIOManager* MIDIPortIOManager::GetInstance()
{
    if (!_instance)
        _instance = new MIDIPortIOManager();
    return _instance;
}

MIDIPortIOManager::MIDIPortIOManager()
    : QObject(nullptr), _ioSuspendDepth(0), _portInfo(MIDIPortInfo::GetInstance()),
      _backend(MIDIBackend::GetInstance()), _timedSends(_backend->hasTimedSends())
{
    _growTables();
    connect(_portInfo, &MIDIPortInfo::inputPortVanished, this, &MIDIPortIOManager::_inputPortVanishedSLOT);
    connect(_portInfo, &MIDIPortInfo::inputPortReturned, this, &MIDIPortIOManager::_inputPortReturnedSLOT);
    connect(_portInfo, &MIDIPortInfo::outputPortVanished, this, &MIDIPortIOManager::_outputPortVanishedSLOT);
    connect(_portInfo, &MIDIPortInfo::outputPortReturned, this, &MIDIPortIOManager::_outputPortReturnedSLOT);
    connect(_portInfo, &MIDIPortInfo::portCatalogueChanged, this, &MIDIPortIOManager::_growTables);
    if (QCoreApplication::instance()) {
        _refusalTimer = new QTimer(this);
        _refusalTimer->setInterval(1000);
        connect(_refusalTimer, &QTimer::timeout, this, &MIDIPortIOManager::_reportRefusedInputSLOT);
        _refusalTimer->start();
    }
}

void MIDIPortIOManager::_growTables()
{
    // GUI thread only. New slots exist before any port uses them; nothing the MIDI thread reads moves.
    const auto inputs = static_cast<size_t>(_portInfo->getInputPortIndexCount());
    if (_inputPortsByIndex.size() < inputs) {
        _inputPortsByIndex.resize(inputs, nullptr);
        _inputGatesByIndex.resize(inputs, nullptr);
    }
    _refusedInputCounts.growTo(static_cast<int>(inputs));
    _outputPortsByIndex.growTo(_portInfo->getOutputPortIndexCount());
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

void MIDIPortIOManager::_enterDelivery(std::atomic<int>& count)
{
    // Any thread. Raises the count at a moment when no table change is under way.
    for (;;) {
        count.fetch_add(1, std::memory_order_seq_cst);
        if (_tableChangeDepth.load(std::memory_order_seq_cst) == 0)
            return;
        count.fetch_sub(1, std::memory_order_seq_cst);
        while (_tableChangeDepth.load(std::memory_order_seq_cst) != 0)
            std::this_thread::yield();
    }
}

MIDIPortIOManager::TableChange::TableChange(MIDIPortIOManager& manager) : _manager(manager)
{
    // GUI thread only. Deliveries take microseconds and never wait for this thread while it changes
    // tables, so yielding is enough; sleeping briefly keeps a slow one from costing a whole core.
    _manager._tableChangeDepth.fetch_add(1, std::memory_order_seq_cst);
    int round = 0;
    auto settle = [&round](const std::atomic<int>& count) {
        for (; count.load(std::memory_order_seq_cst) != 0; ++round) {
            if (round < 100)
                std::this_thread::yield();
            else
                std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    };
    settle(_manager._sendsInFlight);
    // Only open ports' gates: their process threads are alive and finish what they began.
    for (const InputGate* gate : _manager._inputGatesByIndex) {
        if (gate)
            settle(gate->inFlight);
    }
}

MIDIPortIOManager::TableChange::~TableChange()
{
    _manager._tableChangeDepth.fetch_sub(1, std::memory_order_seq_cst);
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
    _growTables();
    const int index = _portInfo->getIndexOfInputPortNamed(portName);
    if (index < 0 || static_cast<size_t>(index) >= _inputPortsByIndex.size())
        return;
    // The port is opened first, outside the table change: opening may take a while. A port that is
    // gone now is opened when it returns.
    if (!_hasOpenInputPortFor(portName) && !_portInfo->isInputPortGone(portName))
        _openInputPortNamed(portName);
    {
        TableChange change(*this);
        QVector<MIDIInputMessageHandler*>& handlers = _inputHandlers[index];
        if (!handlers.contains(handler))
            handlers.append(handler);
    }
    _postPendingErrors();
}

void MIDIPortIOManager::removeRequiredInputPortNamed(const QString& portName,
                                                     MIDIInputMessageHandler* handler)
{
    if (portName.isEmpty())
        return;
    const int index = _portInfo->getIndexOfInputPortNamed(portName);
    auto entry = _inputHandlers.find(index);
    if (entry == _inputHandlers.end() || !entry.value().contains(handler))
        return;
    bool lastHandlerGone = false;
    {
        TableChange change(*this);
        entry.value().removeAll(handler);
        if (entry.value().isEmpty()) {
            _inputHandlers.erase(entry);
            lastHandlerGone = true;
        }
    }
    // Closed after the change: nothing is delivered to the port's handlers any more.
    if (lastHandlerGone && _hasOpenInputPortFor(portName))
        _closeInputPortNamed(portName);
}

void MIDIPortIOManager::addRequiredOutputPortNamed(const QString& portName, MIDIPatchTarget* patch)
{
    if (portName.isEmpty() || !patch)
        return;
    _growTables();
    const int index = _portInfo->getIndexOfOutputPortNamed(portName);
    if (index < 0 || index >= _outputPortsByIndex.size())
        return;
    if (!_hasOpenOutputPortFor(portName) && !_portInfo->isOutputPortGone(portName)) {
        MIDIOutputPort* port = _openOutputPortNamed(portName);
        TableChange change(*this);
        _outputPortsByIndex[index] = port;
    }
    QVector<MIDIPatchTarget*>& users = _outputPortUsers[portName];
    if (!users.contains(patch))
        users.append(patch);
    _postPendingErrors();
}

void MIDIPortIOManager::removeRequiredOutputPortNamed(const QString& portName, MIDIPatchTarget* patch)
{
    if (portName.isEmpty())
        return;
    auto entry = _outputPortUsers.find(portName);
    if (entry == _outputPortUsers.end() || !entry.value().contains(patch))
        return;
    entry.value().removeAll(patch);
    if (entry.value().isEmpty()) {
        _outputPortUsers.erase(entry);
        if (_hasOpenOutputPortFor(portName))
            _closeOutputPortNamed(portName);
    }
}

void MIDIPortIOManager::removeAllPortRequirements()
{
    {
        TableChange change(*this);
        _inputHandlers.clear();
        _inputInterceptor = nullptr;
        for (int i = 0; i < _outputPortsByIndex.size(); ++i)
            _outputPortsByIndex[i] = nullptr;
    }
    const QStringList inputNames = _openInputPorts.keys();
    for (const QString& portName : inputNames)
        _closeInputPortNamed(portName);
    _openInputPorts.clear();
    _openInputPortNames.clear();
    const QStringList outputNames = _openOutputPorts.keys();
    for (const QString& portName : outputNames)
        _closeOutputPortNamed(portName);
    _openOutputPorts.clear();
    _outputPortUsers.clear();
}

void MIDIPortIOManager::setInputInterceptor(MIDIInputInterceptor* interceptor)
{
    TableChange change(*this);
    _inputInterceptor = interceptor;
}

void MIDIPortIOManager::runWhileNoDeliveryRuns(const std::function<void()>& change)
{
    TableChange held(*this);
    change();
}

int MIDIPortIOManager::getIndexOfInputPortNamed(const QString& portName) const
{
    return _portInfo->getIndexOfInputPortNamed(portName);
}

bool MIDIPortIOManager::isInputPortOpen(const QString& portName) const
{
    const MIDIInputPort* port = _openInputPorts.value(portName, nullptr);
    return port && port->isConnected();
}

bool MIDIPortIOManager::isOutputPortOpen(const QString& portName) const
{
    const MIDIOutputPort* port = _openOutputPorts.value(portName, nullptr);
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
    if (index < 0 || static_cast<size_t>(index) >= _inputPortsByIndex.size())
        return;
    std::unique_ptr<MIDIInputPort> created;
    try {
        created = MIDIBackend::GetInstance()->createInputPort();
    } catch (const MIDIBackendError& error) {
        _openInputPorts.insert(portName, nullptr);
        _pendingErrors.append(openErrorText("input", portName, error));
        return;
    }
    // Registered before the attempt: a port whose open failed stays registered, unconnected.
    MIDIInputPort* port = created.release();
    _openInputPorts.insert(portName, port);
    _openInputPortNames.insert(port, portName);
    _inputPortsByIndex[static_cast<size_t>(index)] = port;
    try {
        port->openPort(static_cast<unsigned int>(index), portName.toLatin1().toStdString());
    } catch (const MIDIBackendError& error) {
        _pendingErrors.append(openErrorText("input", portName, error));
    }
    auto gate = std::make_unique<InputGate>();
    gate->portIndex = index;
    InputGate* callbackGate = gate.get();
    _allInputGates.push_back(std::move(gate));
    _inputGatesByIndex[static_cast<size_t>(index)] = callbackGate;
    _gatesMade.fetch_add(1, std::memory_order_release);
    port->setCallback(&_midiInMessageCallbackFcn, callbackGate);
}

void MIDIPortIOManager::_closeInputPortNamed(const QString& portName)
{
    const int index = _portInfo->getIndexOfInputPortNamed(portName);
    MIDIInputPort* port = _openInputPorts.value(portName, nullptr);
    if (index >= 0 && static_cast<size_t>(index) < _inputGatesByIndex.size() &&
        _inputGatesByIndex[static_cast<size_t>(index)] && port &&
        _inputPortsByIndex[static_cast<size_t>(index)] == port) {
        // Whatever the port's thread was delivering ends first; from now on it delivers nothing.
        TableChange change(*this);
        _inputGatesByIndex[static_cast<size_t>(index)]->closed.store(true, std::memory_order_seq_cst);
        _inputGatesByIndex[static_cast<size_t>(index)] = nullptr;
    }
    if (port) {
        port->cancelCallback();
        port->closePort();
    }
    if (index >= 0 && static_cast<size_t>(index) < _inputPortsByIndex.size() &&
        _inputPortsByIndex[static_cast<size_t>(index)] == port)
        _inputPortsByIndex[static_cast<size_t>(index)] = nullptr;
    _openInputPortNames.remove(port);
    delete port;
    _openInputPorts.remove(portName);
}

MIDIOutputPort* MIDIPortIOManager::_openOutputPortNamed(const QString& portName)
{
    // Registers the port object under its name (not yet in the index table; the caller publishes
    // it there inside a table change) and opens it. Null when no client object could be made.
    const int index = _portInfo->getIndexOfOutputPortNamed(portName);
    if (index < 0 || index >= _outputPortsByIndex.size())
        return nullptr;
    std::unique_ptr<MIDIOutputPort> created;
    try {
        created = MIDIBackend::GetInstance()->createOutputPort();
    } catch (const MIDIBackendError& error) {
        _openOutputPorts.insert(portName, nullptr);
        _pendingErrors.append(openErrorText("output", portName, error));
        return nullptr;
    }
    MIDIOutputPort* port = created.release();
    _openOutputPorts.insert(portName, port);
    try {
        port->openPort(static_cast<unsigned int>(index), portName.toLatin1().toStdString());
    } catch (const MIDIBackendError& error) {
        _pendingErrors.append(openErrorText("output", portName, error));
    }
    return port;
}

void MIDIPortIOManager::_closeOutputPortNamed(const QString& portName)
{
    const int index = _portInfo->getIndexOfOutputPortNamed(portName);
    MIDIOutputPort* port = _openOutputPorts.value(portName, nullptr);
    if (index >= 0 && index < _outputPortsByIndex.size() && _outputPortsByIndex[index] == port && port) {
        TableChange change(*this);
        _outputPortsByIndex[index] = nullptr;
    }
    // Closing waits for messages already handed to the service to go out.
    if (port)
        port->closePort();
    delete port;
    _openOutputPorts.remove(portName);
}

template <typename Send>
bool MIDIPortIOManager::_sendThroughOutputPort(int outputPortIndex, const midiMessage_t* message, Send send)
{
    // Any thread. MIDI thread: no allocation; waits only for a table change (microseconds).
    if (t_admittedDeliveries != 0) {
        // Inside an input delivery: its gate keeps the tables as they are until it ends.
        return _sendToOutputPort(outputPortIndex, message, send);
    }
    _enterDelivery(_sendsInFlight);
    InFlightRelease release(_sendsInFlight);
    if (_ioSuspendDepth.load(std::memory_order_seq_cst) != 0)
        return false;
    return _sendToOutputPort(outputPortIndex, message, send);
}

template <typename Send>
bool MIDIPortIOManager::_sendToOutputPort(int outputPortIndex, const midiMessage_t* message, Send send)
{
    // Nothing malformed leaves the program, and no system exclusive message: a synth that saw its
    // start would wait for an end that never comes. (No message: a request such as a cancel.)
    if (message && (!isCompleteMIDIMessage(message) || isSystemExclusiveMessage(message)))
        return false;
    if (outputPortIndex < 0 || outputPortIndex >= _outputPortsByIndex.size())
        return false;
    MIDIOutputPort* port = _outputPortsByIndex[outputPortIndex];
    if (!port)
        return false;
    send(port);
    return true;
}

bool MIDIPortIOManager::deliverMessageToOutputPort(int outputPortIndex, midiMessage_t* message)
{
    if (!message || message->empty())
        return false;
    return _sendThroughOutputPort(outputPortIndex, message,
                                  [message](MIDIOutputPort* port) { port->sendMessage(*message); });
}

bool MIDIPortIOManager::deliverMessageToOutputPortAt(int outputPortIndex, midiMessage_t* message,
                                                     std::int64_t dueTimeUs, std::uint64_t ownerTag)
{
    if (!message || message->empty())
        return false;
    return _sendThroughOutputPort(outputPortIndex, message,
                                  [message, dueTimeUs, ownerTag](MIDIOutputPort* port) {
                                      port->sendMessageAt(*message, dueTimeUs, ownerTag);
                                  });
}

void MIDIPortIOManager::cancelScheduledNoteOns(int outputPortIndex, std::uint64_t ownerTag)
{
    if (!_timedSends)
        return;
    _sendThroughOutputPort(outputPortIndex, nullptr,
                           [ownerTag](MIDIOutputPort* port) { port->cancelScheduledNoteOns(ownerTag); });
}

std::int64_t MIDIPortIOManager::getCurrentMIDITimeUs() const
{
    return _backend->getCurrentTimeUs();
}

void MIDIPortIOManager::_deliverInputMessageToHandlers(int inputPortIndex, double timeStamp,
                                                       midiMessage_t* message) const
{
    // MIDI thread: no allocation, no blocking. Reads the tables without detaching them.
    if (_inputInterceptor && _inputInterceptor->interceptMIDIInputMessage(inputPortIndex, timeStamp, message))
        return;
    const auto entry = _inputHandlers.constFind(inputPortIndex);
    if (entry == _inputHandlers.cend())
        return;
    const QVector<MIDIInputMessageHandler*>& handlers = entry.value();
    const qsizetype count = handlers.size();
    for (qsizetype i = 0; i < count; ++i)
        handlers.at(i)->handleMIDIInputMessage(timeStamp, message);
}
