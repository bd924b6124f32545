#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "core/RowCompare.h"
#include "core/TextCollator.h"
#include "document/format/TextRules.h"

namespace {

TEST(CellKinds, DigitsDatesAndTheAtoiRule) {
    EXPECT_EQ(KindOf(""), CellKind::Number);
    EXPECT_EQ(KindOf("0123456789"), CellKind::Number);
    for (const char* text : {" 1", "-1", "1a", "\xb2", "5/3/2001", "05-03-2001", "05/03/20011", "05/0a/2001"})
        EXPECT_EQ(KindOf(text), CellKind::Text) << text;
    EXPECT_EQ(KindOf(std::string("1\0", 2)), CellKind::Text);
    EXPECT_EQ(KindOf("05/03/2001"), CellKind::Date);

    constexpr int32_t kMax = std::numeric_limits<int32_t>::max(), kMin = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(TextRules::LeadingInt(" \t\n\v\f\r40"), 40);
    EXPECT_EQ(TextRules::LeadingInt("+7x"), 7);
    EXPECT_EQ(TextRules::LeadingInt("-12abc"), -12);
    EXPECT_EQ(TextRules::LeadingInt("- 1"), 0);
    EXPECT_EQ(TextRules::LeadingInt("2147483648"), kMax);
    EXPECT_EQ(TextRules::LeadingInt("-2147483648"), kMin);
    EXPECT_EQ(TextRules::LeadingInt("-2147483649"), kMin);
    EXPECT_EQ(TextRules::LeadingInt(std::string(1000, '9')), kMax);
}

TEST(CellCompare, NumbersAndDatesCutAtTheTextsEnd) {
    EXPECT_LT(CompareAsNumbers("9", "10"), 0);
    EXPECT_EQ(CompareAsNumbers("007", "7"), 0);
    EXPECT_EQ(CompareAsNumbers("12abc", "12"), 0);
    EXPECT_LT(CompareAsDates("05/03/2001", "04/05/2001"), 0);  // month decides before day
    EXPECT_GT(CompareAsDates("01/01/2002", "31/12/2001"), 0);  // year first
    EXPECT_GT(CompareAsDates("01/01/2001", "01/01/20"), 0);
    EXPECT_GT(CompareAsDates("01/01/0000", ""), 0);
    EXPECT_EQ(CompareAsDates("00/00/0000", "ab"), 0);
}

TEST(CellCompare, KindIsDecidedByTheFirstCell) {
    TextCollator bytes("C");
    EXPECT_LT(CompareCells("9", "10a", true, bytes), 0);  // numbers: 9 < 10
    EXPECT_LT(CompareCells("10a", "9", true, bytes), 0);  // text: "1" < "9"
    EXPECT_LT(CompareCells("", "5", true, bytes), 0);
    EXPECT_GT(CompareCells("5/3/2001", "4/5/2001", true, bytes), 0);  // not a date: text
    EXPECT_GT(CompareCells("9", "10a", false, bytes), 0);
    EXPECT_GT(CompareCells("10a", "9", false, bytes), 0);
    EXPECT_EQ(CompareCells("007", "7", false, bytes), 0);
}

}  // namespace
