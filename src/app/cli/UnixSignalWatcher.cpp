#include "app/cli/UnixSignalWatcher.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

int UnixSignalWatcher::_pipe[2] = {-1, -1};

UnixSignalWatcher::UnixSignalWatcher(QObject* parent) : QObject(parent)
{
    if (::pipe(_pipe) != 0)
        return;
    for (int fd : _pipe)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    struct sigaction action = {};
    action.sa_handler = &UnixSignalWatcher::_handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGINT, SIGTERM, SIGUSR1, SIGUSR2})
        ::sigaction(signalNumber, &action, nullptr);
    _notifier = new QSocketNotifier(_pipe[0], QSocketNotifier::Read, this);
    connect(_notifier, &QSocketNotifier::activated, this, &UnixSignalWatcher::_readSignalSLOT);
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    for (int signalNumber : {SIGINT, SIGTERM, SIGUSR1, SIGUSR2})
        ::signal(signalNumber, SIG_DFL);
    for (int& fd : _pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void UnixSignalWatcher::_handler(int signalNumber)
{
    // Only async-signal-safe work here.
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (_pipe[1] >= 0) [[maybe_unused]]
        ssize_t written = ::write(_pipe[1], &byte, 1);
}

void UnixSignalWatcher::_readSignalSLOT()
{
    unsigned char byte = 0;
    while (::read(_pipe[0], &byte, 1) == 1) {
        if (byte == SIGUSR1)
            emit panicRequested();
        else if (byte == SIGUSR2)
            emit nextSongRequested();
        else
            emit stopRequested(byte);
    }
}
