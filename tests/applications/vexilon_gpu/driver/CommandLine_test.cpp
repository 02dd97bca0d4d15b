#include "driver/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct SwitchCase {
    std::vector<std::string> arguments;
    bool testerMode;
    std::string app;
    int failAfter;
    std::string diagnostics;
};

class CommandLineCase : public ::testing::TestWithParam<SwitchCase> {};

const char kIgnored[] = "unknown argument ignored: ";

} // namespace

TEST_P(CommandLineCase, ReadsTheSwitchesAsTheHostGivesThem)
{
    const SwitchCase& c = GetParam();
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.begin(), "vexilon_gpu.exe");
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    CommandLine options;
    std::ostringstream diagnostics;
    options.Parse(static_cast<int>(arguments.size()), argv.data(), diagnostics);
    EXPECT_EQ(c.testerMode, options.TesterMode());
    EXPECT_EQ(c.app, options.App());
    EXPECT_EQ(c.failAfter, options.FailAfter());
    EXPECT_EQ(c.diagnostics, diagnostics.str());
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CommandLineCase,
    ::testing::Values(
        SwitchCase{{}, false, "", -1, ""},
        SwitchCase{{"--qz4", "--app=Lumatrope", "--failAfter=17"}, true, "Lumatrope", 17, ""},
        SwitchCase{{"--qz4=no"}, true, "", -1, ""},
        // The value runs from the first equals sign; a later value wins.
        SwitchCase{{"--app=a=b=c", "--x=1=2"}, false, "a=b=c", -1, std::string(kIgnored) + "x=1=2\n"},
        SwitchCase{{"--app=First", "--failAfter=3", "--app=Second", "--failAfter=9"}, false, "Second", 9, ""},
        // The walk ends at the first argument without two dashes.
        SwitchCase{{"--qz4", "extra", "--app=Lumatrope", "--bogus"}, true, "", -1, ""},
        SwitchCase{{"-qz4", "--qz4"}, false, "", -1, ""},
        // Keys are case-sensitive; unknown ones are reported in order and the walk goes on.
        SwitchCase{{"--verbose", "--", "--QZ4", "--App=L", "--app", "--qz4"}, true, "", -1,
                   std::string(kIgnored) + "verbose\n" + kIgnored + "\n" + kIgnored + "QZ4\n" + kIgnored + "App=L\n"},
        // failAfter converts like atoi, and holds at the ends of the 32-bit range.
        SwitchCase{{"--failAfter"}, false, "", 0, ""},
        SwitchCase{{"--failAfter=abc"}, false, "", 0, ""},
        SwitchCase{{"--failAfter=  12abc"}, false, "", 12, ""},
        SwitchCase{{"--failAfter=-5"}, false, "", -5, ""},
        SwitchCase{{"--failAfter=99999999999"}, false, "", 2147483647, ""},
        SwitchCase{{"--failAfter=-99999999999999999999"}, false, "", -2147483647 - 1, ""}));
