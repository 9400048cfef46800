// The user calibration entry's rules without the dialog: the voltmeter layouts and where the
// first digits come from, the ±1 % limits rounded half to even and their texts, the check of each
// edit, the check of "Принять" and the caret after an edit.
#include "shell/calibration_entry.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& row) {
    return row.param.Name;
}

// The output value field's layout for the 10 V DC row with the separator letters.
const QString TenVoltMask = QStringLiteral("00\\.000\\m000\\V;0;0");

InstrumentState CalibratorAt(const std::string& outputDigits) {
    InstrumentState state;
    state.Mode = PanelMode::OutputOn;
    state.OutputDigits = outputDigits;
    return state;
}

// ---------------------------------------------------------------------------------------------
// Limits.

struct LimitsCase {
    const char* Name;
    int64_t X;
    int32_t Upper;
    int32_t Lower;
};

void PrintTo(const LimitsCase& c, std::ostream* os) {
    *os << c.Name;
}

class Limits : public testing::TestWithParam<LimitsCase> {};

TEST_P(Limits, AreOnePercentEachSideRoundedHalfToEven) {
    const CalibrationLimits limits = CalibrationLimitsAround(GetParam().X);
    EXPECT_EQ(limits.Upper, GetParam().Upper);
    EXPECT_EQ(limits.Lower, GetParam().Lower);
}

INSTANTIATE_TEST_SUITE_P(
    X, Limits,
    testing::Values(
        LimitsCase{.Name = "TenVolts", .X = 1000000, .Upper = 1010000, .Lower = 990000},
        // 50.5 and 49.5 both go to the even 50.
        LimitsCase{.Name = "FiftyHalvesGoDownAndUpToEven", .X = 50, .Upper = 50, .Lower = 50},
        // 151.5 goes up to 152, 148.5 down to 148.
        LimitsCase{.Name = "HundredFiftyHalvesToEven", .X = 150, .Upper = 152, .Lower = 148},
        // Not a half: 1.01 × 1234567 = 1246912.67, 0.99 × 1234567 = 1222221.33.
        LimitsCase{
            .Name = "NearestBelowAndAboveAHalf", .X = 1234567, .Upper = 1246913, .Lower = 1222221},
        // The largest value eight digits hold.
        LimitsCase{.Name = "EightNines", .X = 99999999, .Upper = 100999999, .Lower = 98999999},
        LimitsCase{.Name = "Zero", .X = 0, .Upper = 0, .Lower = 0}),
    CaseName<LimitsCase>);

TEST(RoundHalfEven, RoundsNegativeHalvesToEvenToo) {
    EXPECT_EQ(RoundHalfEven(-5, 2), -2);
    EXPECT_EQ(RoundHalfEven(-7, 2), -4);
    EXPECT_EQ(RoundHalfEven(-6, 4), -2); // -1.5
    EXPECT_EQ(RoundHalfEven(-5, 4), -1); // -1.25
}

// ---------------------------------------------------------------------------------------------
// Preparation.

struct VoltmeterCase {
    const char* Name;
    uint8_t Range;
    const char* Digits; // CalibrationDigits taken from 0012345678
    const char* Shown;  // the field's text
};

void PrintTo(const VoltmeterCase& c, std::ostream* os) {
    *os << c.Name;
}

class VoltmeterEntry : public testing::TestWithParam<VoltmeterCase> {};

