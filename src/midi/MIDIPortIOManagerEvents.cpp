#include "app/StatusManager.h"
#include "midi/MIDIInputMessageHandler.h"
#include "midi/MIDIInputPort.h"
#include "midi/MIDIOutputPort.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/routing/MIDIPatchTarget.h"

// What the port I/O manager does when ports vanish and return, and how it reports malformed input.
// All of it runs on the GUI thread.

namespace {

QString refusedText(const QString& portName, unsigned count)
{
    return QStringLiteral("MIDI input port \"%1\" sent %2 malformed %3. %4 ignored.")
        .arg(portName)
        .arg(count)
        .arg(count == 1 ? QStringLiteral("message") : QStringLiteral("messages"),
             count == 1 ? QStringLiteral("It was") : QStringLiteral("They were"));
}

} // namespace

void MIDIPortIOManager::_refuseInput(int inputPortIndex)
{
    // MIDI thread: no allocation, no blocking. The GUI thread reports the count later.
    if (inputPortIndex >= 0 && inputPortIndex < _refusedInputCounts.size())
        _refusedInputCounts[inputPortIndex].fetch_add(1, std::memory_order_relaxed);
}

unsigned MIDIPortIOManager::getRefusedMessageCount(const QString& inputPortName) const
{
    const int index = _portInfo->getIndexOfInputPortNamed(inputPortName);
    if (index < 0 || index >= _refusedInputCounts.size())
        return 0;
    return _refusedInputCounts[index].load(std::memory_order_relaxed);
}

void MIDIPortIOManager::_reportRefusedInputSLOT()
{
    // GUI thread, once a second. A burst is a run of seconds each with new refusals: the first
    // second of it is reported, with its count, and the next report waits for a quiet second.
    const int count = _refusedInputCounts.size();
    if (_refusedReported.size() < count) {
        _refusedReported.resize(count, 0);
        _refusalBurst.resize(count, false);
    }
    for (int i = 0; i < count; ++i) {
        const unsigned total = _refusedInputCounts[i].load(std::memory_order_relaxed);
        const unsigned fresh = total - _refusedReported[i];
        _refusedReported[i] = total;
        if (fresh == 0) {
            _refusalBurst[i] = false;
            continue;
        }
        if (_refusalBurst[i])
            continue;
        _refusalBurst[i] = true;
        postWarningMessage(refusedText(_portInfo->getNameOfInputPortAtIndex(i), fresh));
    }
}

void MIDIPortIOManager::_inputPortVanishedSLOT(const QString& portName)
{
    const int index = _portInfo->getIndexOfInputPortNamed(portName);
    if (_hasOpenInputPortFor(portName))
        _closeInputPortNamed(portName);
    const QVector<MIDIInputMessageHandler*> handlers = _inputHandlers.value(index);
    if (handlers.isEmpty())
        return;
    // The notes played there will never get their note offs: end them now.
    for (MIDIInputMessageHandler* handler : handlers)
        handler->inputPortVanished();
    postWarningMessage(QStringLiteral("MIDI input port \"%1\" has gone. The notes played on it were ended; "
                                      "everything that listened to it listens again when it returns.")
                           .arg(portName));
}

void MIDIPortIOManager::_inputPortReturnedSLOT(const QString& portName)
{
    _growTables();
    const int index = _portInfo->getIndexOfInputPortNamed(portName);
    if (!_inputHandlers.contains(index) || _hasOpenInputPortFor(portName))
        return;
    _openInputPortNamed(portName);
    _postPendingErrors();
    if (isInputPortOpen(portName))
        postStatusMessage(
            QStringLiteral("MIDI input port \"%1\" is back and listened to again.").arg(portName), 5000);
}

void MIDIPortIOManager::_outputPortVanishedSLOT(const QString& portName)
{
    if (_hasOpenOutputPortFor(portName))
        _closeOutputPortNamed(portName);
    const QVector<MIDIPatchTarget*> users = _outputPortUsers.value(portName);
    if (users.isEmpty())
        return;
    // Nothing can end the notes that sounded there; the patches forget them.
    for (MIDIPatchTarget* patch : users)
        patch->outputPortVanished();
    postWarningMessage(QStringLiteral("MIDI output port \"%1\" has gone. The patches that use it keep it and "
                                      "send to it again when it returns.")
                           .arg(portName));
}

void MIDIPortIOManager::_outputPortReturnedSLOT(const QString& portName)
{
    _growTables();
    const QVector<MIDIPatchTarget*> users = _outputPortUsers.value(portName);
    if (users.isEmpty() || _hasOpenOutputPortFor(portName))
        return;
    const int index = _portInfo->getIndexOfOutputPortNamed(portName);
    MIDIOutputPort* port = _openOutputPortNamed(portName);
    {
        TableChange change(*this);
        if (index >= 0 && index < _outputPortsByIndex.size())
            _outputPortsByIndex[index] = port;
    }
    _postPendingErrors();
    if (!isOutputPortOpen(portName))
        return;
    for (MIDIPatchTarget* patch : users)
        patch->outputPortReturned();
    postStatusMessage(
        QStringLiteral("MIDI output port \"%1\" is back; its patches send to it again.").arg(portName), 5000);
}
