#pragma once

#include <QObject>

class QTimer;

/// Tells systemd how a headless run is doing when it runs as a service of Type=notify: ready once
/// the setup is routing, stopping when a stop begins, and "still alive" from the main thread's
/// event loop at half the watchdog interval systemd asks for, so a frozen program is restarted.
/// Does nothing outside systemd (no NOTIFY_SOCKET) or in a build without libsystemd.
/// GUI (main) thread only.
class ServiceNotifier : public QObject
{
    Q_OBJECT

public:
    explicit ServiceNotifier(QObject* parent = nullptr);
    ~ServiceNotifier() override;

    /// READY=1 with a status line; starts feeding the watchdog when systemd set one.
    void notifyReady(const QString& status);
    /// STOPPING=1; the watchdog is fed no more.
    void notifyStopping();

    /// The watchdog feeding interval in milliseconds, 0 when systemd set no watchdog.
    int watchdogIntervalMs() const;

private slots:
    void _feedWatchdogSLOT();

private:
    QTimer* _watchdogTimer = nullptr;
};
