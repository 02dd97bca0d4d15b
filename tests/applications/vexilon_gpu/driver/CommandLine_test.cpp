#include "driver/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct Parsed {
    CommandLine options;
    std::string diagnostics;
};

Parsed Parse(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "vexilon_gpu.exe");
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    Parsed parsed;
    std::ostringstream diagnostics;
    parsed.options.Parse(static_cast<int>(arguments.size()), argv.data(), diagnostics);
    parsed.diagnostics = diagnostics.str();
    return parsed;
}

} // namespace

TEST(CommandLine, DefaultsWithoutArguments)
{
    const Parsed parsed = Parse({});
    EXPECT_EQ("", parsed.options.App());
    EXPECT_EQ(-1, parsed.options.FailAfter());
    EXPECT_FALSE(parsed.options.TesterMode());
    EXPECT_EQ("", parsed.diagnostics);
}

TEST(CommandLine, ReadsTheKnownKeys)
{
    const Parsed parsed = Parse({"--qz4", "--app=Lumatrope", "--failAfter=17"});
    EXPECT_TRUE(parsed.options.TesterMode());
    EXPECT_EQ("Lumatrope", parsed.options.App());
    EXPECT_EQ(17, parsed.options.FailAfter());
    EXPECT_EQ("", parsed.diagnostics);
}

TEST(CommandLine, SplitsAtTheFirstEqualsSignOnly)
{
    const Parsed parsed = Parse({"--app=a=b=c", "--x=1=2"});
    EXPECT_EQ("a=b=c", parsed.options.App());
    EXPECT_EQ("unknown argument ignored: x=1=2\n", parsed.diagnostics);
}

TEST(CommandLine, LaterValueWins)
{
    const Parsed parsed = Parse({"--app=First", "--failAfter=3", "--app=Second", "--failAfter=9"});
    EXPECT_EQ("Second", parsed.options.App());
    EXPECT_EQ(9, parsed.options.FailAfter());
}

TEST(CommandLine, StopsAtTheFirstArgumentWithoutTwoDashes)
{
    const Parsed parsed = Parse({"--qz4", "extra", "--app=Lumatrope", "--bogus"});
    EXPECT_TRUE(parsed.options.TesterMode());
    EXPECT_EQ("", parsed.options.App());
    EXPECT_EQ("", parsed.diagnostics);
}

TEST(CommandLine, OneDashSwitchStopsTheWalkAtOnce)
{
    const Parsed parsed = Parse({"-qz4", "--qz4"});
    EXPECT_FALSE(parsed.options.TesterMode());
    EXPECT_EQ("", parsed.diagnostics);
}

TEST(CommandLine, UnknownKeysAreReportedInOrderAndTheWalkGoesOn)
{
    const Parsed parsed = Parse({"--verbose", "--x=1", "--", "--qz4", "--QZ4"});
    EXPECT_TRUE(parsed.options.TesterMode());
    EXPECT_EQ("unknown argument ignored: verbose\n"
              "unknown argument ignored: x=1\n"
              "unknown argument ignored: \n"
              "unknown argument ignored: QZ4\n",
              parsed.diagnostics);
}

TEST(CommandLine, TesterModeWhateverItsValue)
{
    EXPECT_TRUE(Parse({"--qz4=no"}).options.TesterMode());
    EXPECT_TRUE(Parse({"--qz4="}).options.TesterMode());
}

TEST(CommandLine, FailAfterConvertsLikeAtoi)
{
    EXPECT_EQ(0, Parse({"--failAfter"}).options.FailAfter());
    EXPECT_EQ(0, Parse({"--failAfter=abc"}).options.FailAfter());
    EXPECT_EQ(12, Parse({"--failAfter=12abc"}).options.FailAfter());
    EXPECT_EQ(-5, Parse({"--failAfter=-5"}).options.FailAfter());
    EXPECT_EQ(7, Parse({"--failAfter=  7"}).options.FailAfter());
    // Past the 32-bit range the count holds at the nearest end on every system.
    EXPECT_EQ(2147483647, Parse({"--failAfter=99999999999"}).options.FailAfter());
    EXPECT_EQ(-2147483647 - 1, Parse({"--failAfter=-99999999999999999999"}).options.FailAfter());
}

TEST(CommandLine, AppKeyIsCaseSensitiveAndNeedsItsEqualsSign)
{
    EXPECT_EQ("lumatrope", Parse({"--app=lumatrope"}).options.App());
    EXPECT_EQ("", Parse({"--app"}).options.App());
    EXPECT_EQ("unknown argument ignored: App=Lumatrope\n", Parse({"--App=Lumatrope"}).diagnostics);
}
