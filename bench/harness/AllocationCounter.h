#pragma once

#include <cstdint>

/// Counts the heap allocations of the whole process: every form of operator new, and, in a build
/// without a sanitizer, the C allocator too (malloc, calloc, realloc and the aligned forms), which
/// Qt's containers and strings use instead of operator new. Each benchmark executable carries the
/// replacements; a benchmark reads the count before and after its timed loop.
namespace AllocationCounter {

/// Allocations made so far, on any thread. No allocation, no blocking.
std::uint64_t allocations();

/// Allocations made so far by the calling thread. No allocation, no blocking.
std::uint64_t allocationsOnThisThread();
/// True when the C allocator is counted as well as operator new.
bool countsCAllocator();

/// True when the counting replacements are the ones in use: an allocation made now is seen.
bool isWorking();

} // namespace AllocationCounter
