#pragma once

namespace ZEB {

// Which pool a framework allocation is booked against.
enum MemoryType {
    MEMORY_TYPE_GENERAL = 0,
    MEMORY_TYPE_STRING = 1,
    MEMORY_TYPE_COUNT
};

} // namespace ZEB
