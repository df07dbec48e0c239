#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <mutex>

class QTimer;

/// The program's list of the system's MIDI input and output ports, with the user's display name
/// (alias) and use flag for each port. It is read when the singleton is first made and again while
/// the program runs: every second on the GUI thread, and whenever requestPortRescan() is called (a
/// backend that hears of port changes calls it). A port keeps its index for the whole process: new
/// ports are appended, a port that vanishes keeps its index, marked gone, and gets it back when a
/// port of the same name returns. The port I/O manager addresses ports by these indexes. Port names
/// are compared case-sensitively everywhere. GUI thread only, except requestPortRescan().
class MIDIPortInfo : public QObject
{
    Q_OBJECT

public:
    /// The singleton; the first call lists the ports and loads aliases and use flags from the
    /// preferences.
    static MIDIPortInfo* GetInstance();

    /// Number of input ports present now.
    int getNumInputPorts() const { return _numInputPorts; }
    /// Number of output ports present now.
    int getNumOutputPorts() const { return _numOutputPorts; }
    /// Number of input port indexes handed out so far, gone ports included.
    int getInputPortIndexCount() const { return static_cast<int>(_inputPortNames.size()); }
    /// Number of output port indexes handed out so far, gone ports included.
    int getOutputPortIndexCount() const { return static_cast<int>(_outputPortNames.size()); }
    /// True when there is at least one input port.
    bool hasAnyInputPorts() const { return _numInputPorts > 0; }
    /// True when there is at least one output port.
    bool hasAnyOutputPorts() const { return _numOutputPorts > 0; }

    /// True when a port of that name is present now; also true for the empty string.
    bool hasInputPortNamed(const QString& portName) const;
    /// True when a port of that name is present now; also true for the empty string.
    bool hasOutputPortNamed(const QString& portName) const;
    /// True when a port of that name was listed this run and has vanished since.
    bool isInputPortGone(const QString& portName) const;
    /// True when a port of that name was listed this run and has vanished since.
    bool isOutputPortGone(const QString& portName) const;
    /// Index of the input port of that name, present or gone; -1 when there is none (also for "").
    int getIndexOfInputPortNamed(const QString& portName) const;
    /// Index of the output port of that name, present or gone; -1 when there is none (also for "").
    int getIndexOfOutputPortNamed(const QString& portName) const;
    /// The name at the index (present or gone), or "" when no port has that index.
    QString getNameOfInputPortAtIndex(int index) const;
    /// The name at the index (present or gone), or "" when no port has that index.
    QString getNameOfOutputPortAtIndex(int index) const;
    /// The first present input port in list order, or "" when there is none.
    QString getNameOfFirstInputPort() const;
    /// The first present output port in list order, or "" when there is none.
    QString getNameOfFirstOutputPort() const;
    /// Every present input port name in list order, including ports not to be used.
    QStringList getInputPortNames() const;
    /// Every present output port name in list order, including ports not to be used.
    QStringList getOutputPortNames() const;

    /// Reads the service's ports again now: new ports are appended, vanished ones marked gone, and
    /// returning ones present again at their old index. Emits the vanished and returned signals, then
    /// portCatalogueChanged(), when anything changed; returns whether it did. A service that cannot be
    /// asked changes nothing. GUI thread only.
    bool refreshPorts();
    /// Asks for refreshPorts() on the GUI thread, soon. Any thread (a backend's notification thread
    /// included); calls before the catalogue exists or while one is pending are merged.
    static void requestPortRescan();
    /// How often the catalogue reads the ports by itself, in milliseconds (1000 unless the backend
    /// reports changes itself); 0 stops it. GUI thread only.
    void setPollInterval(int milliseconds);

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
    /// A listed input port has vanished; it keeps its index and name.
    void inputPortVanished(QString portName);
    /// A gone input port is present again at its old index.
    void inputPortReturned(QString portName);
    /// A listed output port has vanished; it keeps its index and name.
    void outputPortVanished(QString portName);
    /// A gone output port is present again at its old index.
    void outputPortReturned(QString portName);
    /// Ports appeared, vanished or returned: port menus and lists should be rebuilt. Emitted after
    /// the vanished and returned signals of the same refresh.
    void portCatalogueChanged();

private:
    MIDIPortInfo();
    void _readPortNames();
    void _startPolling();
    void _rescanSLOT();
    QVector<QString> _presentInputNames() const;
    QVector<QString> _presentOutputNames() const;
    void _initAliasesFromPrefs();
    void _initPortUseFromPrefs();

    static MIDIPortInfo* _instance;
    // The same pointer, for requestPortRescan() on other threads.
    static std::atomic<MIDIPortInfo*> _liveInstance;
    std::atomic<bool> _rescanPending{false};
    std::mutex _rescanLock; // orders a rescan's posting before its slot (see requestPortRescan)
    QTimer* _pollTimer = nullptr;

    int _numInputPorts;
    int _numOutputPorts;
    // Every name listed this run, by index; the present flags say which are there now.
    QVector<QString> _inputPortNames;
    QVector<QString> _outputPortNames;
    QVector<bool> _inputPortPresent;
    QVector<bool> _outputPortPresent;
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
