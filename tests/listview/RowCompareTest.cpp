#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "listview/RowCompare.h"
#include "listview/TextCollator.h"

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(CellKinds, DigitsAndDates) {
    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_TRUE(IsAllDigits("0123456789"));
    EXPECT_FALSE(IsAllDigits(" 1"));
    EXPECT_FALSE(IsAllDigits("-1"));
    EXPECT_FALSE(IsAllDigits("1a"));
    EXPECT_FALSE(IsAllDigits("\xb2"));  // a superscript two in Latin-1 is no digit
    EXPECT_FALSE(IsAllDigits(std::string("1\0", 2)));

    EXPECT_TRUE(IsSlashDate("05/03/2001"));
    EXPECT_TRUE(IsSlashDate("99/99/0000"));
    EXPECT_FALSE(IsSlashDate("5/3/2001"));
    EXPECT_FALSE(IsSlashDate("05/03/20011"));
    EXPECT_FALSE(IsSlashDate("05-03-2001"));
    EXPECT_FALSE(IsSlashDate("05/0a/2001"));
    EXPECT_FALSE(IsSlashDate("05/03/200 "));

    EXPECT_EQ(KindOf(""), CellKind::Number);
    EXPECT_EQ(KindOf("05/03/2001"), CellKind::Date);
    EXPECT_EQ(KindOf("12abc"), CellKind::Text);
}

TEST(CellKinds, AtoiRuleSaturates) {
    EXPECT_EQ(AtoiValue(""), 0);
    EXPECT_EQ(AtoiValue("abc"), 0);
    EXPECT_EQ(AtoiValue(" \t\n\v\f\r40"), 40);
    EXPECT_EQ(AtoiValue("+7x"), 7);
    EXPECT_EQ(AtoiValue("-12abc"), -12);
    EXPECT_EQ(AtoiValue("- 1"), 0);
    EXPECT_EQ(AtoiValue("+-1"), 0);
    EXPECT_EQ(AtoiValue("007"), 7);
    EXPECT_EQ(AtoiValue("2147483647"), kMax);
    EXPECT_EQ(AtoiValue("2147483648"), kMax);
    EXPECT_EQ(AtoiValue("-2147483648"), kMin);
    EXPECT_EQ(AtoiValue("-2147483649"), kMin);
    EXPECT_EQ(AtoiValue("99999999999999999999999999999999"), kMax);
    EXPECT_EQ(AtoiValue(std::string(1000, '9')), kMax);
    EXPECT_EQ(AtoiValue(std::string("12\0"
                                    "3",
                                    4)),
              12);
}

TEST(CellCompare, NumbersAndDates) {
    EXPECT_LT(CompareAsNumbers("9", "10"), 0);
    EXPECT_GT(CompareAsNumbers("100", "10"), 0);
    EXPECT_EQ(CompareAsNumbers("007", "7"), 0);
    EXPECT_EQ(CompareAsNumbers("12abc", "12"), 0);
    EXPECT_LT(CompareAsNumbers("abc", "1"), 0);
    EXPECT_EQ(CompareAsNumbers("2147483647", "99999999999"), 0);  // both saturate
    EXPECT_LT(CompareAsNumbers("-99999999999", "-2147483647"), 0);

    EXPECT_LT(CompareAsDates("05/03/2001", "04/05/2001"), 0);  // month before day
    EXPECT_GT(CompareAsDates("01/01/2002", "31/12/2001"), 0);  // year first
    EXPECT_LT(CompareAsDates("01/01/2001", "02/01/2001"), 0);
    EXPECT_EQ(CompareAsDates("01/01/2001", "01/01/2001"), 0);
    // The second text need not be a date: parts are cut at its end, an empty part is 0.
    EXPECT_GT(CompareAsDates("01/01/2001", "01/01/20"), 0);
    EXPECT_GT(CompareAsDates("01/01/2001", "01/0"), 0);
    EXPECT_GT(CompareAsDates("01/01/0000", ""), 0);  // day 1 against day 0
    EXPECT_EQ(CompareAsDates("00/00/0000", "ab"), 0);
}

TEST(CellCompare, KindIsDecidedByTheFirstCell) {
    TextCollator bytes("C");
    // '9' is a number, so '10a' is read as 10: 9 before 10a.
    EXPECT_LT(CompareCells("9", "10a", true, bytes), 0);
    // '10a' is text, so '9' compares as text: '1' < '9'.
    EXPECT_LT(CompareCells("10a", "9", true, bytes), 0);
    // An empty cell is the number 0.
    EXPECT_LT(CompareCells("", "5", true, bytes), 0);
    EXPECT_EQ(CompareCells("", "abc", true, bytes), 0);
    // 8-character dates are text.
    EXPECT_GT(CompareCells("5/3/2001", "4/5/2001", true, bytes), 0);
    // Descending compares the other way round, with the kind still from the first cell.
    EXPECT_GT(CompareCells("9", "10a", false, bytes), 0);
    EXPECT_GT(CompareCells("10a", "9", false, bytes), 0);
    EXPECT_EQ(CompareCells("007", "7", false, bytes), 0);
}

}  // namespace
