#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class MainWindow;
class UnixSignalWatcher;

/// SIGINT and SIGTERM to the windowed program: the same clean stop as headless, without a prompt.
/// The window stores its preferences and writes each setup with unsaved changes to a recovery file,
/// then the event loop ends (the caller releases every note and closes the ports after it).
/// SIGUSR1 is the panic, as headless. A stop that arrives during a file operation waits for its
/// end. GUI thread only.
class WindowedStop : public QObject
{
    Q_OBJECT

public:
    /// Watches from now on. `endEventLoop` ends the event loop (and any dialog running its own);
    /// QCoreApplication::exit(0) when not given. A stop before the window is set only ends the loop.
    explicit WindowedStop(QObject* parent = nullptr, std::function<void()> endEventLoop = {});
    ~WindowedStop() override;

    void setWindow(MainWindow* window) { _window = window; }

    bool isWatching() const;
    bool wasStoppedBySignal() const { return _stopped; }
    /// Where the unsaved setups (and set list) went, or empty.
    QStringList recoveryFilePaths() const { return _recoveryFilePaths; }

signals:
    void stopped();

private slots:
    void _stopRequestedSLOT();
    void _panicRequestedSLOT();

private:
    QPointer<MainWindow> _window;
    std::function<void()> _endEventLoop;
    UnixSignalWatcher* _watcher = nullptr;
    bool _stopped = false;
    QStringList _recoveryFilePaths;
};
