#include "app/WindowedStop.h"

#include "app/MainWindow.h"
#include "app/cli/SetListReport.h"
#include "app/cli/UnixSignalWatcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

WindowedStop::WindowedStop(QObject* parent, std::function<void()> endEventLoop)
    : QObject(parent), _endEventLoop(std::move(endEventLoop))
{
    if (!_endEventLoop) {
        // exit(), not quit(): quitting would close the window, which asks about saving.
        _endEventLoop = [] { QCoreApplication::exit(0); };
    }
    _watcher = new UnixSignalWatcher(this);
    connect(_watcher, &UnixSignalWatcher::stopRequested, this, &WindowedStop::_stopRequestedSLOT);
    connect(_watcher, &UnixSignalWatcher::panicRequested, this, &WindowedStop::_panicRequestedSLOT);
}

WindowedStop::~WindowedStop() = default;

bool WindowedStop::isWatching() const
{
    return _watcher->isWatching();
}

void WindowedStop::_stopRequestedSLOT()
{
    if (_stopped)
        return;
    if (_window && _window->isFileOperationRunning()) {
        // The read or write in progress finishes first; the stop follows at once.
        QTimer::singleShot(20, this, &WindowedStop::_stopRequestedSLOT);
        return;
    }
    _stopped = true;
    if (_window)
        _recoveryFilePaths = _window->stopWithoutPrompt();
    for (const QString& path : _recoveryFilePaths) {
        std::fprintf(stderr, "status: the unsaved %s was kept in \"%s\"\n",
                     SetListReport::isSetListFile(path) ? "set list" : "setup",
                     qPrintable(QDir::toNativeSeparators(path)));
    }
    std::fflush(stderr);
    emit stopped();
    _endEventLoop();
}

void WindowedStop::_panicRequestedSLOT()
{
    if (_window)
        _window->allNotesOff();
}
