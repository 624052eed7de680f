#pragma once

// Storage for the index's big arrays on transparent huge pages where the
// system offers them: a node arena of a large genome spans hundreds of
// megabytes, and with 4 KiB pages its random walks miss the TLB and its
// first touches fault page by page.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tessaron {

inline constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

namespace detail {

inline std::size_t rounded(std::size_t bytes)
{
    return (bytes + kHugePageSize - 1) / kHugePageSize * kHugePageSize;
}

#if defined(__linux__)
// Maps `bytes` (a multiple of the huge page size) aligned to a huge page, and
// gives the memory back to the system when it is released, which the heap
// would not do for blocks it keeps for later.
inline void* mapAligned(std::size_t bytes)
{
    const std::size_t span = bytes + kHugePageSize;
    void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePageSize - 1) / kHugePageSize * kHugePageSize;
    if (aligned > start) {
        munmap(mapped, aligned - start);
    }
    const std::uintptr_t end = start + span;
    if (end > aligned + bytes) {
        munmap(reinterpret_cast<void*>(aligned + bytes), end - (aligned + bytes));
    }
    void* block = reinterpret_cast<void*>(aligned);
#if defined(MADV_HUGEPAGE)
    // Only advice: without huge pages the block works all the same.
    static_cast<void>(madvise(block, bytes, MADV_HUGEPAGE));
#endif
    return block;
}

inline void unmap(void* block, std::size_t bytes) noexcept
{
    munmap(block, bytes);
}
#else
inline void* mapAligned(std::size_t bytes)
{
    void* block = std::aligned_alloc(kHugePageSize, bytes);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

inline void unmap(void* block, std::size_t) noexcept
{
    std::free(block);
}
#endif

}  // namespace detail

// Blocks of at least a huge page are aligned to one and marked for huge
// pages; smaller ones come from the ordinary allocator.
template <typename T>
class HugePageAllocator {
public:
    using value_type = T;

    HugePageAllocator() noexcept = default;
    template <typename U>
    HugePageAllocator(const HugePageAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t count)
    {
        if (count > std::size_t(-1) / sizeof(T) - kHugePageSize) {
            throw std::bad_array_new_length();
        }
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kHugePageSize) {
            return std::allocator<T>().allocate(count);
        }
        return static_cast<T*>(detail::mapAligned(detail::rounded(bytes)));
    }

    void deallocate(T* block, std::size_t count) noexcept
    {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kHugePageSize) {
            std::allocator<T>().deallocate(block, count);
        } else {
            detail::unmap(block, detail::rounded(bytes));
        }
    }

    template <typename U>
    friend bool operator==(const HugePageAllocator&, const HugePageAllocator<U>&) noexcept
    {
        return true;
    }
};

template <typename T>
using HugeVector = std::vector<T, HugePageAllocator<T>>;

}  // namespace tessaron
