#pragma once

#include <pthread.h>

/// The mutex of the routing model's locks (see LockOrder.h). It inherits priority: when the
/// realtime MIDI thread (a JACK process cycle) waits for a lock that the GUI thread holds, the GUI
/// thread runs at the waiting thread's priority until it lets go, so no ordinary thread can keep the
/// MIDI thread waiting by preempting the holder. Uncontended, locking stays in user space.
/// Meets the standard Lockable requirements (std::lock_guard, std::unique_lock). Any thread.
class RoutingMutex
{
public:
    RoutingMutex();
    ~RoutingMutex();

    RoutingMutex(const RoutingMutex&) = delete;
    RoutingMutex& operator=(const RoutingMutex&) = delete;

    void lock();
    bool try_lock();
    void unlock();

    /// Whether the mutex inherits priority (false where the C library refused it and it fell back
    /// to a plain mutex).
    bool inheritsPriority() const { return _inheritsPriority; }

private:
    pthread_mutex_t _mutex;
    bool _inheritsPriority = false;
};
