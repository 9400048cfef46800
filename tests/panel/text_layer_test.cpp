// The text layer: where PrintText places the cells of a row, what CLRDisp puts back, and the
// zero-padded digits.
#include "panel/display_texts.h"
#include "panel/text_layer.h"

#include "row_name.h"

#include <gtest/gtest.h>

#include <string>

namespace vr410 {
namespace {

using test::PrintTo;

class TextLayer : public testing::Test {
  protected:
    void SetUp() override {
        Display.CLRDisp(1);
        Display.CLRDisp(2);
    }
    int Left(int row, int column) const { return Display.Cell(row, column)->Left(); }
    bool Visible(int row, int column) const { return !Display.Cell(row, column)->isHidden(); }

    Panel4 Display;
};

TEST_F(TextLayer, PanelIsTheDesignSizeWithNamedCells) {
    EXPECT_EQ(Display.size(), QSize(601, 107));
    EXPECT_EQ(Display.findChild<TLCDScreen*>(QStringLiteral("LCD101")), Display.Cell(1, 1));
    EXPECT_EQ(Display.findChild<TLCDScreen*>(QStringLiteral("LCD107")), Display.Cell(1, 7));
    EXPECT_EQ(Display.findChild<TLCDScreen*>(QStringLiteral("LCD223")), Display.Cell(2, 23));
    EXPECT_EQ(Display.Cell(3, 1), nullptr);
    EXPECT_EQ(Display.Cell(1, 24), nullptr);
}

TEST_F(TextLayer, ClearingARowHidesItAtItsDesignPlacesAndLeavesTheOtherRow) {
    Display.PrintText(1, 1, 4, "abc");
    Display.PrintText(1, 2, 9, "12345678");
    Display.CLRDisp(2);
    for (int column = 1; column <= 23; ++column) {
        EXPECT_FALSE(Visible(2, column)) << column;
        EXPECT_EQ(Left(2, column), (column - 1) * 26 + 1) << column;
        EXPECT_EQ(Display.Cell(2, column)->y(), 56);
        EXPECT_EQ(Display.Cell(2, column)->height(), 50);
    }
    EXPECT_EQ(Display.RowText(1).substr(0, 3), "abc");
    EXPECT_EQ(Display.Cell(1, 1)->y(), 1);
}

TEST_F(TextLayer, NarrowPromptTakesTwentySixPixelsAPosition) {
    Display.PrintText(1, 1, 4, "Введите Uвых");
    for (int column = 1; column <= 12; ++column) {
        EXPECT_TRUE(Visible(1, column));
        EXPECT_EQ(Left(1, column), 1 + (column - 1) * 26);
        EXPECT_EQ(Display.Cell(1, column)->width(), 26);
    }
    EXPECT_EQ(Left(1, 12), 287);
    for (int column = 13; column <= 23; ++column) {
        EXPECT_FALSE(Visible(1, column));
    }
    EXPECT_EQ(Display.RowText(1), "Введите Uвых           ");
}

TEST_F(TextLayer, WideDigitsFollowTheSignEveryFiftyOnePixels) {
    Display.PrintText(1, 2, 4, "+");
    Display.PrintText(2, 2, 9, "12345678");
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(Left(2, 2 + k), 27 + 51 * k);
    }
}

TEST_F(TextLayer, NarrowCharacterAfterAWideDigitStartsAtItsRightEdge) {
    Display.PrintText(1, 2, 9, "1");
    Display.PrintText(2, 2, 4, "V");
    EXPECT_EQ(Left(2, 2), 52);
}

struct HiddenNeighbourCase {
    const char* Name;
    int DotWidthOfPosition13;
    int LeftOfPosition14;
};

class HiddenNeighbour : public TextLayer,
                        public testing::WithParamInterface<HiddenNeighbourCase> {};

TEST_P(HiddenNeighbour, CountsWithItsDesignPlaceAndLastWidth) {
    Display.PrintText(13, 1, GetParam().DotWidthOfPosition13, "8");
    Display.CLRDisp(1);
    Display.PrintText(14, 1, 4, "F");
    EXPECT_EQ(Left(1, 14), GetParam().LeftOfPosition14);
}

INSTANTIATE_TEST_SUITE_P(TextLayer, HiddenNeighbour,
                         testing::Values(HiddenNeighbourCase{"LastDrawnNarrow", 4, 339},
                                         HiddenNeighbourCase{"LastDrawnWide", 9, 364}),
                         test::RowName());

TEST_F(TextLayer, ReprintingTheSameCharacterKeepsThePictureAndShowsTheCell) {
    Display.PrintText(5, 1, 9, "7");
    const QImage before = Display.Cell(1, 5)->Picture();
    Display.CLRDisp(1);
    Display.PrintText(5, 1, 9, "7");
    EXPECT_TRUE(Visible(1, 5));
    EXPECT_EQ(Display.Cell(1, 5)->Picture(), before);
}

TEST_F(TextLayer, CharactersPastColumn23AreDropped) {
    Display.PrintText(21, 1, 4, "abcdef");
    EXPECT_EQ(Display.RowText(1), "                    abc");
    Display.PrintText(0, 2, 4, "xy");
    EXPECT_EQ(Display.RowText(2), "y                      ");
}

TEST_F(TextLayer, RowsOtherThanOneAndTwoAreIgnored) {
    Display.PrintText(1, 3, 4, "abc");
    Display.CLRDisp(0);
    EXPECT_EQ(Display.RowText(1), std::string(23, ' '));
    EXPECT_EQ(Display.RowText(2), std::string(23, ' '));
    EXPECT_EQ(Display.RowText(3), "");
}

TEST_F(TextLayer, EmptyTextDoesNothing) {
    Display.PrintText(1, 1, 9, "");
    EXPECT_FALSE(Visible(1, 1));
    EXPECT_EQ(Display.Cell(1, 1)->PixelWidth(), 4);
}

struct PaddedCase {
    const char* Name;
    int32_t Value;
    int32_t Width;
    const char* Digits;
};

class ZeroPadded : public testing::TestWithParam<PaddedCase> {};

TEST_P(ZeroPadded, GivesAtLeastWidthDigits) {
    EXPECT_EQ(ZeroPaddedDigits(GetParam().Value, GetParam().Width), GetParam().Digits);
}

INSTANTIATE_TEST_SUITE_P(TextLayer, ZeroPadded,
                         testing::Values(PaddedCase{"PadsToWidth", 5, 3, "005"},
                                         PaddedCase{"KeepsLongerValues", 1234, 2, "1234"},
                                         PaddedCase{"ZeroWidthStillOneDigit", 0, 0, "0"},
                                         PaddedCase{"NegativeWidth", 42, -3, "42"},
                                         PaddedCase{"MeasuredValueWidth", 7, 10, "0000000007"},
                                         PaddedCase{"LargestValue", 2147483647, 10, "2147483647"},
                                         PaddedCase{"NegativeKeepsItsSign", -12, 4, "-0012"},
                                         PaddedCase{"MostNegative", -2147483647 - 1, 1,
                                                    "-2147483648"}),
                         test::RowName());

} // namespace
} // namespace vr410
