#include "midi/MIDIPortInfo.h"

#include "app/StatusManager.h"
#include "midi/MIDIBackend.h"
#include "midi/MIDIBackendError.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"

MIDIPortInfo* MIDIPortInfo::_instance = nullptr;

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

void writeAliases(const QString& key, const QVector<QString>& names, const QMap<QString, QString>& aliases)
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
    setMapPrefValue(key, stored);
}

} // namespace

MIDIPortInfo* MIDIPortInfo::GetInstance()
{
    if (!_instance)
        _instance = new MIDIPortInfo();
    return _instance;
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
    return portName.isEmpty() || _inputPortNames.contains(portName);
}

bool MIDIPortInfo::hasOutputPortNamed(const QString& portName) const
{
    return portName.isEmpty() || _outputPortNames.contains(portName);
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
    return (index >= 0 && index < _numInputPorts) ? _inputPortNames.at(index) : QString();
}

QString MIDIPortInfo::getNameOfOutputPortAtIndex(int index) const
{
    return (index >= 0 && index < _numOutputPorts) ? _outputPortNames.at(index) : QString();
}

QString MIDIPortInfo::getNameOfFirstInputPort() const
{
    return getNameOfInputPortAtIndex(0);
}

QString MIDIPortInfo::getNameOfFirstOutputPort() const
{
    return getNameOfOutputPortAtIndex(0);
}

QStringList MIDIPortInfo::getInputPortNames() const
{
    return QStringList(_inputPortNames.begin(), _inputPortNames.end());
}

QStringList MIDIPortInfo::getOutputPortNames() const
{
    return QStringList(_outputPortNames.begin(), _outputPortNames.end());
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
    return defaultPort(_inputPortNames, _inputPortsToNotUse);
}

QString MIDIPortInfo::getDefaultOutputPortName() const
{
    return defaultPort(_outputPortNames, _outputPortsToNotUse);
}

bool MIDIPortInfo::doesInputPortHaveAnAlias(const QString& portName) const
{
    return hasAlias(_inputPortNames, _inputPortAliases, portName);
}

bool MIDIPortInfo::doesOutputPortHaveAnAlias(const QString& portName) const
{
    return hasAlias(_outputPortNames, _outputPortAliases, portName);
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
    if (!_inputPortNames.contains(portName))
        return;
    _inputPortAliases.insert(portName, aliasedTo);
    emit inputPortAliasedTo(portName, aliasedTo);
}

void MIDIPortInfo::setOutputPortAlias(const QString& portName, const QString& aliasedTo)
{
    if (!_outputPortNames.contains(portName))
        return;
    _outputPortAliases.insert(portName, aliasedTo);
    emit outputPortAliasedTo(portName, aliasedTo);
}

QString MIDIPortInfo::getInputPortAliasedTo(const QString& alias) const
{
    return portAliasedTo(_inputPortNames, _inputPortAliases, alias);
}

QString MIDIPortInfo::getOutputPortAliasedTo(const QString& alias) const
{
    return portAliasedTo(_outputPortNames, _outputPortAliases, alias);
}

QString MIDIPortInfo::getAliasOfUnavailableInputPortNamed(const QString& portName) const
{
    return _unavailableInputPortAliases.value(portName);
}

QString MIDIPortInfo::getAliasOfUnavailableOutputPortNamed(const QString& portName) const
{
    return _unavailableOutputPortAliases.value(portName);
}

void MIDIPortInfo::updateAliasesInPrefs()
{
    writeAliases(PrefKeys::MIDIInputPortNameAliases, _inputPortNames, _inputPortAliases);
    writeAliases(PrefKeys::MIDIOutputPortNameAliases, _outputPortNames, _outputPortAliases);
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
