#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

/// The program's fixed list of the system's MIDI input and output ports, read once when the singleton
/// is first made, with the user's display name (alias) and use flag for each port. A port's index in
/// the list is what the port I/O manager opens. Port names are compared case-sensitively everywhere.
/// GUI thread only.
class MIDIPortInfo : public QObject
{
    Q_OBJECT

public:
    /// The singleton; the first call lists the ports and loads aliases and use flags from the
    /// preferences.
    static MIDIPortInfo* GetInstance();

    /// Number of input ports found at start.
    int getNumInputPorts() const { return _numInputPorts; }
    /// Number of output ports found at start.
    int getNumOutputPorts() const { return _numOutputPorts; }
    /// True when there is at least one input port.
    bool hasAnyInputPorts() const { return _numInputPorts > 0; }
    /// True when there is at least one output port.
    bool hasAnyOutputPorts() const { return _numOutputPorts > 0; }

    /// True when the name is listed; also true for the empty string.
    bool hasInputPortNamed(const QString& portName) const;
    /// True when the name is listed; also true for the empty string.
    bool hasOutputPortNamed(const QString& portName) const;
    /// Index of the first input port of that name; -1 when there is none (also for "").
    int getIndexOfInputPortNamed(const QString& portName) const;
    /// Index of the first output port of that name; -1 when there is none (also for "").
    int getIndexOfOutputPortNamed(const QString& portName) const;
    /// The name at the index, or "" when the index is out of range.
    QString getNameOfInputPortAtIndex(int index) const;
    /// The name at the index, or "" when the index is out of range.
    QString getNameOfOutputPortAtIndex(int index) const;
    /// The name at index 0, or "" when there are no input ports.
    QString getNameOfFirstInputPort() const;
    /// The name at index 0, or "" when there are no output ports.
    QString getNameOfFirstOutputPort() const;
    /// Every input port name in list order, including ports not to be used.
    QStringList getInputPortNames() const;
    /// Every output port name in list order, including ports not to be used.
    QStringList getOutputPortNames() const;

    /// False when the user marked the port as not to be used.
    bool shouldInputPortBeUsed(const QString& portName) const;
    /// False when the user marked the port as not to be used.
    bool shouldOutputPortBeUsed(const QString& portName) const;
    /// Marks the input port as to be used or not; the name need not be present.
    void setUseInputPort(const QString& portName, bool use);
    /// Marks the output port as to be used or not; the name need not be present.
    void setUseOutputPort(const QString& portName, bool use);
    /// The first input port in list order that should be used, or "".
    QString getDefaultInputPortName() const;
    /// The first output port in list order that should be used, or "".
    QString getDefaultOutputPortName() const;

    /// True when the port is present and has a display name that differs from its own name.
    bool doesInputPortHaveAnAlias(const QString& portName) const;
    /// True when the port is present and has a display name that differs from its own name.
    bool doesOutputPortHaveAnAlias(const QString& portName) const;
    /// The port's alias, or "" when it has none.
    QString getInputPortAlias(const QString& portName) const;
    /// The port's alias, or "" when it has none.
    QString getOutputPortAlias(const QString& portName) const;
    /// Stores the display name of a present input port and emits inputPortAliasedTo (even when
    /// unchanged). A port that is not present is left alone and nothing is emitted.
    void setInputPortAlias(const QString& portName, const QString& aliasedTo);
    /// Stores the display name of a present output port and emits outputPortAliasedTo (even when
    /// unchanged). A port that is not present is left alone and nothing is emitted.
    void setOutputPortAlias(const QString& portName, const QString& aliasedTo);
    /// The first present input port (list order) whose alias is `alias`, or "".
    QString getInputPortAliasedTo(const QString& alias) const;
    /// The first present output port (list order) whose alias is `alias`, or "".
    QString getOutputPortAliasedTo(const QString& alias) const;
    /// The display name stored for an input port that was not present at start, or "".
    QString getAliasOfUnavailableInputPortNamed(const QString& portName) const;
    /// The display name stored for an output port that was not present at start, or "".
    QString getAliasOfUnavailableOutputPortNamed(const QString& portName) const;

    /// Writes the aliases of present ports to the preferences, keeping those of absent ports and
    /// dropping entries of present ports that no longer have an alias.
    void updateAliasesInPrefs();
    /// Writes both not-to-use lists to the preferences.
    void updatePortUseInPrefs();

signals:
    void inputPortAliasedTo(QString portName, QString aliasedTo);
    void outputPortAliasedTo(QString portName, QString aliasedTo);

private:
    MIDIPortInfo();
    void _readPortNames();
    void _initAliasesFromPrefs();
    void _initPortUseFromPrefs();

    static MIDIPortInfo* _instance;

    int _numInputPorts;
    int _numOutputPorts;
    QVector<QString> _inputPortNames;
    QVector<QString> _outputPortNames;
    QMap<QString, QString> _inputPortAliases;
    QMap<QString, QString> _outputPortAliases;
    QMap<QString, QString> _unavailableInputPortAliases;
    QMap<QString, QString> _unavailableOutputPortAliases;
    QStringList _inputPortsToNotUse;
    QStringList _outputPortsToNotUse;
};

/// These forward to the member of the same name on MIDIPortInfo::GetInstance(). GUI thread only.
QStringList getOutputPortNames();
QStringList getInputPortNames();
QString getNameOfFirstOutputPort();
QString getNameOfFirstInputPort();
bool hasOutputPortNamed(const QString& portName);
bool hasInputPortNamed(const QString& portName);
bool hasAnyOutputPorts();
bool hasAnyInputPorts();
