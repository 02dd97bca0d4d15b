#include "zeb/core/memory/ZEBAllocator.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {
typedef std::basic_string<char, std::char_traits<char>, ZEB::ZEBAllocator<char> > ZEBString;
typedef std::basic_ostringstream<char, std::char_traits<char>, ZEB::ZEBAllocator<char> > ZEBStringStream;
} // namespace

TEST(ZebMemory, AllocatorBooksBlocksUntilTheyAreGivenBack)
{
    const std::size_t before = ZEB::liveAllocations(ZEB::MEMORY_TYPE_STRING);
    {
        std::vector<int, ZEB::ZEBAllocator<int> > numbers(1000, 7);
        EXPECT_EQ(before + 1, ZEB::liveAllocations(ZEB::MEMORY_TYPE_STRING));
        EXPECT_EQ(7, numbers[999]);
    }
    EXPECT_EQ(before, ZEB::liveAllocations(ZEB::MEMORY_TYPE_STRING));
}

TEST(ZebMemory, StringStreamStorageComesFromTheFrameworkAllocator)
{
    const std::size_t before = ZEB::liveAllocations(ZEB::MEMORY_TYPE_STRING);
    {
        ZEBStringStream stream;
        stream << "Error determining GL version." << std::string(200, 'x');
        const ZEBString text = stream.str();
        EXPECT_GT(ZEB::liveAllocations(ZEB::MEMORY_TYPE_STRING), before);
        EXPECT_EQ(229u, text.size());
    }
    EXPECT_EQ(before, ZEB::liveAllocations(ZEB::MEMORY_TYPE_STRING));
}

TEST(ZebMemory, ImpossibleRequestThrowsInsteadOfWrapping)
{
    ZEB::ZEBAllocator<double> allocator;
    EXPECT_THROW(allocator.allocate(static_cast<std::size_t>(-1) / 4), std::bad_alloc);
}
