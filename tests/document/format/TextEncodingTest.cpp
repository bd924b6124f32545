#include <gtest/gtest.h>

#include <string>

#include "document/format/TextEncoding.h"
#include "document/review/EntryStatus.h"

namespace {

TEST(TextEncoding, Utf8ValidityAndLatin1Conversions) {
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE2\x80\xA6 \xF0\x9F\x98\x80"));
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "ab\xE2\x80"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;

    EXPECT_EQ(Latin1ToUtf8("caf\xE9 \xFF"), "caf\xC3\xA9 \xC3\xBF");
    std::string back;
    ASSERT_TRUE(Utf8ToLatin1("caf\xC3\xA9 \xC3\xBF", back));
    EXPECT_EQ(back, "caf\xE9 \xFF");
    EXPECT_FALSE(Utf8ToLatin1("\xD0\x94", back));  // Cyrillic De
    EXPECT_FALSE(Utf8ToLatin1("\xC3", back));
}

TEST(EntryStatus, StandInSameAndTranslatedAcrossEncodings) {
    EXPECT_EQ(StatusOf("Open", Encoding::Utf8, "Open", Encoding::Utf8, true), EntryStatus::Missing);
    EXPECT_EQ(StatusOf("Open", Encoding::Utf8, "Open", Encoding::Utf8, false), EntryStatus::Same);
    // The same text in two encodings is the same; the same bytes in two encodings are not.
    EXPECT_EQ(StatusOf("caf\xC3\xA9", Encoding::Utf8, "caf\xE9", Encoding::Latin1, false), EntryStatus::Same);
    EXPECT_EQ(StatusOf("caf\xE9", Encoding::Latin1, "caf\xC3\xA9", Encoding::Utf8, false), EntryStatus::Same);
    EXPECT_EQ(StatusOf("caf\xC3\xA9", Encoding::Utf8, "caf\xC3\xA9", Encoding::Latin1, false),
              EntryStatus::Translated);
    EXPECT_EQ(StatusName(EntryStatus::Translated), "translated");
}

}  // namespace
