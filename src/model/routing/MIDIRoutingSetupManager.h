#pragma once

#include <QObject>
#include <QString>

class MIDIRoutingSetup;

/// Holds the one current setup, makes new ones (empty or read from a file), and relays the
/// current setup's modified flag and file path. GUI thread only.
class MIDIRoutingSetupManager : public QObject
{
    Q_OBJECT

public:
    static MIDIRoutingSetupManager* GetInstance();

    MIDIRoutingSetup* getCurrentRoutingSetup() const { return _currentSetup; }
    bool hasCurrentRoutingSetup() const { return _currentSetup != nullptr; }
    /// Lets go of the current setup (deleted later when asked, unless it is the new one too),
    /// takes the new one (the manager becomes its parent) and relays its modified flag and file
    /// path; announces the switch when the new setup is not null. A new setup, read and with its
    /// ports connected by now, then has each input's active output send its initializers, unless
    /// the preference or the command line says not to. Every way of opening a setup comes here.
    void setCurrentRoutingSetup(MIDIRoutingSetup* setup, bool deleteOld);
    /// Lets go of the current setup as setCurrentRoutingSetup(nullptr, deleteOld) and announces it.
    void clearCurrentRoutingSetup(bool deleteOld);
    /// A setup named "no name", read from the file when a path is given (an unreadable file
    /// leaves it empty, with the error posted), made current when asked.
    MIDIRoutingSetup* createNewRoutingSetup(bool makeCurrent, QString filePath);
    /// False keeps the initializers from being sent when a setup opens, whatever the preference
    /// says ("--no-initializers-on-open"); not stored.
    void setInitializersOnOpenAllowed(bool allowed) { _initializersOnOpenAllowed = allowed; }
    bool areInitializersOnOpenAllowed() const { return _initializersOnOpenAllowed; }
    /// Whether a setup that opens has its active outputs send their initializers.
    bool sendsInitializersOnOpen() const;

signals:
    void currentRoutingSetupSwitchedTo(MIDIRoutingSetup* currentRS);
    void currentRoutingSetupCleared();
    void currentRoutingSetupModifiedChangedTo(bool modified);
    void currentRoutingSetupFilePathChangedTo(QString filePath);

private slots:
    void _currentRSModifiedChangedToSLOT(bool modified);
    void _currentRSFilePathChangedToSLOT(QString filePath);

private:
    MIDIRoutingSetupManager() = default;
    static MIDIRoutingSetupManager* _instance;
    MIDIRoutingSetup* _currentSetup = nullptr;
    bool _initializersOnOpenAllowed = true;
};

/// The setup manager's current setup.
MIDIRoutingSetup* getCurrentRoutingSetup();
