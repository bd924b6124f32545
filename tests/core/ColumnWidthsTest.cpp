#include <gtest/gtest.h>

#include <string>

#include "core/ColumnWidths.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

TEST(ColumnWidths, EntryTableLayoutBytes) {
    const std::string expected =
        Bytes({4, 0, 0, 0, 0x28, 0, 0, 0, 0x5A, 0, 0, 0, 0x28, 0, 0, 0, 0x2C, 1, 0, 0});
    EXPECT_EQ(SerializeWidths({40, 90, 40, 300}), expected);
    const StoredWidths back = DeserializeWidths(expected, 4);
    EXPECT_EQ(back.result, StoredWidths::Applied);
    EXPECT_EQ(back.widths, (std::vector<int32_t>{40, 90, 40, 300}));
}

TEST(ColumnWidths, RoundTripKeepsZeroNegativeAndLargeWidths) {
    const std::vector<int32_t> widths = {0, -1, 70000, INT32_MAX, INT32_MIN};
    const std::string bytes = SerializeWidths(widths);
    ASSERT_EQ(bytes.size(), 24u);
    const StoredWidths back = DeserializeWidths(bytes, 5);
    EXPECT_EQ(back.result, StoredWidths::Applied);
    EXPECT_EQ(back.widths, widths);
    EXPECT_EQ(SerializeWidths({}), Bytes({0, 0, 0, 0}));
}

TEST(ColumnWidths, UnusableValuesKeepTheDefaults) {
    const std::string four = SerializeWidths({40, 90, 40, 300});
    EXPECT_EQ(DeserializeWidths("", 4).result, StoredWidths::NoValue);
    // Another column count, whether the bytes would cover it or not.
    EXPECT_EQ(DeserializeWidths(SerializeWidths({40, 90, 40}), 4).result, StoredWidths::CountMismatch);
    EXPECT_EQ(DeserializeWidths(four, 3).result, StoredWidths::CountMismatch);
    EXPECT_EQ(DeserializeWidths(Bytes({0xFF, 0xFF, 0xFF, 0xFF}), -1).result, StoredWidths::CountMismatch);
    // Cut short: in the count itself, and in the widths.
    EXPECT_EQ(DeserializeWidths(four.substr(0, 3), 4).result, StoredWidths::TooShort);
    for (size_t len = 4; len < four.size(); ++len) {
        const StoredWidths s = DeserializeWidths(four.substr(0, len), 4);
        EXPECT_EQ(s.result, StoredWidths::TooShort) << len;
        EXPECT_TRUE(s.widths.empty()) << len;
    }
    // A count far beyond the bytes must not be trusted for reading.
    EXPECT_EQ(DeserializeWidths(Bytes({0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0}), INT32_MAX).result,
              StoredWidths::TooShort);
    // Trailing bytes after the announced widths are not read.
    EXPECT_EQ(DeserializeWidths(four + "xyz", 4).widths, (std::vector<int32_t>{40, 90, 40, 300}));
}

}  // namespace
