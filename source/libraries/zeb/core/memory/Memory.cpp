#include "zeb/core/memory/Memory.h"

#include <atomic>
#include <new>

namespace {
std::atomic<std::size_t> gLive[ZEB::MEMORY_TYPE_COUNT];

std::size_t Slot(ZEB::MemoryType type)
{
    return (type >= 0 && type < ZEB::MEMORY_TYPE_COUNT) ? static_cast<std::size_t>(type) : 0;
}
} // namespace

void* operator new(std::size_t size, ZEB::MemoryType type, const char*, int)
{
    void* block = ::operator new(size);
    ++gLive[Slot(type)];
    return block;
}

void operator delete(void* block, ZEB::MemoryType type, const char*, int) noexcept
{
    if (block == nullptr) {
        return;
    }
    --gLive[Slot(type)];
    ::operator delete(block);
}

namespace ZEB {

std::size_t liveAllocations(MemoryType type) { return gLive[Slot(type)].load(); }

} // namespace ZEB
