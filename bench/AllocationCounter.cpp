#include "AllocationCounter.h"

#include <malloc.h>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>

// The C library lets a program replace its allocator by defining these
// functions; these count the call and hand it on to the library's own
// allocator, so blocks from either side may be freed by the other.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {
std::atomic<long long> g_allocations{0};

void Count() noexcept
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

long long alloc_count::Total() noexcept
{
    return g_allocations.load(std::memory_order_relaxed);
}

extern "C" {

void* malloc(std::size_t size) noexcept
{
    Count();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept
{
    Count();
    return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) noexcept
{
    Count();
    return __libc_realloc(block, size);
}

void* memalign(std::size_t alignment, std::size_t size) noexcept
{
    Count();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept
{
    Count();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** block, std::size_t alignment, std::size_t size) noexcept
{
    Count();
    void* result = __libc_memalign(alignment, size);
    if (result == nullptr)
        return ENOMEM;
    *block = result;
    return 0;
}

void free(void* block) noexcept
{
    __libc_free(block);
}

}  // extern "C"
