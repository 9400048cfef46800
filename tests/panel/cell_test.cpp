// The dot-matrix cell: its size, the pixels of its glyphs, the comparing setters and the
// refusals of out-of-range values.
#include "dot_pictures.h"
#include "panel/lcd_screen.h"

#include "row_name.h"

#include <gtest/gtest.h>

#include <QPixmap>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vr410 {
namespace {

using test::PrintTo;

using test::ExpectedCell;
using test::Shown;

// A cell set up as the panel sets up its cells, then given its run-time dot size.
std::unique_ptr<TLCDScreen> PanelCell(int dotWidth, int dotHeight) {
    auto cell = std::make_unique<TLCDScreen>();
    cell->SetNoOfChars(1);
    cell->SetDotMatrix(TDotMatrix::Rus5x7);
    cell->SetPixelSize(TPixelSize::pixCustom);
    cell->SetPixelWidth(dotWidth);
    cell->SetPixelHeight(dotHeight);
    cell->SetBorderSpace(0);
    cell->SetBorderStyle(TLCDBorder::bsNone);
    cell->SetColor(Qt::black);
    cell->SetPixelOn(QColor(0, 128, 0));
    cell->SetPixelOff(Qt::black);
    return cell;
}

QImage OnScreen(TLCDScreen& cell) {
    return Shown(cell.grab().toImage(), cell.width(), cell.height());
}

struct CellSizeCase {
    const char* Name;
    int DotWidth;
    int DotHeight;
    int Width;
    int Height;
};

class CellSize : public testing::TestWithParam<CellSizeCase> {};

TEST_P(CellSize, IsFiveDotsWidePlusSixBySevenHighPlusEight) {
    const CellSizeCase& c = GetParam();
    auto cell = PanelCell(c.DotWidth, c.DotHeight);
    EXPECT_EQ(cell->width(), c.Width);
    EXPECT_EQ(cell->height(), c.Height);
}

INSTANTIATE_TEST_SUITE_P(
    Cell, CellSize,
    testing::Values(
        CellSizeCase{
            .Name = "DesignTime", .DotWidth = 4, .DotHeight = 2, .Width = 26, .Height = 22},
        CellSizeCase{
            .Name = "NarrowRunTime", .DotWidth = 4, .DotHeight = 6, .Width = 26, .Height = 50},
        CellSizeCase{
            .Name = "WideRunTime", .DotWidth = 9, .DotHeight = 6, .Width = 51, .Height = 50}),
    test::RowName());

TEST(Cell, WidthFollowsTheDotWidthWithinTheSameCall) {
    auto cell = PanelCell(4, 6);
    ASSERT_EQ(cell->width(), 26);
    cell->SetPixelWidth(9);
    EXPECT_EQ(cell->width(), 51);
    EXPECT_EQ(cell->Picture().width(), 51 + 2);
}

struct GlyphPixelsCase {
    const char* Name;
    const char* Text;
    const char* Dots; // the glyph as drawn for the instrument, rows top down
};

class GlyphPixels : public testing::TestWithParam<GlyphPixelsCase> {};

TEST_P(GlyphPixels, LightExactlyTheDotsOfTheGlyphNarrowAndWide) {
    const GlyphPixelsCase& c = GetParam();
    for (int dotWidth : {4, 9}) {
        SCOPED_TRACE(dotWidth);
        auto cell = PanelCell(dotWidth, 6);
        cell->SetLines({QString::fromUtf8(c.Text)});
        const QImage expected = ExpectedCell(c.Dots, dotWidth, 6);
        EXPECT_EQ(Shown(cell->Picture(), cell->width(), cell->height()), expected);
        EXPECT_EQ(OnScreen(*cell), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cell, GlyphPixels,
    testing::Values(
        GlyphPixelsCase{"ZeroWithStroke", "0", ".###./#...#/#..##/#.#.#/##..#/#...#/.###."},
        GlyphPixelsCase{"SmallPerCentAt0xBB", "»", "...../...../#...#/#..#./..#../.#..#/#...#"},
        GlyphPixelsCase{"SmallDeltaAt0xBC", "ј", ".###./#..../.###./#...#/#...#/#...#/.###."},
        GlyphPixelsCase{"CapitalDeltaAt0xBD", "Ѕ", "...../...../..#../.#.#./.#.#./#...#/#####"},
        GlyphPixelsCase{"BoxAt0xBE", "ѕ", "...../#####/#...#/#...#/#...#/#####/....."},
        GlyphPixelsCase{"SmallBoxAt0xBF", "ї", "...../...../.###./.#.#./.###./...../....."},
        GlyphPixelsCase{"YoShowsBlank", "Ё", "...../...../...../...../...../...../....."},
        GlyphPixelsCase{"SmallYoShowsBlank", "ё", "...../...../...../...../...../...../....."},
        GlyphPixelsCase{"Blank", " ", "...../...../...../...../...../...../....."},
        GlyphPixelsCase{"EmptyLine", "", "...../...../...../...../...../...../....."}),
    test::RowName());

TEST(Cell, CharacterOutsideTheCodePageShowsTheQuestionMark) {
    auto foreign = PanelCell(4, 6);
    foreign->SetLines({QStringLiteral("中")});
    auto question = PanelCell(4, 6);
    question->SetLines({QStringLiteral("?")});
    EXPECT_EQ(foreign->DisplayCode(0, 0), '?');
    EXPECT_EQ(foreign->Picture(), question->Picture());
}

TEST(Cell, PositionsPastTheTextShowOnlyTheTemplate) {
    TLCDScreen display; // three characters, grey unlit dots on silver, so the template shows
    display.SetDotMatrix(TDotMatrix::Rus5x7);
    display.SetNoOfChars(3);
    display.SetLines({QStringLiteral("A")});
    const int charw = display.VirginMatrix().width();
    const int charh = display.VirginMatrix().height();
    for (int position : {1, 2}) {
        const int x = display.BorderSpace() + 1 + position * (charw + display.CharSpacing() + 1);
        const int y = display.BorderSpace() + 1;
        EXPECT_EQ(display.Picture().copy(x, y, charw, charh), display.VirginMatrix()) << position;
        EXPECT_EQ(display.DisplayCode(0, position), ' ');
    }
    EXPECT_EQ(display.DisplayCode(0, 0), 'A');
}

TEST(Cell, TextLongerThanTheCellShowsItsFirstCharacters) {
    auto cell = PanelCell(4, 6);
    cell->SetLines({QStringLiteral("0ABC")});
    EXPECT_EQ(cell->width(), 26);
    EXPECT_EQ(Shown(cell->Picture(), 26, 50),
              ExpectedCell(".###./#...#/#..##/#.#.#/##..#/#...#/.###.", 4, 6));
}

// A setter called with the value the property already has.
struct SameValueCase {
    const char* Name;
    std::function<void(TLCDScreen&)> SetAgain;
};

class SameValue : public testing::TestWithParam<SameValueCase> {};

TEST_P(SameValue, NeitherRebuildsNorRepaints) {
    auto cell = PanelCell(4, 6);
    cell->SetLines({QStringLiteral("5")});
    const int builds = cell->TemplateBuilds();
    const int repaints = cell->Repaints();
    GetParam().SetAgain(*cell);
    EXPECT_EQ(cell->TemplateBuilds(), builds);
    EXPECT_EQ(cell->Repaints(), repaints);
}

INSTANTIATE_TEST_SUITE_P(
    Cell, SameValue,
    testing::Values(
        SameValueCase{"DotMatrix", [](TLCDScreen& c) { c.SetDotMatrix(TDotMatrix::Rus5x7); }},
        SameValueCase{"PixelSize", [](TLCDScreen& c) { c.SetPixelSize(TPixelSize::pixCustom); }},
        SameValueCase{"PixelShape", [](TLCDScreen& c) { c.SetPixelShape(TPixelShape::psSquare); }},
        SameValueCase{"PixelWidth", [](TLCDScreen& c) { c.SetPixelWidth(4); }},
        SameValueCase{"PixelHeight", [](TLCDScreen& c) { c.SetPixelHeight(6); }},
        SameValueCase{"PixelSpacing", [](TLCDScreen& c) { c.SetPixelSpacing(1); }},
        SameValueCase{"CharSpacing", [](TLCDScreen& c) { c.SetCharSpacing(1); }},
        SameValueCase{"LineSpacing", [](TLCDScreen& c) { c.SetLineSpacing(1); }},
        SameValueCase{"BorderSpace", [](TLCDScreen& c) { c.SetBorderSpace(0); }},
        SameValueCase{"NoOfLines", [](TLCDScreen& c) { c.SetNoOfLines(1); }},
        SameValueCase{"NoOfChars", [](TLCDScreen& c) { c.SetNoOfChars(1); }},
        SameValueCase{"BorderStyle", [](TLCDScreen& c) { c.SetBorderStyle(TLCDBorder::bsNone); }},
        SameValueCase{"BorderColor", [](TLCDScreen& c) { c.SetBorderColor(Qt::black); }},
        SameValueCase{"Color", [](TLCDScreen& c) { c.SetColor(Qt::black); }},
        SameValueCase{"PixelOn", [](TLCDScreen& c) { c.SetPixelOn(QColor(0, 128, 0)); }},
        SameValueCase{"PixelOff", [](TLCDScreen& c) { c.SetPixelOff(Qt::black); }}),
    test::RowName());

TEST(Cell, AssigningLinesAlwaysRepaints) {
    auto cell = PanelCell(4, 6);
    cell->SetLines({QStringLiteral("5")});
    const int repaints = cell->Repaints();
    cell->SetLines({QStringLiteral("5")});
    EXPECT_EQ(cell->Repaints(), repaints + 1);
}

TEST(Cell, ChangedDotWidthRebuildsTheTemplateOnce) {
    auto cell = PanelCell(4, 6);
    const int builds = cell->TemplateBuilds();
    cell->SetPixelWidth(9);
    EXPECT_EQ(cell->TemplateBuilds(), builds + 1);
    EXPECT_EQ(cell->VirginMatrix().width(), 5 * 9 + 4);
}

TEST(Cell, DotSizeIsIgnoredUnlessTheSizeIsCustom) {
    TLCDScreen cell; // PixelSize pix2x2
    const int width = cell.width();
    const int builds = cell.TemplateBuilds();
    const int repaints = cell.Repaints();
    std::vector<QString> refusals;
    cell.SetRefusalHandler([&](const QString& text) { refusals.push_back(text); });
    cell.SetPixelWidth(7);
    cell.SetPixelHeight(7);
    cell.SetPixelWidth(0); // not even refused
    EXPECT_EQ(cell.PixelWidth(), 2);
    EXPECT_EQ(cell.PixelHeight(), 2);
    EXPECT_EQ(cell.width(), width);
    EXPECT_EQ(cell.TemplateBuilds(), builds);
    EXPECT_EQ(cell.Repaints(), repaints);
    EXPECT_TRUE(refusals.empty());
}

TEST(Cell, PresetSizeSetsBothDotSizes) {
    TLCDScreen cell;
    cell.SetPixelSize(TPixelSize::pix5x5);
    EXPECT_EQ(cell.PixelWidth(), 5);
    EXPECT_EQ(cell.PixelHeight(), 5);
}

struct RefusalCase {
    const char* Name;
    std::function<void(TLCDScreen&)> SetBad;
    std::function<int(const TLCDScreen&)> Read;
    const char* Text;
};

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, KeepsTheValueAndShowsItsText) {
    const RefusalCase& c = GetParam();
    auto cell = PanelCell(4, 6);
    std::vector<QString> shown;
    cell->SetRefusalHandler([&](const QString& text) { shown.push_back(text); });
    const int before = c.Read(*cell);
    const int repaints = cell->Repaints();
    c.SetBad(*cell);
    EXPECT_EQ(c.Read(*cell), before);
    EXPECT_EQ(cell->Repaints(), repaints);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown.front().toStdString(), c.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Cell, Refusal,
    testing::Values(RefusalCase{"PixelSpacing", [](TLCDScreen& c) { c.SetPixelSpacing(-1); },
                                [](const TLCDScreen& c) { return c.PixelSpacing(); },
                                "Pixel spacing can't be less than zero!"},
                    RefusalCase{"CharSpacing", [](TLCDScreen& c) { c.SetCharSpacing(-1); },
                                [](const TLCDScreen& c) { return c.CharSpacing(); },
                                "Character spacing can't be less than zero!"},
                    RefusalCase{"LineSpacing", [](TLCDScreen& c) { c.SetLineSpacing(-2); },
                                [](const TLCDScreen& c) { return c.LineSpacing(); },
                                "Line spacing can't be less than zero!"},
                    RefusalCase{"BorderSpace", [](TLCDScreen& c) { c.SetBorderSpace(-1); },
                                [](const TLCDScreen& c) { return c.BorderSpace(); },
                                "Border spacing can't be less than zero!"},
                    RefusalCase{"NoOfLines", [](TLCDScreen& c) { c.SetNoOfLines(0); },
                                [](const TLCDScreen& c) { return c.NoOfLines(); },
                                "Display needs at least one line!"},
                    RefusalCase{"NoOfChars", [](TLCDScreen& c) { c.SetNoOfChars(0); },
                                [](const TLCDScreen& c) { return c.NoOfChars(); },
                                "Display needs at least one character!"},
                    RefusalCase{"PixelWidth", [](TLCDScreen& c) { c.SetPixelWidth(0); },
                                [](const TLCDScreen& c) { return c.PixelWidth(); },
                                "Display pixel width must be 1 or greater!"},
                    RefusalCase{"PixelHeight", [](TLCDScreen& c) { c.SetPixelHeight(-3); },
                                [](const TLCDScreen& c) { return c.PixelHeight(); },
                                "Display pixel height must be 1 or greate!"}),
    test::RowName());

TEST(Cell, DefaultsAfterConstruction) {
    TLCDScreen cell;
    EXPECT_EQ(cell.NoOfLines(), 1);
    EXPECT_EQ(cell.NoOfChars(), 10);
    EXPECT_EQ(cell.DotMatrix(), TDotMatrix::mat5x7);
    EXPECT_EQ(cell.PixelSize(), TPixelSize::pix2x2);
    EXPECT_EQ(cell.PixelShape(), TPixelShape::psSquare);
    EXPECT_EQ(cell.PixelSpacing(), 1);
    EXPECT_EQ(cell.CharSpacing(), 1);
    EXPECT_EQ(cell.LineSpacing(), 1);
    EXPECT_EQ(cell.BorderSpace(), 3);
    EXPECT_EQ(cell.BorderStyle(), TLCDBorder::bsLowered);
    EXPECT_EQ(cell.Color(), QColor(192, 192, 192));
    EXPECT_EQ(cell.PixelOn(), QColor(0, 0, 0));
    EXPECT_EQ(cell.PixelOff(), QColor(170, 170, 170));
    EXPECT_FALSE(cell.ScrollActive());
    EXPECT_EQ(cell.ScrollSpeed(), 250);
    // Ten glyphs of 5 x 7 dots of 2 x 2 pixels, one pixel apart: 14 x 20 each, two pixels
    // between glyphs, three of border space and one of frame on each side.
    EXPECT_EQ(cell.width(), 10 * 14 + 9 * 2 + 2 * 3 + 2);
    EXPECT_EQ(cell.height(), 20 + 2 * 3 + 2);
}

TEST(Cell, DisabledCellShowsBackgroundOnly) {
    auto cell = PanelCell(4, 6);
    cell->SetLines({QStringLiteral("8")});
    cell->setEnabled(false);
    EXPECT_EQ(Shown(cell->Picture(), 26, 50),
              ExpectedCell("...../...../...../...../...../...../.....", 4, 6));
}

TEST(Cell, ResizeFromOutsideRefitsTheCharacterCount) {
    TLCDScreen display;
    display.SetBorderStyle(TLCDBorder::bsNone);
    // Glyphs are 14 wide and 16 apart; 60 pixels hold three of them, which need only 54.
    display.resize(60, display.height());
    display.SetLines({QStringLiteral("ABC")});
    EXPECT_EQ(display.NoOfChars(), 3);
    EXPECT_EQ(display.width(), 3 * 14 + 2 * 2 + 2 * 3 + 2);
}

} // namespace
} // namespace vr410
