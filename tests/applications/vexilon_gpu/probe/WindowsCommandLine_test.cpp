#include "probe/WindowsCommandLine.h"

#include <gtest/gtest.h>

// The C run time's rules: backslashes are literal unless a quote follows
// them, so only those before a quote, the argument's own or the closing one,
// are doubled.
TEST(WindowsCommandLine, QuotesWhatTheRunTimeWouldSplitOrUnescape)
{
    const std::pair<std::string, std::string> cases[] = {
        {"--qz4", "--qz4"},
        {"", "\"\""},
        {"C:\\Program Files\\x", "\"C:\\Program Files\\x\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},
        {"C:\\dir \\\\", "\"C:\\dir \\\\\\\\\""},
        {"tab\there", "\"tab\there\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, WindowsCommandLine::Quote(c.first)) << c.first;
    }
    EXPECT_EQ("\"C:\\a b\\tool.exe\" --x \"\"", WindowsCommandLine::Join("C:\\a b\\tool.exe", {"--x", ""}));
}
