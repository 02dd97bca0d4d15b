#include "probe/FaultRecordFile.h"

#include "ScopedDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

// A reader that opened the record before it was replaced reads the old record
// whole: the new one takes the old one's place in one step, with nothing left beside it.
TEST(FaultRecordFile, ReplacesTheRecordInOneStep)
{
    testsupport::ScopedDirectory folder;
    const FaultRecordFile file(folder.file("cache/vexilon_gpu/faults"));
    std::string text;
    std::string error;
    ASSERT_TRUE(file.Read(text, error));
    EXPECT_EQ("", text);

    ASSERT_TRUE(file.Replace("old record\n", error)) << error;
    std::ifstream reader(file.Path(), std::ios::binary);
    ASSERT_TRUE(file.Replace("new record\n", error)) << error;
    EXPECT_EQ("old record\n", std::string(std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>()));
    ASSERT_TRUE(file.Read(text, error));
    EXPECT_EQ("new record\n", text);
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(folder.file("cache/vexilon_gpu")),
                               std::filesystem::directory_iterator()));

    ASSERT_TRUE(file.Remove(error));
    ASSERT_TRUE(file.Remove(error));
    EXPECT_FALSE(std::filesystem::exists(file.Path()));
}
