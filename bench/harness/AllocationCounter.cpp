// Replacements of the global allocation functions, so a benchmark can tell how often the code it
// measures reaches the heap. Every allocation goes to glibc's own allocator; only a counter is
// added. The C allocator is replaced too (glibc supports that from the executable), because Qt's
// containers allocate with malloc. Sanitizers bring allocators of their own: with one, only
// operator new is counted.
#include "harness/AllocationCounter.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUORVELL_COUNT_C_ALLOCATOR 0
#else
#define QUORVELL_COUNT_C_ALLOCATOR 1
#endif

namespace {

std::atomic<std::uint64_t> g_allocations{0};
// Plain thread-local storage of the executable: reaching it never allocates.
thread_local std::uint64_t t_allocations = 0;

inline void countOne()
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    ++t_allocations;
}

} // namespace

std::uint64_t AllocationCounter::allocations()
{
    return g_allocations.load(std::memory_order_relaxed);
}

std::uint64_t AllocationCounter::allocationsOnThisThread()
{
    return t_allocations;
}

bool AllocationCounter::countsCAllocator()
{
    return QUORVELL_COUNT_C_ALLOCATOR != 0;
}

bool AllocationCounter::isWorking()
{
    const std::uint64_t before = allocations();
    // Kept in volatile variables so the compiler cannot leave the allocations out.
    int* volatile object = new int(1);
    delete object;
    void* volatile block = std::malloc(16);
    std::free(block);
    return allocations() - before >= (countsCAllocator() ? 2u : 1u);
}

#if QUORVELL_COUNT_C_ALLOCATOR

// glibc's allocator under its internal names.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);

void* malloc(std::size_t size) noexcept
{
    countOne();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept
{
    countOne();
    return __libc_calloc(count, size);
}

// A realloc may move the block, so it counts as an allocation too.
void* realloc(void* pointer, std::size_t size) noexcept
{
    countOne();
    return __libc_realloc(pointer, size);
}

void* memalign(std::size_t alignment, std::size_t size) noexcept
{
    countOne();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept
{
    countOne();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) noexcept
{
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    countOne();
    void* pointer = __libc_memalign(alignment, size);
    if (!pointer)
        return ENOMEM;
    *result = pointer;
    return 0;
}

void free(void* pointer) noexcept
{
    __libc_free(pointer);
}
}

#endif

namespace {

// With the C allocator counted, malloc counts the allocation; otherwise it is counted here.
void* allocate(std::size_t size)
{
#if !QUORVELL_COUNT_C_ALLOCATOR
    countOne();
#endif
    return std::malloc(size == 0 ? 1 : size);
}

void* allocateAligned(std::size_t size, std::align_val_t alignment)
{
#if !QUORVELL_COUNT_C_ALLOCATOR
    countOne();
#endif
    std::size_t align = static_cast<std::size_t>(alignment);
    if (align < sizeof(void*))
        align = sizeof(void*);
    void* pointer = nullptr;
    if (posix_memalign(&pointer, align, size == 0 ? 1 : size) != 0)
        return nullptr;
    return pointer;
}

} // namespace

void* operator new(std::size_t size)
{
    if (void* pointer = allocate(size))
        return pointer;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    if (void* pointer = allocate(size))
        return pointer;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
    if (void* pointer = allocateAligned(size, alignment))
        return pointer;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    if (void* pointer = allocateAligned(size, alignment))
        return pointer;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateAligned(size, alignment);
}

void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateAligned(size, alignment);
}

void operator delete(void* pointer) noexcept
{
    std::free(pointer);
}

void operator delete[](void* pointer) noexcept
{
    std::free(pointer);
}

void operator delete(void* pointer, std::size_t) noexcept
{
    std::free(pointer);
}

void operator delete[](void* pointer, std::size_t) noexcept
{
    std::free(pointer);
}

void operator delete(void* pointer, const std::nothrow_t&) noexcept
{
    std::free(pointer);
}

void operator delete[](void* pointer, const std::nothrow_t&) noexcept
{
    std::free(pointer);
}

void operator delete(void* pointer, std::align_val_t) noexcept
{
    std::free(pointer);
}

void operator delete[](void* pointer, std::align_val_t) noexcept
{
    std::free(pointer);
}

void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept
{
    std::free(pointer);
}

void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept
{
    std::free(pointer);
}

void operator delete(void* pointer, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(pointer);
}

void operator delete[](void* pointer, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(pointer);
}
