#pragma once

#include "zeb/core/memory/Memory.h"

#include <cstddef>
#include <new>
#include <limits>

namespace ZEB {

// Standard allocator over the framework operator new, so framework strings and
// vectors are booked against a memory type.
template <typename T>
class ZEBAllocator {
public:
    using value_type = T;

    static constexpr const char* kFile = "zeb/core/memory/ZEBAllocator";

    ZEBAllocator() noexcept = default;
    template <typename U>
    ZEBAllocator(const ZEBAllocator<U>&) noexcept {}

    T* allocate(std::size_t count)
    {
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(::operator new(count * sizeof(T), MEMORY_TYPE_STRING, kFile, __LINE__));
    }

    void deallocate(T* block, std::size_t) noexcept
    {
        ::operator delete(static_cast<void*>(block), MEMORY_TYPE_STRING, kFile, __LINE__);
    }

    template <typename U>
    bool operator==(const ZEBAllocator<U>&) const noexcept { return true; }
    template <typename U>
    bool operator!=(const ZEBAllocator<U>&) const noexcept { return false; }
};

} // namespace ZEB
