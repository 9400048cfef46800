// The fixed-position digit layout of the masked field.
#include "panel/keypad/edit_mask.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

TEST(EditMask, ShowsTheDigitsBetweenTheLiterals) {
    EditMask field(QStringLiteral("00\\.000\\m000\\V;0;0"));
    EXPECT_EQ(field.Text(), QStringLiteral("00.000m000V"));
    EXPECT_EQ(field.DigitCount(), 8);
    field.SetDigits(QStringLiteral("10000000"));
    EXPECT_EQ(field.Text(), QStringLiteral("10.000m000V"));
    EXPECT_EQ(field.Digits(), QStringLiteral("10000000"));
}

TEST(EditMask, OptionalDigitsAndOtherLiterals) {
    // "9" is a digit position too; unescaped characters other than 0 and 9 are literals.
    EditMask field(QStringLiteral("9\\.999\\_000\\_0V;0;0"));
    field.SetDigits(QStringLiteral("01234567"));
    EXPECT_EQ(field.Text(), QStringLiteral("0.123_456_7V"));
    EXPECT_EQ(field.Digits(), QStringLiteral("01234567"));
}

TEST(EditMask, ShortOrForeignTextLeavesBlanksShownAsZero) {
    EditMask field(QStringLiteral("0\\.000000\\V;0;0"));
    field.SetDigits(QStringLiteral("12x"));
    EXPECT_EQ(field.Text(), QStringLiteral("1.200000V"));
    field.SetDigits(QString());
    EXPECT_EQ(field.Digits(), QStringLiteral("0000000"));
}

TEST(EditMask, NewLayoutKeepsTheDigitsInOrder) {
    EditMask field(QStringLiteral("0\\.000000\\V;0;0"));
    field.SetDigits(QStringLiteral("1234567"));
    field.SetMask(QStringLiteral("00\\.000000\\V;0;0"));
    EXPECT_EQ(field.Text(), QStringLiteral("12.345670V"));
}

TEST(EditMask, TypingOverwritesInPlaceAndSkipsLiterals) {
    EditMask field(QStringLiteral("00\\.000\\m000\\V;0;0"));
    EXPECT_EQ(field.TypeDigit(0, u'1'), 1);
    EXPECT_EQ(field.TypeDigit(1, u'2'), 2);
    EXPECT_EQ(field.TypeDigit(2, u'3'), 4); // the caret stood on "."
    EXPECT_EQ(field.Text(), QStringLiteral("12.300m000V"));
    EXPECT_EQ(field.TypeDigit(10, u'4'), -1); // only the unit follows
    EXPECT_EQ(field.TypeDigit(0, u'x'), -1);
    EXPECT_EQ(field.Text(), QStringLiteral("12.300m000V"));
}

TEST(EditMask, BackspaceAndDeleteBlankADigit) {
    EditMask field(QStringLiteral("00\\.000\\m000\\V;0;0"));
    field.SetDigits(QStringLiteral("12345678"));
    EXPECT_EQ(field.Backspace(3), 1); // over the "." onto the 2
    EXPECT_EQ(field.Text(), QStringLiteral("10.345m678V"));
    EXPECT_EQ(field.Delete(6), 6); // the "m" is skipped, the 6 blanked
    EXPECT_EQ(field.Text(), QStringLiteral("10.345m078V"));
    EXPECT_EQ(field.Backspace(0), 0);
}

TEST(EditMask, CaretStopsAreTheDigitsAndTheEndOfTheLastOne) {
    EditMask field(QStringLiteral("00\\.000\\m000\\V;0;0"));
    EXPECT_EQ(field.FirstStop(), 0);
    EXPECT_EQ(field.LastStop(), 10);
    EXPECT_EQ(field.NextStop(1), 3);
    EXPECT_EQ(field.NextStop(9), 10);
    EXPECT_EQ(field.NextStop(10), 10);
    EXPECT_EQ(field.PreviousStop(3), 1);
    EXPECT_EQ(field.PreviousStop(11), 10);
    EXPECT_EQ(field.PreviousStop(0), 0);
}

} // namespace
} // namespace vr410
