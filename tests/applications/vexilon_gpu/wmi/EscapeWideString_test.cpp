#include "wmi/EscapeWideString.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(EscapeWideString, KeepsSpaceToTildeAndEscapesEveryOtherUnitUpToTheNul)
{
    const wchar_t withNul[] = L"abc\0def";
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L" AMD Radeon(TM) ~", " AMD Radeon(TM) ~"},
        {L"GeForce\u2122 GTX", "GeForce\\x2122 GTX"},
        {L"[\xd83d\xde00]", "[\\xd83d\\xde00]"},  // one escape per surrogate (UTF-16 on every system)
        {withNul, "abc"},
        {nullptr, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, EscapeWideString(c.first));
    }
    // Every unit on its own: one character or six, all of them printable.
    for (unsigned int unit = 1; unit <= 0xFFFF; ++unit) {
        const wchar_t text[] = {static_cast<wchar_t>(unit), L'\0'};
        char expected[8];
        std::snprintf(expected, sizeof expected, unit >= 0x20 && unit <= 0x7E ? "%c" : "\\x%04x", unit);
        ASSERT_EQ(expected, EscapeWideString(text)) << unit;
    }
}
