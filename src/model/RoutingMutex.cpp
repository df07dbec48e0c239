#include "model/RoutingMutex.h"

#include <cstdlib>

RoutingMutex::RoutingMutex()
{
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    _inheritsPriority = pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_INHERIT) == 0;
    if (pthread_mutex_init(&_mutex, &attributes) != 0) {
        // Refused with priority inheritance: a plain mutex still keeps the routing correct.
        _inheritsPriority = false;
        pthread_mutex_init(&_mutex, nullptr);
    }
    pthread_mutexattr_destroy(&attributes);
}

RoutingMutex::~RoutingMutex()
{
    pthread_mutex_destroy(&_mutex);
}

void RoutingMutex::lock()
{
    // Fails only on misuse (a lock taken twice by one thread, a destroyed mutex): a broken program
    // is stopped rather than left to route without its lock.
    if (pthread_mutex_lock(&_mutex) != 0)
        std::abort();
}

bool RoutingMutex::try_lock()
{
    return pthread_mutex_trylock(&_mutex) == 0;
}

void RoutingMutex::unlock()
{
    pthread_mutex_unlock(&_mutex);
}
