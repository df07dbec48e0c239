#include "model/ChannelNoteCounts.h"

#include <limits>

void ChannelNoteCounts::add(BYTE channel, BYTE note)
{
    std::atomic<std::uint16_t>& count = _counts[_slot(channel, note)];
    const std::uint16_t value = count.load(std::memory_order_relaxed);
    if (value < std::numeric_limits<std::uint16_t>::max())
        count.store(value + 1, std::memory_order_relaxed);
}

bool ChannelNoteCounts::takeOne(BYTE channel, BYTE note)
{
    std::atomic<std::uint16_t>& count = _counts[_slot(channel, note)];
    const std::uint16_t value = count.load(std::memory_order_relaxed);
    if (value == 0)
        return false;
    count.store(value - 1, std::memory_order_relaxed);
    return true;
}
