#include "sysinfo/EscapeWideString.h"

#include <gtest/gtest.h>

TEST(EscapeWideString, KeepsPrintableAsciiFromSpaceToTilde)
{
    EXPECT_EQ(" AMD Radeon(TM) ~", EscapeWideString(L" AMD Radeon(TM) ~"));
    EXPECT_EQ("20230115000000.000000-000", EscapeWideString(L"20230115000000.000000-000"));
}

TEST(EscapeWideString, EscapesEveryOtherUnitAsFourLowerCaseHexDigits)
{
    EXPECT_EQ("GeForce\\x2122 GTX", EscapeWideString(L"GeForce\u2122 GTX"));
    EXPECT_EQ("Caf\\x00e9", EscapeWideString(L"Caf\u00e9"));
    EXPECT_EQ("a\\x0009b", EscapeWideString(L"a\tb"));
    EXPECT_EQ("\\x001f\\x007f", EscapeWideString(L"\x1f\x7f"));
    EXPECT_EQ("\\xffff", EscapeWideString(L"\xffff"));
    // Outside the Basic Multilingual Plane: one escape per surrogate.
    EXPECT_EQ("[\\xd83d\\xde00]", EscapeWideString(L"[\U0001F600]"));
}

TEST(EscapeWideString, StopsAtTheFirstNulAndTakesNullAsEmpty)
{
    const wchar_t withNul[] = L"abc\0def";
    EXPECT_EQ("abc", EscapeWideString(withNul));
    EXPECT_EQ("", EscapeWideString(L""));
    EXPECT_EQ("", EscapeWideString(nullptr));
}
