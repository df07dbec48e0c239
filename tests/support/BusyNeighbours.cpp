#include "support/BusyNeighbours.h"

#include <csignal>
#include <unistd.h>

#include <sys/prctl.h>
#include <sys/wait.h>

BusyNeighbours::BusyNeighbours(int count)
{
    for (int i = 0; i < count; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Dies with the test, even when the test crashes.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() == 1)
                ::_exit(0);
            // The child only spins; it touches nothing of the test's.
            volatile unsigned long spin = 0;
            for (;;)
                spin = spin + 1;
        }
        if (pid > 0)
            _pids.push_back(pid);
    }
}

BusyNeighbours::~BusyNeighbours()
{
    for (const pid_t pid : _pids)
        ::kill(pid, SIGKILL);
    for (const pid_t pid : _pids)
        ::waitpid(pid, nullptr, 0);
}

int BusyNeighbours::runningCount() const
{
    int running = 0;
    for (const pid_t pid : _pids)
        running += ::kill(pid, 0) == 0 ? 1 : 0;
    return running;
}
