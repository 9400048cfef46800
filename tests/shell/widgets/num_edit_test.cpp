// TIntEdit: what its text reads as, and which typed characters it lets through.
#include "shell/widgets/num_edit.h"

#include "typing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <string>
#include <vector>

namespace vr410 {
namespace {

TEST(TIntEdit, StartsAsAThirtyThreePixelBoxHoldingZero) {
    TIntEdit edit;
    EXPECT_EQ(edit.text(), QStringLiteral("0"));
    EXPECT_EQ(edit.width(), 33);
    EXPECT_EQ(edit.Value(), 0);
}

TEST(TIntEdit, ReadsItsTextAsAThirtyTwoBitNumberOrZero) {
    const struct {
        const char* Text;
        int64_t Expected;
    } cases[] = {
        {"abc", 0}, {"-5", -5}, {"12345678901", 0},         {"300", 300},
        {"", 0},    {"-", 0},   {"2147483647", 2147483647},
    };
    TIntEdit edit;
    for (const auto& c : cases) {
        edit.setText(QString::fromLatin1(c.Text));
        EXPECT_EQ(edit.Value(), c.Expected) << c.Text;
    }
}

TEST(TIntEdit, PastedTextIsReadTheSameWay) {
    TIntEdit edit;
    edit.clear();
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    edit.paste();
    EXPECT_EQ(edit.text(), QStringLiteral("abc"));
    EXPECT_EQ(edit.Value(), 0);
}

TEST(TIntEdit, WritingTheValueWritesItsDecimalForm) {
    TIntEdit edit;
    edit.SetValue(-300);
    EXPECT_EQ(edit.text(), QStringLiteral("-300"));
}

class TIntEditTyping : public testing::Test {
  protected:
    TIntEditTyping() {
        Edit.SetFacilities(&System);
        Edit.clear();
        Edit.SetOnKeyPress([this](QChar& key) { Seen.push_back(key); });
    }

    RecordingSystemFacilities System;
    TIntEdit Edit;
    std::vector<QChar> Seen; // what the owner's key-press event saw
};

TEST_F(TIntEditTyping, SignsAndDigitsGoThroughToTheOwner) {
    QTest::keyClicks(&Edit, QStringLiteral("-12+"));
    EXPECT_EQ(Edit.text(), QStringLiteral("-12+"));
    EXPECT_EQ(Seen.size(), 4U);
    QTest::keyClick(&Edit, Qt::Key_Backspace);
    EXPECT_EQ(Edit.text(), QStringLiteral("-12"));
    EXPECT_EQ(System.Beeps, 0);
}

TEST_F(TIntEditTyping, OtherCharactersBeepAndChangeNothing) {
    Edit.setText(QStringLiteral("12"));
    for (const char* typed : {"a", "Ж", ".", ",", " ", "*"}) {
        const int beeps = System.Beeps;
        test::TypeText(&Edit, QString::fromUtf8(typed));
        EXPECT_EQ(Edit.text(), QStringLiteral("12")) << typed;
        EXPECT_EQ(System.Beeps, beeps + 1) << typed;
    }
    EXPECT_TRUE(Seen.empty());
}

TEST_F(TIntEditTyping, TheOwnerCanDiscardAKey) {
    Edit.SetOnKeyPress([](QChar& key) {
        if (key == QLatin1Char('-')) {
            key = QChar();
        }
    });
    QTest::keyClicks(&Edit, QStringLiteral("-7"));
    EXPECT_EQ(Edit.text(), QStringLiteral("7"));
}

TEST_F(TIntEditTyping, EscapeIsLeftToTheWindowWithoutASound) {
    Edit.setText(QStringLiteral("5"));
    QTest::keyClick(&Edit, Qt::Key_Escape);
    EXPECT_EQ(Edit.text(), QStringLiteral("5"));
    EXPECT_EQ(System.Beeps, 0);
}

} // namespace
} // namespace vr410
