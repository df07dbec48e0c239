#include "midi/MIDIBackend.h"
#include "midi/MIDIBackendError.h"
#include "midi/MIDIPortInfo.h"

#include <QCoreApplication>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <mutex>

// Keeping the catalogue current while the program runs. Indexes are handed out once per name and
// never taken back, so a patch's output index and a port's callback data stay valid whatever the
// service does; only the present flags change.
namespace {

constexpr int kPollIntervalMs = 1000;

QSet<QString> toNameSet(const std::vector<std::string>& names)
{
    QSet<QString> result;
    for (const std::string& name : names)
        result.insert(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    return result;
}

// Appends the names not listed yet in the service's order, and sets every present flag. Collects
// the names that vanished and those that came back. Returns whether anything changed.
bool mergeNames(const std::vector<std::string>& fresh, QVector<QString>& names, QVector<bool>& present,
                QStringList& vanished, QStringList& returned)
{
    const QSet<QString> freshSet = toNameSet(fresh);
    bool changed = false;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const bool now = freshSet.contains(names.at(i));
        if (now == present.at(i))
            continue;
        present[i] = now;
        (now ? returned : vanished).append(names.at(i));
        changed = true;
    }
    for (const std::string& raw : fresh) {
        const QString name = QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
        if (names.contains(name))
            continue;
        names.append(name);
        present.append(true);
        changed = true;
    }
    return changed;
}

} // namespace

void MIDIPortInfo::_startPolling()
{
    // Only where the service does not tell of changes itself, and only with an event loop to run on.
    if (MIDIBackend::GetInstance()->reportsPortChanges() || !QCoreApplication::instance())
        return;
    setPollInterval(kPollIntervalMs);
}

void MIDIPortInfo::setPollInterval(int milliseconds)
{
    if (milliseconds <= 0) {
        if (_pollTimer)
            _pollTimer->stop();
        return;
    }
    if (!_pollTimer) {
        _pollTimer = new QTimer(this);
        connect(_pollTimer, &QTimer::timeout, this, &MIDIPortInfo::refreshPorts);
    }
    _pollTimer->start(milliseconds);
}

void MIDIPortInfo::requestPortRescan()
{
    // Any thread. Allocates (a queued call), so never from a real-time callback.
    MIDIPortInfo* info = _liveInstance.load();
    if (!info)
        return;
    // Posted under the lock that the slot takes first: the hand-over of the posted call is then
    // ordered for ThreadSanitizer too, which cannot see the locking inside Qt's event queue.
    std::lock_guard<std::mutex> lock(info->_rescanLock);
    if (info->_rescanPending.exchange(true))
        return;
    QMetaObject::invokeMethod(info, &MIDIPortInfo::_rescanSLOT, Qt::QueuedConnection);
}

void MIDIPortInfo::_rescanSLOT()
{
    {
        std::lock_guard<std::mutex> lock(_rescanLock);
        _rescanPending.store(false);
    }
    refreshPorts();
}

bool MIDIPortInfo::refreshPorts()
{
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    MIDIBackend* backend = MIDIBackend::GetInstance();
    try {
        inputs = backend->getInputPortNames();
        outputs = backend->getOutputPortNames();
    } catch (const MIDIBackendError&) {
        // A service that cannot be asked now says nothing about its ports: try again next time.
        return false;
    }

    QStringList vanishedInputs, returnedInputs, vanishedOutputs, returnedOutputs;
    const qsizetype knownInputs = _inputPortNames.size();
    const qsizetype knownOutputs = _outputPortNames.size();
    bool changed = mergeNames(inputs, _inputPortNames, _inputPortPresent, vanishedInputs, returnedInputs);
    changed = mergeNames(outputs, _outputPortNames, _outputPortPresent, vanishedOutputs, returnedOutputs) ||
              changed;
    if (!changed)
        return false;
    _numInputPorts = static_cast<int>(_inputPortPresent.count(true));
    _numOutputPorts = static_cast<int>(_outputPortPresent.count(true));

    // A port seen for the first time this run takes the display name stored for it.
    for (qsizetype i = knownInputs; i < _inputPortNames.size(); ++i) {
        const QString& name = _inputPortNames.at(i);
        if (_unavailableInputPortAliases.contains(name))
            setInputPortAlias(name, _unavailableInputPortAliases.take(name));
    }
    for (qsizetype i = knownOutputs; i < _outputPortNames.size(); ++i) {
        const QString& name = _outputPortNames.at(i);
        if (_unavailableOutputPortAliases.contains(name))
            setOutputPortAlias(name, _unavailableOutputPortAliases.take(name));
    }

    for (const QString& name : std::as_const(vanishedInputs))
        emit inputPortVanished(name);
    for (const QString& name : std::as_const(vanishedOutputs))
        emit outputPortVanished(name);
    for (const QString& name : std::as_const(returnedInputs))
        emit inputPortReturned(name);
    for (const QString& name : std::as_const(returnedOutputs))
        emit outputPortReturned(name);
    emit portCatalogueChanged();
    return true;
}
