#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/TextCollator.h"

namespace {

int Sign(int c) {
    return (c > 0) - (c < 0);
}

// Random texts over an alphabet that mixes letters of both cases, accents, punctuation that the
// locale ignores at first, digits, invalid UTF-8 and zero bytes.
std::vector<std::string> MessyTexts(size_t count, unsigned seed) {
    static const char* const kPieces[] = {"a",    "b", "A",    "B",  "e",           "\xc3\xa9", "\xc3\x89",
                                          " ",    "-", "'",    "1",  "2",           "\xff",     "\x80",
                                          "\xc3", "z", "\x01", "\t", "\xe2\x82\xac"};
    std::mt19937 rng(seed);
    std::vector<std::string> texts;
    for (size_t i = 0; i < count; ++i) {
        std::string s;
        const size_t n = rng() % 7;
        for (size_t j = 0; j < n; ++j)
            s += rng() % 15 == 0 ? std::string(1, '\0') : kPieces[rng() % std::size(kPieces)];
        texts.push_back(s);
    }
    return texts;
}

// Compare must be a total order that agrees with the sort keys.
void ExpectTotalOrderAgreeingWithKeys(const TextCollator& collator) {
    const std::vector<std::string> texts = MessyTexts(600, 11);
    std::vector<std::string> keys;
    for (const std::string& t : texts) {
        std::string k;
        collator.AppendKey(t, k);
        keys.push_back(k);
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        for (size_t j = i; j < texts.size(); j += 7) {
            const int c = collator.Compare(texts[i], texts[j]);
            ASSERT_EQ(c, -collator.Compare(texts[j], texts[i]));
            ASSERT_EQ(c == 0, texts[i] == texts[j]) << i << " " << j;
            ASSERT_EQ(c, Sign(keys[i].compare(keys[j]))) << i << " " << j;
        }
    }
}

TEST(TextCollator, ByteOrderInTheCLocales) {
    for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
        TextCollator c(name);
        EXPECT_TRUE(c.IsByteOrder()) << name;
        EXPECT_LT(c.Compare("B", "a"), 0);
        EXPECT_LT(c.Compare("z", "\x80"), 0);  // bytes are unsigned
        EXPECT_LT(c.Compare(std::string("a\0", 2), std::string("a\0b", 3)), 0);
        EXPECT_LT(c.Compare(std::string("a\0b", 3), "ab"), 0);
    }
    ExpectTotalOrderAgreeingWithKeys(TextCollator("C"));
}

TEST(TextCollator, MissingLocaleFallsBackToByteOrder) {
    TextCollator missing("xx_NOWHERE.UTF-8");
    EXPECT_FALSE(missing.LocaleFound());
    EXPECT_TRUE(missing.IsByteOrder());
    EXPECT_LT(missing.Compare("B", "a"), 0);
}

TEST(TextCollator, EnglishLocaleOrder) {
    TextCollator en("en_US.UTF-8");
    if (!en.LocaleFound()) GTEST_SKIP() << "en_US.UTF-8 is not installed";
    EXPECT_FALSE(en.IsByteOrder());
    // Letters before case: a, A, b, B, not A, B, a, b.
    EXPECT_LT(en.Compare("a", "B"), 0);
    EXPECT_LT(en.Compare("A", "b"), 0);
    EXPECT_NE(en.Compare("a", "A"), 0);  // case-sensitive: never equal
    EXPECT_LT(en.Compare("apple", "Zebra"), 0);
    // Accents are a secondary difference.
    EXPECT_LT(en.Compare("resume", "r\xc3\xa9sum\xc3\xa9"), 0);
    EXPECT_LT(en.Compare("r\xc3\xa9sum\xc3\xa9", "rz"), 0);
    // Texts the collation cannot tell apart still differ.
    EXPECT_NE(en.Compare("\xff", "\xfe"), 0);
    EXPECT_EQ(en.Compare("\xff", "\xfe"), -en.Compare("\xfe", "\xff"));
    EXPECT_NE(en.Compare(std::string("a\0b", 3), std::string("a\0c", 3)), 0);
    EXPECT_NE(en.Compare("a", std::string("a\0", 2)), 0);
    ExpectTotalOrderAgreeingWithKeys(en);
}

}  // namespace