TEST_P(VoltmeterEntry, TakesEightDigitsOfTheReadingInTheRangesLayout) {
    InstrumentState state;
    state.Mode = PanelMode::Measurement;
    state.VoltmeterRange = GetParam().Range;
    state.MeasuredDigits = "0012345678";
    state.OutputDigits = "09999999"; // the calibrator's value plays no part
    CalibrationEntry entry(state);
    entry.Prepare(TenVoltMask);

    EXPECT_EQ(state.CalibrationDigits, GetParam().Digits);
    EditMask field(entry.Mask());
    field.SetDigits(QString::fromStdString(state.CalibrationDigits));
    EXPECT_EQ(field.Text(), QString::fromUtf8(GetParam().Shown));
    EXPECT_EQ(entry.Limits().Upper,
              CalibrationLimitsAround(CalibrationDigitsValue(GetParam().Digits)).Upper);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, VoltmeterEntry,
    testing::Values(
        VoltmeterCase{.Name = "Range0", .Range = 0, .Digits = "12345678", .Shown = "123,456u78mV"},
        VoltmeterCase{.Name = "Range1", .Range = 1, .Digits = "01234567", .Shown = "0,123m456u7V"},
        VoltmeterCase{.Name = "Range2", .Range = 2, .Digits = "00123456", .Shown = "00,123m456V"},
        VoltmeterCase{.Name = "Range3", .Range = 3, .Digits = "01234567", .Shown = "012,345m67V"},
        VoltmeterCase{.Name = "Range4", .Range = 4, .Digits = "00123456", .Shown = "0012,345m6V"}),
    CaseName<VoltmeterCase>);

TEST(VoltmeterEntry, RangesPastFourKeepTheLastLayoutAndDigits) {
    InstrumentState state;
    state.Mode = PanelMode::Measurement;
    state.VoltmeterRange = 2;
    state.MeasuredDigits = "0012345678";
    CalibrationEntry entry(state);
    entry.Prepare(TenVoltMask);
    const QString mask = entry.Mask();

    for (const uint8_t range : {5, 6, 7}) {
        state.VoltmeterRange = range;
        state.MeasuredDigits = "0098765432";
        entry.Prepare(TenVoltMask);
        EXPECT_EQ(entry.Mask(), mask) << int(range);
        EXPECT_EQ(state.CalibrationDigits, "00123456") << int(range);
        EXPECT_EQ(entry.Limits().Upper, 124691) << int(range); // 123456 × 1.01 = 124690.56
    }
}

TEST(VoltmeterEntry, AReadingShorterThanItsDigitsLeavesZeros) {
    InstrumentState state;
    state.Mode = PanelMode::Measurement;
    state.VoltmeterRange = 0; // digits from the third place on
    state.MeasuredDigits = "00123";
    CalibrationEntry entry(state);
    entry.Prepare(TenVoltMask);
    EXPECT_EQ(state.CalibrationDigits, "12300000");
}

TEST(CalibratorEntry, StartsFromTheOutputValueInTheOutputFieldsLayout) {
    InstrumentState state = CalibratorAt("01000000");
    state.CalibrationDigits = "55555555";
    CalibrationEntry entry(state);
    entry.Prepare(TenVoltMask);

    EXPECT_EQ(state.CalibrationDigits, "01000000");
    EXPECT_EQ(entry.Mask(), TenVoltMask);
    EXPECT_EQ(entry.Limits().Upper, 1010000);
    EXPECT_EQ(entry.Limits().Lower, 990000);
    EXPECT_EQ(entry.LowerText(), QStringLiteral("00.990m000V"));
    EXPECT_EQ(entry.UpperText(), QStringLiteral("01.010m000V"));
}

// A 7-digit AC field shows the limits themselves, not their first seven of eight digits.
TEST(CalibratorEntry, LimitTextsOfASevenDigitFieldShowTheLimits) {
    InstrumentState state = CalibratorAt("1000000"); // 1.000000 V AC
    CalibrationEntry entry(state);
    entry.Prepare(QStringLiteral("0\\.000\\m000\\V;0;0"));
    EXPECT_EQ(entry.LowerText(), QStringLiteral("0.990m000V"));
    EXPECT_EQ(entry.UpperText(), QStringLiteral("1.010m000V"));
}

// ---------------------------------------------------------------------------------------------
// Checks.

struct EditCase {
    const char* Name;
    const char* Shown;
    bool Accepted;
    const char* Digits; // CalibrationDigits afterwards
};

void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.Name;
}

class EditCheck : public testing::TestWithParam<EditCase> {};

