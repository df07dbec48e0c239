#pragma once

#include <QObject>

class QSocketNotifier;

/// Turns SIGINT, SIGTERM, SIGUSR1 and SIGUSR2 into Qt signals on the thread that made the watcher. The
/// signal handler only writes one byte to a pipe; everything else happens in the event loop.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignalWatcher(QObject* parent = nullptr);
    ~UnixSignalWatcher() override;

    /// False when the pipe or the handlers could not be installed.
    bool isWatching() const { return _notifier != nullptr; }

signals:
    void stopRequested(int signalNumber);
    void panicRequested();
    /// SIGUSR2: play the next song of the set list.
    void nextSongRequested();

private slots:
    void _readSignalSLOT();

private:
    static void _handler(int signalNumber);
    static int _pipe[2];
    QSocketNotifier* _notifier = nullptr;
};
