#include "model/transforms/ValueMapBuffer.h"

#include <thread>

ValueMapBuffer::ValueMapBuffer()
{
    for (int i = 0; i < kSize; ++i) {
        _copies[0][i] = static_cast<BYTE>(i);
        _copies[1][i] = static_cast<BYTE>(i);
    }
}

// The counter increment and the re-check of the published index are sequentially consistent, as
// are the writer's publish and its check of the counter: either the writer sees this reader on
// the copy, or this reader sees that the copy is no longer the published one and tries again.
int ValueMapBuffer::_pinPublished() const
{
    for (;;) {
        const int copy = _published.load();
        _readers[copy].fetch_add(1);
        if (_published.load() == copy)
            return copy;
        _readers[copy].fetch_sub(1);
    }
}

void ValueMapBuffer::_unpin(int copy) const
{
    _readers[copy].fetch_sub(1);
}

BYTE ValueMapBuffer::valueAt(BYTE index) const
{
    const int copy = _pinPublished();
    const BYTE value = _copies[copy][index & 0x7F];
    _unpin(copy);
    return value;
}

void ValueMapBuffer::copyValues(Values& values) const
{
    const int copy = _pinPublished();
    values = _copies[copy];
    _unpin(copy);
}

void ValueMapBuffer::publish(const Values& values)
{
    std::lock_guard<std::mutex> lock(_writerMutex);
    _publishLocked(values);
}

void ValueMapBuffer::publishValueAt(BYTE index, BYTE value)
{
    std::lock_guard<std::mutex> lock(_writerMutex);
    // Only writers change the published index, and they hold the mutex: the published copy is
    // stable here and reading it alongside readers is safe.
    Values values = _copies[_published.load()];
    values[index & 0x7F] = value;
    _publishLocked(values);
}

void ValueMapBuffer::_publishLocked(const Values& values)
{
    const int spare = 1 - _published.load();
    // A reader that pinned the spare copy before the previous publish may still be reading it.
    while (_readers[spare].load() != 0)
        std::this_thread::yield();
    _copies[spare] = values;
    _published.store(spare);
}
