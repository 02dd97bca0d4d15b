#include "wmi/EscapeWideString.h"

#include <gtest/gtest.h>

TEST(EscapeWideString, KeepsSpaceToTildeAndEscapesEveryOtherUnitUpToTheNul)
{
    const wchar_t withNul[] = L"abc\0def";
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L" AMD Radeon(TM) ~", " AMD Radeon(TM) ~"},
        {L"GeForce\u2122 GTX", "GeForce\\x2122 GTX"},
        {L"Caf\u00e9\t", "Caf\\x00e9\\x0009"},
        {L"\x1f\x7f\xffff", "\\x001f\\x007f\\xffff"},
        {L"[\xd83d\xde00]", "[\\xd83d\\xde00]"},  // one escape per surrogate (UTF-16 on every system)
        {withNul, "abc"},
        {nullptr, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, EscapeWideString(c.first));
    }
}
