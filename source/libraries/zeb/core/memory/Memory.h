#pragma once

#include "zeb/core/memory/MemoryType.h"

#include <cstddef>

// Framework allocations carry the pool and the place that asked for them.
void* operator new(std::size_t size, ZEB::MemoryType type, const char* file, int line);
void operator delete(void* block, ZEB::MemoryType type, const char* file, int line) noexcept;

namespace ZEB {

// Blocks handed out by the framework operator new and not yet given back.
std::size_t liveAllocations(MemoryType type);

} // namespace ZEB
