#pragma once

#include <vector>

#include <sys/types.h>

/// Processes that keep the processors busy while a test runs, so that timing and ordering faults
/// that show only on a loaded machine show here too. Started at construction, killed at
/// destruction.
class BusyNeighbours
{
public:
    /// Starts `count` processes, each spinning on one processor.
    explicit BusyNeighbours(int count = 2);
    ~BusyNeighbours();

    BusyNeighbours(const BusyNeighbours&) = delete;
    BusyNeighbours& operator=(const BusyNeighbours&) = delete;

    /// How many are running.
    int runningCount() const;

private:
    std::vector<pid_t> _pids;
};
