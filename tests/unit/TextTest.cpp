// Trimming, banker's rounding and the lenient number reader.
#include "system/Text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

using namespace std::string_literals;

TEST(Text, TrimNullCutsAtFirstNulThenTrimsBlanks) {
    struct Case { std::string in, out; };
    const Case cases[] = {
        {"", ""},
        {"   ", ""},
        {"  abc  ", "abc"},
        {"a b", "a b"},
        {"abc\0def"s, "abc"},
        {"  abc \0 def  "s, "abc"},
        {"\0abc"s, ""},
        {std::string(128, '\0'), ""},
        {"Do not touch" + std::string(10, ' ') + std::string(5, '\0'), "Do not touch"},
        {"\tabc\t", "\tabc\t"},  // only blanks are trimmed
        {" a\0b "s, "a"},
    };
    for (const Case& c : cases) EXPECT_EQ(TrimNull(c.in), c.out) << '[' << c.in << ']';
}

TEST(Text, RoundHalfEvenTable) {
    struct Case { double in; int64_t out; };
    const Case cases[] = {
        {0.0, 0},   {0.5, 0},     {1.5, 2},     {2.5, 2},    {3.5, 4},       {-0.5, 0},
        {-1.5, -2}, {-2.5, -2},   {2.4999, 2},  {2.5001, 3}, {-2.5001, -3},  {565.5, 566},
        {136.5, 136}, {607.5, 608}, {7.96875 * 17, 135}, {1e300, std::numeric_limits<int64_t>::max()},
        {-1e300, std::numeric_limits<int64_t>::min()},
        {std::numeric_limits<double>::infinity(), std::numeric_limits<int64_t>::max()},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {4503599627370497.0, 4503599627370497},  // 2^52 + 1: no fraction left to round
    };
    for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(Text, ParseLeadingNumberTable) {
    struct Case { std::string in; double out; };
    const Case cases[] = {
        {"", 0},          {"abc", 0},       {"1", 1},          {"2.5", 2.5},     {"  42", 42},
        {"12abc", 12},    {"-1", -1},       {"+7", 7},         {"3.25.5", 3.25}, {".5", 0.5},
        {"5.", 5},        {"1e3", 1000},    {"1E-2", 0.01},    {"2D2", 200},     {"12e", 12},
        {"12e+", 12},     {"-", 0},         {".", 0},          {"- 5", 0},       {"inf", 0},
        {"nan", 0},       {"0x10", 0},      {"007", 7},        {"1,5", 1},       {"\t 9", 9},
        {"0.000", 0},     {"18000 seconds", 18000},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(ParseLeadingNumber(c.in), c.out) << '[' << c.in << ']';
}

TEST(Text, ParseLeadingNumberOutOfRange) {
    EXPECT_EQ(ParseLeadingNumber("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber("1" + std::string(400, '0')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber("1e-999"), 0.0);
    EXPECT_EQ(ParseLeadingNumber("0.0001e-999"), 0.0);
}

TEST(Text, ParsedThenRoundedHalfEven) {
    struct Case { const char* in; int64_t out; };
    const Case cases[] = {{"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"0.5", 0}, {"1.5abc", 2}, {"x", 0}};
    for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(ParseLeadingNumber(c.in)), c.out) << c.in;
}

TEST(Text, PadFixedTextPadsAndCuts) {
    EXPECT_EQ(PadFixedText("ab", 5), "ab   ");
    EXPECT_EQ(PadFixedText("abcdef", 4), "abcd");
    EXPECT_EQ(PadFixedText("", 3), "   ");
    EXPECT_EQ(PadFixedText("abc", 0), "");
}
