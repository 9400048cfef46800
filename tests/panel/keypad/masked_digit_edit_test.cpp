// The masked digit field as the operator uses it: keys typed into the widget.
#include "panel/keypad/masked_digit_edit.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace vr410 {
namespace {

class MaskedField : public testing::Test {
  protected:
    MaskedDigitEdit Field;
    void SetUp() override {
        Field.SetMask(QStringLiteral("00\\.000\\m000\\V;0;0"));
        Field.SetDigits(QStringLiteral("10000000"));
        Field.show();
        Field.setFocus();
    }
};

TEST_F(MaskedField, ShowsTheLayoutWithoutQtsOwnInputMask) {
    EXPECT_EQ(Field.text(), QStringLiteral("10.000m000V"));
    EXPECT_TRUE(Field.inputMask().isEmpty());
    EXPECT_EQ(Field.Digits(), QStringLiteral("10000000"));
}

TEST_F(MaskedField, TypedDigitsOverwriteInPlaceAndSkipTheLiterals) {
    Field.SetCaretIndex(0);
    QTest::keyClicks(&Field, QStringLiteral("0123"));
    EXPECT_EQ(Field.text(), QStringLiteral("01.230m000V"));
    EXPECT_EQ(Field.CaretIndex(), 5);
    QTest::keyClicks(&Field, QStringLiteral("4567"));
    EXPECT_EQ(Field.text(), QStringLiteral("01.234m567V"));
    EXPECT_EQ(Field.Digits(), QStringLiteral("01234567"));
}

TEST_F(MaskedField, TypedZerosAreKept) {
    Field.SetDigits(QStringLiteral("99999999"));
    Field.SetCaretIndex(0);
    QTest::keyClicks(&Field, QStringLiteral("00000000"));
    EXPECT_EQ(Field.Digits(), QStringLiteral("00000000"));
    EXPECT_EQ(Field.text(), QStringLiteral("00.000m000V"));
}

TEST_F(MaskedField, RefusesEverythingButDigits) {
    Field.SetCaretIndex(0);
    QSignalSpy changes(&Field, &MaskedDigitEdit::Changed);
    QTest::keyClicks(&Field, QStringLiteral("a-+ ,."));
    EXPECT_EQ(Field.text(), QStringLiteral("10.000m000V"));
    EXPECT_EQ(changes.size(), 0);
}

TEST_F(MaskedField, BackspaceAndDeleteBlankDigitsShownAsZero) {
    Field.SetDigits(QStringLiteral("12345678"));
    Field.SetCaretIndex(3);
    QTest::keyClick(&Field, Qt::Key_Backspace);
    EXPECT_EQ(Field.text(), QStringLiteral("10.345m678V"));
    EXPECT_EQ(Field.CaretIndex(), 1);
    Field.SetCaretIndex(6);
    QTest::keyClick(&Field, Qt::Key_Delete);
    EXPECT_EQ(Field.text(), QStringLiteral("10.345m078V"));
    EXPECT_EQ(Field.CaretIndex(), 6);
}

TEST_F(MaskedField, ArrowKeysStopOnlyBeforeDigits) {
    Field.SetCaretIndex(1);
    QTest::keyClick(&Field, Qt::Key_Right);
    EXPECT_EQ(Field.CaretIndex(), 3);
    QTest::keyClick(&Field, Qt::Key_Left);
    EXPECT_EQ(Field.CaretIndex(), 1);
    QTest::keyClick(&Field, Qt::Key_End);
    EXPECT_EQ(Field.CaretIndex(), 10);
    QTest::keyClick(&Field, Qt::Key_Home);
    EXPECT_EQ(Field.CaretIndex(), 0);
}

TEST_F(MaskedField, ReportsAChangeOnlyWhenTheDigitsChange) {
    QSignalSpy changes(&Field, &MaskedDigitEdit::Changed);
    QSignalSpy retyped(&Field, &MaskedDigitEdit::Retyped);
    QSignalSpy keys(&Field, &MaskedDigitEdit::KeyDown);
    Field.SetCaretIndex(0);
    QTest::keyClick(&Field, Qt::Key_1); // the same digit as before
    EXPECT_EQ(changes.size(), 0);
    EXPECT_EQ(retyped.size(), 1);
    QTest::keyClick(&Field, Qt::Key_Backspace); // blanks the "1": a change
    ASSERT_EQ(changes.size(), 1);
    EXPECT_TRUE(changes[0][0].toBool());
    QTest::keyClick(&Field, Qt::Key_Delete); // on the blank "0" just made: no change
    Field.SetCaretIndex(0);
    QTest::keyClick(&Field, Qt::Key_Backspace); // nothing before the caret
    EXPECT_EQ(changes.size(), 1);
    EXPECT_EQ(retyped.size(), 1);
    ASSERT_EQ(keys.size(), 4);
    EXPECT_FALSE(keys[0][0].toBool());
    EXPECT_TRUE(keys[1][0].toBool());

    changes.clear();
    Field.SetDigits(Field.Digits());
    EXPECT_EQ(changes.size(), 0);
    Field.SetDigits(QStringLiteral("05000000"));
    ASSERT_EQ(changes.size(), 1);
    EXPECT_FALSE(changes[0][0].toBool());
}

TEST_F(MaskedField, ANewLayoutKeepsTheDigitsAndReportsNothing) {
    QSignalSpy changes(&Field, &MaskedDigitEdit::Changed);
    Field.SetMask(QStringLiteral("0\\.000\\m000\\u0\\V;0;0"));
    EXPECT_EQ(Field.text(), QStringLiteral("1.000m000u0V"));
    EXPECT_EQ(changes.size(), 0);
}

// QLineEdit inserts text itself on paths that bypass the key handling, such as the middle-button
// paste of the X11 selection; the fixed layout must survive them.
TEST_F(MaskedField, TextInsertedAroundTheKeysLeavesTheLayoutAlone) {
    QSignalSpy changes(&Field, &MaskedDigitEdit::Changed);
    Field.SetCaretIndex(3);
    Field.insert(QStringLiteral("abc5"));
    EXPECT_EQ(Field.text(), QStringLiteral("10.000m000V"));
    EXPECT_EQ(Field.Digits(), QStringLiteral("10000000"));
    EXPECT_EQ(changes.size(), 0);
}

TEST_F(MaskedField, FocusDoesNotSelectTheText) {
    Field.clearFocus();
    Field.SetCaretIndex(4);
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&Field, &focus);
    EXPECT_FALSE(Field.hasSelectedText());
}

} // namespace
} // namespace vr410
