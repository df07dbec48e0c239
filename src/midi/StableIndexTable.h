#pragma once

#include <array>
#include <atomic>
#include <memory>

/// A table indexed by port number that grows without ever moving what it holds: slots live in
/// chunks that are allocated once and kept until the table goes. The MIDI thread may read any slot
/// below size() while the GUI thread appends more; a slot's address (a callback's user data, for
/// instance) stays valid for the table's lifetime. Slots start value-initialised.
template <typename T, int ChunkSize = 64, int MaxChunks = 256> class StableIndexTable
{
public:
    static constexpr int kCapacity = ChunkSize * MaxChunks;

    StableIndexTable() = default;
    ~StableIndexTable()
    {
        for (std::atomic<T*>& chunk : _chunks)
            delete[] chunk.load(std::memory_order_relaxed);
    }
    StableIndexTable(const StableIndexTable&) = delete;
    StableIndexTable& operator=(const StableIndexTable&) = delete;

    /// Number of usable slots. Any thread.
    int size() const { return _size.load(std::memory_order_acquire); }

    /// Makes at least `count` slots usable (at most kCapacity); returns the new size. Existing slots
    /// neither move nor change. GUI thread only.
    int growTo(int count)
    {
        if (count > kCapacity)
            count = kCapacity;
        const int current = _size.load(std::memory_order_relaxed);
        if (count <= current)
            return current;
        for (int chunk = 0; chunk * ChunkSize < count; ++chunk) {
            if (!_chunks[static_cast<size_t>(chunk)].load(std::memory_order_relaxed))
                _chunks[static_cast<size_t>(chunk)].store(new T[ChunkSize](), std::memory_order_release);
        }
        _size.store(count, std::memory_order_release);
        return count;
    }

    /// The slot at `index`, which must be below size(). Any thread.
    T& operator[](int index)
    {
        return _chunks[static_cast<size_t>(index / ChunkSize)].load(
            std::memory_order_acquire)[index % ChunkSize];
    }
    const T& operator[](int index) const
    {
        return _chunks[static_cast<size_t>(index / ChunkSize)].load(
            std::memory_order_acquire)[index % ChunkSize];
    }

private:
    std::array<std::atomic<T*>, MaxChunks> _chunks{};
    std::atomic<int> _size{0};
};