TEST_P(EditCheck, RefusesOnlyValuesPastTheUpperLimit) {
    InstrumentState state = CalibratorAt("01000000");
    CalibrationEntry entry(state);
    entry.Prepare(TenVoltMask);

    EXPECT_EQ(entry.CheckEdit(QString::fromUtf8(GetParam().Shown)), GetParam().Accepted);
    EXPECT_EQ(state.CalibrationDigits, GetParam().Digits);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EditCheck,
    testing::Values(EditCase{.Name = "PastTheUpperLimit",
                             .Shown = "01.020m000V",
                             .Accepted = false,
                             .Digits = "01000000"},
                    EditCase{.Name = "AtTheUpperLimit",
                             .Shown = "01.010m000V",
                             .Accepted = true,
                             .Digits = "01010000"},
                    // Values below the lower limit are refused only by "Принять".
                    EditCase{.Name = "BelowTheLowerLimit",
                             .Shown = "00.980m000V",
                             .Accepted = true,
                             .Digits = "00980000"},
                    EditCase{.Name = "BlanksReadAsZeros",
                             .Shown = "01.0 5m000V",
                             .Accepted = true,
                             .Digits = "01005000"}),
    CaseName<EditCase>);

TEST(AcceptCheck, NamesBothLimitsInTheFieldsLayoutWhenOutside) {
    InstrumentState state = CalibratorAt("01000000");
    CalibrationEntry entry(state);
    entry.Prepare(TenVoltMask);

    struct Case {
        const char* Digits;
        bool Accepted;
    };
    for (const Case c : {Case{"00980000", false}, Case{"00989999", false}, Case{"00990000", true},
                         Case{"01005000", true}, Case{"01010000", true}, Case{"01010001", false}}) {
        state.CalibrationDigits = c.Digits;
        const std::optional<std::string> refusal = entry.RefusalOfAccept();
        EXPECT_EQ(!refusal.has_value(), c.Accepted) << c.Digits;
        if (refusal) {
            EXPECT_EQ(*refusal, "Действительное напряжение должно находиться\r\n"
                                "в пределах от 00.990m000V до 01.010m000V!");
        }
    }
}

struct CaretCase {
    const char* Name;
    int Caret;
    bool MoveCursor;
    bool BackspaceOrDelete;
    int After;
};

void PrintTo(const CaretCase& c, std::ostream* os) {
    *os << c.Name;
}

class Caret : public testing::TestWithParam<CaretCase> {};

TEST_P(Caret, StepsBackOnlyWithoutCursorAdvanceAfterATypedDigit) {
    EXPECT_EQ(CaretAfterEdit(GetParam().Caret, GetParam().MoveCursor, GetParam().BackspaceOrDelete),
              GetParam().After);
}

INSTANTIATE_TEST_SUITE_P(Edits, Caret,
                         testing::Values(CaretCase{.Name = "AdvanceOffAtTwo",
                                                   .Caret = 2,
                                                   .MoveCursor = false,
                                                   .BackspaceOrDelete = false,
                                                   .After = 1},
                                         CaretCase{.Name = "AdvanceOffAtFive",
                                                   .Caret = 5,
                                                   .MoveCursor = false,
                                                   .BackspaceOrDelete = false,
                                                   .After = 4},
                                         CaretCase{.Name = "AdvanceOffAtOne",
                                                   .Caret = 1,
                                                   .MoveCursor = false,
                                                   .BackspaceOrDelete = false,
                                                   .After = 1},
                                         CaretCase{.Name = "AdvanceOffAtZero",
                                                   .Caret = 0,
                                                   .MoveCursor = false,
                                                   .BackspaceOrDelete = false,
                                                   .After = 0},
                                         CaretCase{.Name = "AdvanceOn",
                                                   .Caret = 5,
                                                   .MoveCursor = true,
                                                   .BackspaceOrDelete = false,
                                                   .After = 5},
                                         CaretCase{.Name = "BackspaceOrDelete",
                                                   .Caret = 5,
                                                   .MoveCursor = false,
                                                   .BackspaceOrDelete = true,
                                                   .After = 5}),
                         CaseName<CaretCase>);

} // namespace
} // namespace vr410
