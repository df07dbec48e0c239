#include "midi/MIDIPortInfo.h"

#include "app/StatusManager.h"
#include "midi/MIDIBackend.h"
#include "midi/MIDIBackendError.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"

MIDIPortInfo* MIDIPortInfo::_instance = nullptr;
std::atomic<MIDIPortInfo*> MIDIPortInfo::_liveInstance{nullptr};

namespace {

// Port names arrive as 8-bit strings and are taken byte for byte, whatever their encoding.
QVector<QString> toPortNames(const std::vector<std::string>& names)
{
    QVector<QString> result;
    result.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        result.append(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    return result;
}

bool hasAlias(const QVector<QString>& names, const QMap<QString, QString>& aliases, const QString& portName)
{
    if (!names.contains(portName))
        return false;
    const auto entry = aliases.constFind(portName);
    return entry != aliases.cend() && entry.value() != portName;
}

QString portAliasedTo(const QVector<QString>& names, const QMap<QString, QString>& aliases,
                      const QString& alias)
{
    for (const QString& name : names) {
        if (hasAlias(names, aliases, name) && aliases.value(name) == alias)
            return name;
    }
    return QString();
}

void setPortUse(QStringList& notToUse, const QString& portName, bool use)
{
    const bool listed = notToUse.contains(portName);
    if (use && listed)
        notToUse.removeAll(portName);
    else if (!use && !listed)
        notToUse.append(portName);
}

QString defaultPort(const QVector<QString>& names, const QStringList& notToUse)
{
    for (const QString& name : names) {
        if (!notToUse.contains(name))
            return name;
    }
    return QString();
}

void writeAliases(const QString& key, const QVector<QString>& names, const QMap<QString, QString>& aliases,
                  const QVector<QString>& goneNames)
{
    // Entries of absent ports stay, so the names given to unplugged devices survive; a present port
    // without an alias loses its entry, so a name reset in the preferences stays reset.
    QMap<QString, QVariant> stored = hasPrefValueFor(key) ? getMapPrefValue(key) : QMap<QString, QVariant>();
    for (const QString& name : names) {
        if (hasAlias(names, aliases, name))
            stored.insert(name, QVariant(aliases.value(name)));
        else
            stored.remove(name);
    }
    // A port that vanished during the run keeps the name it was given, even one given this run.
    for (const QString& name : goneNames) {
        const auto entry = aliases.constFind(name);
        if (entry != aliases.cend() && entry.value() != name)
            stored.insert(name, QVariant(entry.value()));
    }
    setMapPrefValue(key, stored);
}

} // namespace

MIDIPortInfo* MIDIPortInfo::GetInstance()
{
    if (!_instance) {
        _instance = new MIDIPortInfo();
        _liveInstance.store(_instance);
    }
    return _instance;
}

QVector<QString> MIDIPortInfo::_presentInputNames() const
{
    QVector<QString> names;
    for (qsizetype i = 0; i < _inputPortNames.size(); ++i) {
        if (_inputPortPresent.at(i))
            names.append(_inputPortNames.at(i));
    }
    return names;
}

QVector<QString> MIDIPortInfo::_presentOutputNames() const
{
    QVector<QString> names;
    for (qsizetype i = 0; i < _outputPortNames.size(); ++i) {
        if (_outputPortPresent.at(i))
            names.append(_outputPortNames.at(i));
    }
    return names;
}

MIDIPortInfo::MIDIPortInfo() : QObject(nullptr), _numInputPorts(0), _numOutputPorts(0)
{
    _readPortNames();
    _inputPortAliases.clear();
    _outputPortAliases.clear();
    _unavailableInputPortAliases.clear();
    _unavailableOutputPortAliases.clear();
    _inputPortsToNotUse.clear();
    _outputPortsToNotUse.clear();

    _initAliasesFromPrefs();
    _initPortUseFromPrefs();
    _startPolling();
}

void MIDIPortInfo::_readPortNames()
{
    MIDIBackend* backend = MIDIBackend::GetInstance();
    // A service that cannot be asked leaves the program with no ports of that kind; start-up then
    // warns that ports are missing.
    try {
        _inputPortNames = toPortNames(backend->getInputPortNames());
    } catch (const MIDIBackendError& error) {
        postErrorMessage(QStringLiteral("Unable to list the MIDI input ports\n\n") + error.getMessage());
    }
    try {
        _outputPortNames = toPortNames(backend->getOutputPortNames());
    } catch (const MIDIBackendError& error) {
        postErrorMessage(QStringLiteral("Unable to list the MIDI output ports\n\n") + error.getMessage());
    }
    _inputPortPresent = QVector<bool>(_inputPortNames.size(), true);
    _outputPortPresent = QVector<bool>(_outputPortNames.size(), true);
    _numInputPorts = static_cast<int>(_inputPortNames.size());
    _numOutputPorts = static_cast<int>(_outputPortNames.size());
}

void MIDIPortInfo::_initAliasesFromPrefs()
{
    if (hasPrefValueFor(PrefKeys::MIDIInputPortNameAliases)) {
        const QMap<QString, QVariant> stored = getMapPrefValue(PrefKeys::MIDIInputPortNameAliases);
        for (auto entry = stored.cbegin(); entry != stored.cend(); ++entry) {
            if (_inputPortNames.contains(entry.key()))
                setInputPortAlias(entry.key(), entry.value().toString());
            else
                _unavailableInputPortAliases.insert(entry.key(), entry.value().toString());
        }
    }
    if (hasPrefValueFor(PrefKeys::MIDIOutputPortNameAliases)) {
        const QMap<QString, QVariant> stored = getMapPrefValue(PrefKeys::MIDIOutputPortNameAliases);
        for (auto entry = stored.cbegin(); entry != stored.cend(); ++entry) {
            if (_outputPortNames.contains(entry.key()))
                setOutputPortAlias(entry.key(), entry.value().toString());
            else
                _unavailableOutputPortAliases.insert(entry.key(), entry.value().toString());
        }
    }
}

void MIDIPortInfo::_initPortUseFromPrefs()
{
    // Names of absent ports stay in the lists and are written back unchanged.
    if (hasPrefValueFor(PrefKeys::MIDIInputPortsToNotUse))
        _inputPortsToNotUse = getStringListPrefValue(PrefKeys::MIDIInputPortsToNotUse);
    if (hasPrefValueFor(PrefKeys::MIDIOutputPortsToNotUse))
        _outputPortsToNotUse = getStringListPrefValue(PrefKeys::MIDIOutputPortsToNotUse);
}

bool MIDIPortInfo::hasInputPortNamed(const QString& portName) const
{
    if (portName.isEmpty())
        return true;
    const qsizetype index = _inputPortNames.indexOf(portName);
    return index >= 0 && _inputPortPresent.at(index);
}

bool MIDIPortInfo::hasOutputPortNamed(const QString& portName) const
{
    if (portName.isEmpty())
        return true;
    const qsizetype index = _outputPortNames.indexOf(portName);
    return index >= 0 && _outputPortPresent.at(index);
}

bool MIDIPortInfo::isInputPortGone(const QString& portName) const
{
    const qsizetype index = portName.isEmpty() ? -1 : _inputPortNames.indexOf(portName);
    return index >= 0 && !_inputPortPresent.at(index);
}

bool MIDIPortInfo::isOutputPortGone(const QString& portName) const
{
    const qsizetype index = portName.isEmpty() ? -1 : _outputPortNames.indexOf(portName);
    return index >= 0 && !_outputPortPresent.at(index);
}

int MIDIPortInfo::getIndexOfInputPortNamed(const QString& portName) const
{
    return portName.isEmpty() ? -1 : static_cast<int>(_inputPortNames.indexOf(portName));
}

int MIDIPortInfo::getIndexOfOutputPortNamed(const QString& portName) const
{
    return portName.isEmpty() ? -1 : static_cast<int>(_outputPortNames.indexOf(portName));
}

QString MIDIPortInfo::getNameOfInputPortAtIndex(int index) const
{
    return (index >= 0 && index < _inputPortNames.size()) ? _inputPortNames.at(index) : QString();
}

QString MIDIPortInfo::getNameOfOutputPortAtIndex(int index) const
{
    return (index >= 0 && index < _outputPortNames.size()) ? _outputPortNames.at(index) : QString();
}

QString MIDIPortInfo::getNameOfFirstInputPort() const
{
    const QVector<QString> names = _presentInputNames();
    return names.isEmpty() ? QString() : names.first();
}

QString MIDIPortInfo::getNameOfFirstOutputPort() const
{
    const QVector<QString> names = _presentOutputNames();
    return names.isEmpty() ? QString() : names.first();
}

QStringList MIDIPortInfo::getInputPortNames() const
{
    const QVector<QString> names = _presentInputNames();
    return QStringList(names.begin(), names.end());
}

QStringList MIDIPortInfo::getOutputPortNames() const
{
    const QVector<QString> names = _presentOutputNames();
    return QStringList(names.begin(), names.end());
}

bool MIDIPortInfo::shouldInputPortBeUsed(const QString& portName) const
{
    return !_inputPortsToNotUse.contains(portName);
}

bool MIDIPortInfo::shouldOutputPortBeUsed(const QString& portName) const
{
    return !_outputPortsToNotUse.contains(portName);
}

void MIDIPortInfo::setUseInputPort(const QString& portName, bool use)
{
    setPortUse(_inputPortsToNotUse, portName, use);
}

void MIDIPortInfo::setUseOutputPort(const QString& portName, bool use)
{
    setPortUse(_outputPortsToNotUse, portName, use);
}

QString MIDIPortInfo::getDefaultInputPortName() const
{
    return defaultPort(_presentInputNames(), _inputPortsToNotUse);
}

QString MIDIPortInfo::getDefaultOutputPortName() const
{
    return defaultPort(_presentOutputNames(), _outputPortsToNotUse);
}

bool MIDIPortInfo::doesInputPortHaveAnAlias(const QString& portName) const
{
    return hasInputPortNamed(portName) && hasAlias(_inputPortNames, _inputPortAliases, portName);
}

bool MIDIPortInfo::doesOutputPortHaveAnAlias(const QString& portName) const
{
    return hasOutputPortNamed(portName) && hasAlias(_outputPortNames, _outputPortAliases, portName);
}

QString MIDIPortInfo::getInputPortAlias(const QString& portName) const
{
    return doesInputPortHaveAnAlias(portName) ? _inputPortAliases.value(portName) : QString();
}

QString MIDIPortInfo::getOutputPortAlias(const QString& portName) const
{
    return doesOutputPortHaveAnAlias(portName) ? _outputPortAliases.value(portName) : QString();
}

void MIDIPortInfo::setInputPortAlias(const QString& portName, const QString& aliasedTo)
{
    if (portName.isEmpty() || !hasInputPortNamed(portName))
        return;
    _inputPortAliases.insert(portName, aliasedTo);
    emit inputPortAliasedTo(portName, aliasedTo);
}

void MIDIPortInfo::setOutputPortAlias(const QString& portName, const QString& aliasedTo)
{
    if (portName.isEmpty() || !hasOutputPortNamed(portName))
        return;
    _outputPortAliases.insert(portName, aliasedTo);
    emit outputPortAliasedTo(portName, aliasedTo);
}

QString MIDIPortInfo::getInputPortAliasedTo(const QString& alias) const
{
    return portAliasedTo(_presentInputNames(), _inputPortAliases, alias);
}

QString MIDIPortInfo::getOutputPortAliasedTo(const QString& alias) const
{
    return portAliasedTo(_presentOutputNames(), _outputPortAliases, alias);
}

QString MIDIPortInfo::getAliasOfUnavailableInputPortNamed(const QString& portName) const
{
    // A port gone during the run is as unavailable as one never seen: its alias still finds a
    // stand-in when a setup naming it is loaded.
    if (isInputPortGone(portName)) {
        const QString alias = _inputPortAliases.value(portName);
        if (!alias.isEmpty() && alias != portName)
            return alias;
    }
    return _unavailableInputPortAliases.value(portName);
}

QString MIDIPortInfo::getAliasOfUnavailableOutputPortNamed(const QString& portName) const
{
    if (isOutputPortGone(portName)) {
        const QString alias = _outputPortAliases.value(portName);
        if (!alias.isEmpty() && alias != portName)
            return alias;
    }
    return _unavailableOutputPortAliases.value(portName);
}

void MIDIPortInfo::updateAliasesInPrefs()
{
    const QVector<QString> presentInputs = _presentInputNames();
    const QVector<QString> presentOutputs = _presentOutputNames();
    QVector<QString> goneInputs;
    QVector<QString> goneOutputs;
    for (const QString& name : std::as_const(_inputPortNames)) {
        if (!presentInputs.contains(name))
            goneInputs.append(name);
    }
    for (const QString& name : std::as_const(_outputPortNames)) {
        if (!presentOutputs.contains(name))
            goneOutputs.append(name);
    }
    writeAliases(PrefKeys::MIDIInputPortNameAliases, presentInputs, _inputPortAliases, goneInputs);
    writeAliases(PrefKeys::MIDIOutputPortNameAliases, presentOutputs, _outputPortAliases, goneOutputs);
}

void MIDIPortInfo::updatePortUseInPrefs()
{
    setStringListPrefValue(PrefKeys::MIDIInputPortsToNotUse, _inputPortsToNotUse);
    setStringListPrefValue(PrefKeys::MIDIOutputPortsToNotUse, _outputPortsToNotUse);
}

QStringList getOutputPortNames()
{
    return MIDIPortInfo::GetInstance()->getOutputPortNames();
}
QStringList getInputPortNames()
{
    return MIDIPortInfo::GetInstance()->getInputPortNames();
}
QString getNameOfFirstOutputPort()
{
    return MIDIPortInfo::GetInstance()->getNameOfFirstOutputPort();
}
QString getNameOfFirstInputPort()
{
    return MIDIPortInfo::GetInstance()->getNameOfFirstInputPort();
}
bool hasOutputPortNamed(const QString& portName)
{
    return MIDIPortInfo::GetInstance()->hasOutputPortNamed(portName);
}
bool hasInputPortNamed(const QString& portName)
{
    return MIDIPortInfo::GetInstance()->hasInputPortNamed(portName);
}
bool hasAnyOutputPorts()
{
    return MIDIPortInfo::GetInstance()->hasAnyOutputPorts();
}
bool hasAnyInputPorts()
{
    return MIDIPortInfo::GetInstance()->hasAnyInputPorts();
}
