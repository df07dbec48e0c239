#pragma once

#include "remote/OscServer.h"

#include <QObject>
#include <QTimer>

/// The window's OSC remote control: on when the command line gives --osc-port (which then holds
/// for the whole run), else as the preferences say, restarted whenever they change. It follows
/// the current setup as files are opened. Problems go to the status bar. GUI thread only.
class WindowedOscRemote : public QObject
{
    Q_OBJECT

public:
    /// `commandLinePort` 0 means the preferences decide.
    WindowedOscRemote(int commandLinePort, QString commandLineBindAddress, QObject* parent = nullptr);

    const OscServer& server() const { return _server; }

private:
    void _apply();

    OscServer _server;
    int _commandLinePort = 0;
    QString _commandLineBindAddress;
    QTimer _reapply;
    QString _listening; // "address:port" now listened on, empty when off
};
