#pragma once

// Counts every heap allocation of the process (malloc, calloc, realloc,
// memalign and everything built on them, operator new and the C library's
// own stream buffers included), so that a benchmark can show how many
// allocations a piece of work makes.
namespace alloc_count {

[[nodiscard]] long long Total() noexcept;

}  // namespace alloc_count
