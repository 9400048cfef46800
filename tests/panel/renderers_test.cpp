// The mode screens and readings, read back as the 23 characters each row shows.
#include "panel/renderers.h"
#include "panel/text_layer.h"
#include "platform/text_encoding.h"

#include "row_name.h"

#include <gtest/gtest.h>

#include <string>

namespace vr410 {
namespace {

using test::PrintTo;

// A row text of up to 23 characters, filled with blanks to 23.
std::string Row(const std::string& shown) {
    return shown + std::string(23 - DecodeUtf8(shown).size(), ' ');
}

class Renderers : public testing::Test {
  protected:
    void SetUp() override { DrawStartupDisplay(Display); }

    std::string Row1() const { return Display.RowText(1); }
    std::string Row2() const { return Display.RowText(2); }

    // Each visible cell of a row from column 2 to last starts where its left neighbour ends.
    void ExpectSideBySide(int row, int last) const {
        for (int column = 2; column <= last; ++column) {
            const TLCDScreen* before = Display.Cell(row, column - 1);
            const TLCDScreen* cell = Display.Cell(row, column);
            ASSERT_FALSE(cell->isHidden()) << column;
            EXPECT_EQ(cell->Left(), before->Left() + before->width()) << column;
        }
    }

    InstrumentState State;
    Panel4 Display;
    RecordedControls Controls;
    PanelRenderer Renderer{State, Display, Controls};
};

TEST_F(Renderers, StartUpShowsOnlyTheBoxAtColumn23OfRow2) {
    EXPECT_EQ(Row1(), std::string(23, ' '));
    EXPECT_EQ(Row2(), std::string(22, ' ') + "ѕ");
}

TEST_F(Renderers, OutputEntryAsksForTheVoltageWithTheDisplayOnMark) {
    State.ViewMode = 2;
    Renderer.PrintMode("1000");
    EXPECT_EQ(Row1(), "Введите Uвых         Э ");
    EXPECT_EQ(Row2(), Row("+00.000m000V"));
    EXPECT_EQ(Renderer.OutputEditMask(), "00\\.000\\m000\\V;0;0");
    EXPECT_EQ(Controls.FieldMask(), "00\\.000\\m000\\V;0;0");
    EXPECT_EQ(Controls.FieldText(), "00000000");
    EXPECT_TRUE(Controls.IsLatched(PanelKey::SB_Reset));
    EXPECT_TRUE(Controls.IsLatched(PanelKey::SB_Polar));
    EXPECT_TRUE(Controls.IsLatched(PanelKey::SB_U));
}

TEST_F(Renderers, OutputEntryOnACurrentRangeWithItsIndicators) {
    State.RangeIndex = 13; // 1A DC, shown sign "-"
    State.CoefCalibr = 1;
    State.OkCalibr = 1;
    State.ScreenOn = 0;
    Renderer.PrintMode("1000");
    EXPECT_EQ(Row1(), "Введите Iвых   K  Ок   ");
    EXPECT_EQ(Row2().substr(0, 1), "-");
    EXPECT_TRUE(Controls.IsLatched(PanelKey::SB_I));
}

TEST_F(Renderers, OutputEntryOnAnAcRangeShowsTheFrequencyAndMovesTheMark) {
    State.RangeIndex = 22; // 10V AC
    State.OutputDigits = "0010000";
    State.ViewMode = 2;
    Renderer.PrintMode("400");
    EXPECT_EQ(Row1(), "Введите Uвых F=400Гц   ");
    EXPECT_EQ(Row2(), "~00.100m00V          Э ");
    EXPECT_TRUE(Controls.IsLatched(PanelKey::SB_Sin));
}

TEST_F(Renderers, OutputOnAcOneVoltShowsValueFrequencyAndMarkInRowOne) {
    State.Mode = PanelMode::OutputOn;
    State.RangeIndex = 21; // 1V AC
    State.OutputDigits = "1000000";
    State.ViewMode = 2;
    Controls.LatchKey(PanelKey::SB_Enter);
    Renderer.PrintMode("50");
    EXPECT_EQ(Row1(), "~1.000m000V          Э ");
    EXPECT_EQ(Row2(), "Uвых(1V)     F=50Гц    ");
    EXPECT_TRUE(Controls.IsLatched(PanelKey::SB_Sin));
    EXPECT_TRUE(Controls.IsLatched(PanelKey::SB_Enter)); // output on leaves the mode keys alone
    EXPECT_EQ(Controls.FieldText(), "1000000");
}

TEST_F(Renderers, OutputOnDcShowsTheRangeLabelAndTheMarkInRowTwo) {
    State.Mode = PanelMode::OutputOn;
    State.RangeIndex = 0; // 100mV
    State.ViewMode = 2;
    State.OkCalibr = 1;
    Renderer.PrintMode("1000");
    EXPECT_EQ(Row1(), Row("+000.000u00mV"));
    EXPECT_EQ(Row2(), "Uвых(100mV)       Ок Э ");
}

struct MeasurementCase {
    const char* Name;
    uint8_t Input;
    uint8_t Delta;
    uint8_t Percent;
    uint8_t Auto;
    uint8_t Range;
    const char* Row2;
};

class MeasurementScreen : public Renderers, public testing::WithParamInterface<MeasurementCase> {};

TEST_P(MeasurementScreen, ShowsInputAndRangeInRowTwoAndLeavesRowOneEmpty) {
    const MeasurementCase& c = GetParam();
    State.Mode = PanelMode::Measurement;
    State.VoltmeterInput = c.Input;
    State.VoltmeterDelta = c.Delta;
    State.VoltmeterPercent = c.Percent;
    State.VoltmeterAuto = c.Auto;
    State.VoltmeterRange = c.Range;
    Controls.SetOutputField("untouched", "untouched");
    Renderer.PrintMode("1000");
    EXPECT_EQ(Row1(), std::string(23, ' '));
    EXPECT_EQ(Row2(), c.Row2);
    if (c.Delta != 0) {
        EXPECT_EQ(State.VoltmeterAuto, 0);
    }
    EXPECT_EQ(Controls.FieldText(), "untouched");
}

INSTANTIATE_TEST_SUITE_P(
    Renderers, MeasurementScreen,
    testing::Values(
        MeasurementCase{"SecondInputAutomatic", 1, 0, 0, 1, 0, "Uвх2(Авто)           Э "},
        MeasurementCase{"FirstInputOnTenVolts", 0, 0, 0, 0, 2, "Uвх1(10V)            Э "},
        MeasurementCase{"DeltaInPerCent", 0, 1, 1, 1, 0, "јUвх(100mV)          Э "},
        MeasurementCase{"DeltaAbsolute", 1, 1, 0, 1, 4, "ЅUвх(1000V)          Э "}),
    test::RowName());

TEST_F(Renderers, MeasurementShowsZeroAndCalibrationOfTheSelectedInput) {
    State.Mode = PanelMode::Measurement;
    State.VoltmeterInput = 1;
    State.OkInput1 = 0;
    State.OkInput2 = 1;
    State.CoefComp = 1;
    State.ScreenOn = 0;
    Renderer.PrintMode("1000");
    EXPECT_EQ(Row2(), "Uвх2(Авто)     K  Ок   ");
    State.VoltmeterInput = 0;
    Renderer.PrintMode("1000");
    EXPECT_EQ(Row2(), "Uвх1(Авто)     K       ");
}

struct ValueCase {
    const char* Name;
    uint8_t RangeIndex;
    uint8_t ViewMode;
    uint8_t Blanking;
    const char* Digits;
    const char* Shown;
    const char* Mask;
};

class OutputValue : public Renderers, public testing::WithParamInterface<ValueCase> {};

TEST_P(OutputValue, ShowsDigitsSeparatorsAndUnitAndBuildsTheMask) {
    const ValueCase& c = GetParam();
    State.RangeIndex = c.RangeIndex;
    State.ViewMode = c.ViewMode;
    State.Blanking = c.Blanking;
    State.OutputDigits = c.Digits;
    Renderer.VoltPrint(2);
    const std::string shown = c.Shown;
    EXPECT_EQ(Row2().substr(0, shown.size()), shown);
    EXPECT_EQ(Renderer.OutputEditMask(), c.Mask);
}

INSTANTIATE_TEST_SUITE_P(
    Renderers, OutputValue,
    testing::Values(
        // clang-format off
        //        Name                     Row VM Bl Digits       Shown             Mask
        ValueCase{"TenVoltsLetters",        2, 2, 0, "10000000", "+10.000m000V",   "00\\.000\\m000\\V;0;0"},
        ValueCase{"OneVoltLetters",         1, 2, 0, "10000000", "+1.000m000u0V",  "0\\.000\\m000\\u0\\V;0;0"},
        ValueCase{"HundredMillivolts",      0, 2, 0, "10000000", "+100.000u00mV",  "000\\.000\\u00\\m\\V;0;0"},
        ValueCase{"OneVoltBlanks",          1, 1, 0, "10000000", "+1.000 000 0V",  "0\\.000\\_000\\_0\\V;0;0"},
        ValueCase{"TenVoltsNoSeparators",   2, 0, 0, "10000000", "+10.000000V",    "00\\.000000\\V;0;0"},
        ValueCase{"BlankingFirstPlaces",    2, 2, 1, "10000000", "+10.000m000V",   "99\\.900\\m000\\V;0;0"},
        ValueCase{"ThousandVolts",          4, 2, 0, "10000000", "-1000.000m0V",   "0000\\.000\\m0\\V;0;0"},
        ValueCase{"OneMilliampere",        10, 2, 0, "10000000", "-1.000u000n0mA", "0\\.000\\u000\\n0\\m\\A;0;0"},
        ValueCase{"AcSevenDigits",         22, 2, 0, "0010000",  "~00.100m00V",    "00\\.000\\m00\\V;0;0"},
        ValueCase{"AcSeventHundredSixDigits", 24, 2, 0, "700000", "~700.000m0V",  "000\\.000\\m0\\V;0;0"},
        ValueCase{"HundredVolts",           3, 2, 0, "10000000", "-100.000m00V",   "000\\.000\\m00\\V;0;0"},
        ValueCase{"OneAmpere",             13, 2, 0, "10000000", "-1.000m000u0A",  "0\\.000\\m000\\u0\\A;0;0"},
        ValueCase{"TenAmperes",            14, 2, 0, "10000000", "-10.000m000A",   "00\\.000\\m000\\A;0;0"},
        ValueCase{"ThousandVoltsBlanks",    4, 1, 0, "10000000", "-1000.000 0V",   "0000\\.000\\_0\\V;0;0"},
        ValueCase{"BlankingFourIntegers",   4, 0, 1, "10000000", "-1000.0000V",    "9999\\.9000\\V;0;0"},
        ValueCase{"RangeOutsideTheTable", 200, 2, 0, "12345678", " 1.234 567 8?",  "0\\.0000000\\?;0;0"}),
    // clang-format on
    test::RowName());

TEST_F(Renderers, WithoutSeparatorsTheDigitsStandSideBySide) {
    State.ViewMode = 0;
    State.RangeIndex = 1; // separators after the fourth and seventh digit in the other modes
    State.OutputDigits = "12345678";
    Renderer.VoltPrint(2);
    EXPECT_EQ(Row2().substr(0, 11), "+1.2345678V");
    ExpectSideBySide(2, 13); // through the two closing blanks
    State.VoltmeterRange = 2;
    State.MeasuredDigits = "0123456789";
    Display.PrintText(1, 1, 4, "+");
    Renderer.PrintUin();
    EXPECT_EQ(Row1().substr(0, 12), "+01.2345678V");
    ExpectSideBySide(1, 12);
}

struct ReadingCase {
    const char* Name;
    uint8_t Range;
    uint8_t ViewMode;
    uint8_t NumDigits;
    const char* Digits;
    const char* Shown;
};

class Reading : public Renderers, public testing::WithParamInterface<ReadingCase> {};

TEST_P(Reading, ShowsTheDigitsOfTheRangeAfterTheSign) {
    const ReadingCase& c = GetParam();
    State.Mode = PanelMode::Measurement;
    State.VoltmeterRange = c.Range;
    State.ViewMode = c.ViewMode;
    State.NumDigits = c.NumDigits;
    State.MeasuredDigits = c.Digits;
    Renderer.PrintMode("1000");
    Display.PrintText(1, 1, 4, "+");
    Renderer.PrintUin();
    EXPECT_EQ(Row1(), Row(c.Shown));
}

INSTANTIATE_TEST_SUITE_P(
    Renderers, Reading,
    testing::Values(
        // clang-format off
        //          Name                    Range VM Digits Measured      Shown
        ReadingCase{"TenVoltsFullLength",     2, 2, 0, "0123456789", "+01.234m567u8V"},
        ReadingCase{"TenVoltsSixAndAHalf",    2, 2, 2, "0123456789", "+01.234m56V"},
        ReadingCase{"ThousandVoltsBlanks",    4, 1, 0, "1000000000", "+1 000.000V"},
        ReadingCase{"ThousandVoltsLetters",   4, 2, 0, "1000000000", "+1 000.000V"},
        ReadingCase{"HundredMillivolts",      0, 2, 0, "0123456789", "+234.567u89mV"},
        ReadingCase{"ShortReadingStops",      2, 2, 0, "0123",       "+01.23V"},
        ReadingCase{"TenVoltsSevenAndAHalf",  2, 2, 1, "0123456789", "+01.234m567V"},
        ReadingCase{"TenVoltsBlanks",         2, 1, 0, "0123456789", "+01.234 567 8V"},
        ReadingCase{"OneVoltFromDigitTwo",    1, 2, 0, "0123456789", "+1.234m567u89V"},
        ReadingCase{"HundredVoltsAlwaysEight",3, 2, 0, "0123456789", "+123.456m7V"}),
    // clang-format on
    test::RowName());

TEST_F(Renderers, PerCentReadingHasItsFixedLayout) {
    State.MeasuredDigits = "1234567890";
    Display.PrintText(1, 1, 4, "-");
    Renderer.PrintUperc();
    EXPECT_EQ(Row1(), Row("-1 234.567 8%"));
}

TEST_F(Renderers, ActivityMarkAlternatesWithEachReading) {
    State.MeasuredDigits = "0000000000";
    Renderer.PrintUin();
    EXPECT_EQ(Row2().substr(Row2().size() - 2), "ї");
    Renderer.PrintUperc();
    EXPECT_EQ(Row2().substr(Row2().size() - 2), "ѕ");
    Renderer.PrintUin();
    EXPECT_EQ(Row2().substr(Row2().size() - 2), "ї");
}

struct GuardCase {
    const char* Name;
    PanelMode Mode;
    bool Ac;
    int Row;
};

class Guard : public Renderers, public testing::WithParamInterface<GuardCase> {};

TEST_P(Guard, StandsAtColumn22OfTheRowOfModeAndKind) {
    State.Mode = GetParam().Mode;
    Controls.LatchKey(GetParam().Ac ? PanelKey::SB_Sin : PanelKey::SB_Polar);
    Display.CLRDisp(1);
    Display.CLRDisp(2);
    Renderer.PrintGuard();
    EXPECT_EQ(Display.RowText(GetParam().Row), std::string(21, ' ') + "Э ");
    State.ScreenOn = 0;
    Renderer.PrintGuard();
    EXPECT_EQ(Display.RowText(GetParam().Row), std::string(23, ' '));
    EXPECT_FALSE(Display.Cell(GetParam().Row, 22)->isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Renderers, Guard,
    testing::Values(GuardCase{"OutputEntryDc", PanelMode::OutputEntry, false, 1},
                    GuardCase{"OutputEntryAc", PanelMode::OutputEntry, true, 2},
                    GuardCase{"OutputOnDc", PanelMode::OutputOn, false, 2},
                    GuardCase{"OutputOnAc", PanelMode::OutputOn, true, 1},
                    GuardCase{"Measurement", PanelMode::Measurement, false, 2}),
    test::RowName());

struct PercentCase {
    const char* Name;
    const char* Digits;
    uint8_t RangeIndex;
    int32_t Base;
    const char* Separator;
    const char* Shown;
};

class Percent : public Renderers, public testing::WithParamInterface<PercentCase> {};

TEST_P(Percent, ShowsTheDeviationFromTheBaseInRowTwo) {
    const PercentCase& c = GetParam();
    State.Mode = PanelMode::OutputOn;
    State.RangeIndex = c.RangeIndex;
    State.OutputDigits = c.Digits;
    Renderer.SetPercentBase(c.Base);
    Renderer.SetDecimalSeparator(c.Separator);
    // The "%" key's part: the small delta and the quantity before the first call.
    Display.CLRDisp(2);
    Display.PrintText(1, 2, 4, "ј");
    Display.PrintText(2, 2, 4, "U=");
    Renderer.PrintPercent();
    EXPECT_EQ(Row2(), Row(c.Shown));
}

INSTANTIATE_TEST_SUITE_P(
    Renderers, Percent,
    testing::Values(
        // clang-format off
        //          Name                 Digits      Row Base      Sep  Shown
        PercentCase{"NoDeviation",       "01000000", 2, 1000000,   ".", "јU=-0.00000%"},
        PercentCase{"ThreeTimesTheBase", "03000000", 2, 1000000,   ".", "јU=>-100.00000%"},
        PercentCase{"HalfTheBase",       "00500000", 2, 1000000,   ".", "јU=+50.00000%"},
        PercentCase{"SmallRise",         "01000123", 2, 1000000,   ",", "јU=-0,01230%"},
        PercentCase{"NegativeRange",     "01000000", 3, -1000000,  ".", "јU=-0.00000%"},
        PercentCase{"FarBelowZero",      "03000000", 3, 1000000,   ".", "јU=<+100.00000%"},
        PercentCase{"ZeroBase",          "00000000", 2, 0,         ".", "јU=-0.00000%"},
        // One rounding to five decimals gives the nearest last digit: -24.2997747... reads
        // 24.29977 and -24.0000346661... reads 24.00003 (rounding to eight significant digits
        // first gave 24.29978 and 24.00004).
        PercentCase{"BelowHalfStaysDown", "00934570", 2, 1234567,  ".", "јU=+24.29977%"},
        PercentCase{"OneRoundingOnly",   "03433897", 2, 2769271,   ".", "јU=-24.00003%"},
        // Exact ties go away from zero, also where the double of p lies just below the tie
        // (1.433625 is 1.43362499999999992... as a double).
        PercentCase{"TieRoundsAway",     "16229380", 2, 16000000,  ".", "јU=-1.43363%"},
        PercentCase{"TieBelowTheBase",   "15770620", 2, 16000000,  ".", "јU=+1.43363%"},
        PercentCase{"TieInTheSixthPlace", "20000001", 2, 20000000, ".", "јU=-0.00001%"},
        PercentCase{"ExactlyMinus100",   "00000000", 2, 1000000,   ".", "јU=+100.00000%"},
        PercentCase{"ThirdOfTheBase",    "00000004", 2, 3,         ".", "јU=-33.33333%"},
        PercentCase{"NegativeBaseRise",  "03000000", 3, -1000000,  ".", "јU=>-100.00000%"}),
    // clang-format on
    test::RowName());

TEST(PercentBase, IsTheOutputValueNegatedOnMinusRanges) {
    InstrumentState state;
    state.OutputDigits = "01234567";
    state.RangeIndex = 2; // sign "+"
    EXPECT_EQ(PercentBaseOf(state), 1234567);
    state.RangeIndex = 3; // sign "-"
    EXPECT_EQ(PercentBaseOf(state), -1234567);
}

} // namespace
} // namespace vr410
