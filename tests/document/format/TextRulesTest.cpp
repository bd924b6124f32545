#include <gtest/gtest.h>

#include <random>
#include <string>

#include "document/format/TextRules.h"

namespace {

// The word-at-a-time search against a plain one, for every position of each byte in texts
// around the word size, among neighbours that differ from the searched bytes in one bit.
TEST(TextRules, BreakerSearchFindsEveryByteAtEveryPosition) {
    const std::string fillers[] = {"a", "\x7d", "\x8c", "\xfc", std::string(1, '\0'), "\x0b", "\x0e"};
    for (size_t length = 0; length <= 19; ++length) {
        for (const std::string& filler : fillers) {
            std::string s;
            for (size_t i = 0; i < length; ++i) s += filler;
            EXPECT_FALSE(TextRules::HasFieldBreaker(s)) << length;
            EXPECT_FALSE(TextRules::HasLineBreak(s)) << length;
            for (size_t at = 0; at < length; ++at) {
                for (const char c : {'|', '\r', '\n'}) {
                    std::string t = s;
                    t[at] = c;
                    EXPECT_TRUE(TextRules::HasFieldBreaker(t)) << length << " " << at;
                    EXPECT_EQ(TextRules::HasLineBreak(t), c != '|') << length << " " << at;
                }
            }
        }
    }
}

// The two integer rules agree where both read a number, and differ exactly where a field is
// more than a number.
TEST(TextRules, LeadingIntAndParseIntegerAgreeOnNumbers) {
    std::mt19937 rng(8);
    for (int i = 0; i < 5000; ++i) {
        const int64_t v = static_cast<int32_t>(rng());
        const std::string text = (rng() % 3 == 0 ? " \t" : "") + std::to_string(v);
        ASSERT_EQ(TextRules::ParseInteger(text), static_cast<int32_t>(v)) << text;
        ASSERT_EQ(TextRules::LeadingInt(text), v) << text;
    }
    const std::pair<std::string, int32_t> leadingOnly[] = {
        {"12abc", 12}, {"\v\f\r\n7", 7},           {"x", 0},
        {"", 0},       {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}};
    for (const auto& [text, value] : leadingOnly) {
        EXPECT_EQ(TextRules::LeadingInt(text), value) << text;
        EXPECT_FALSE(TextRules::ParseInteger(text).has_value()) << text;
    }
    EXPECT_EQ(TextRules::TrimTrailingSpace("Menu \t\r\n\v\f"), "Menu");
    EXPECT_EQ(TextRules::TrimTrailingSpace(" \t"), "");
}

// A field the user types (Add's Global ID): an optional sign right before the digits, blanks
// around, within the signed 32-bit range; anything more is not a number.
TEST(TextRules, ParseIntegerTakesASignedDecimalWithBlanksWithinInt32) {
    const std::pair<std::string, int32_t> good[] = {{"42", 42},
                                                    {"  42  ", 42},
                                                    {"\t-5\t", -5},
                                                    {"+7", 7},
                                                    {"007", 7},
                                                    {"0", 0},
                                                    {"-0", 0},
                                                    {"2147483647", INT32_MAX},
                                                    {"-2147483648", INT32_MIN},
                                                    {"00000000000000000012", 12}};
    for (const auto& [text, value] : good)
        EXPECT_EQ(TextRules::ParseInteger(text), value) << '"' << text << '"';
    for (const char* bad : {"", "   ", "-", "+", "4 2", "- 5", "+-5", "12a", "a12", "0x10", "1.5", "1e3",
                            "2147483648", "-2147483649", "99999999999999999999", "4\n", "\xd9\xa3"}) {
        EXPECT_FALSE(TextRules::ParseInteger(bad).has_value()) << '"' << bad << '"';
    }
}

}  // namespace
