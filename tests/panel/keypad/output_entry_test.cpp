// The output value field's change handling and the frequency field's, against a recording host
// whose field holds the digits in the row's layout.
#include "panel/keypad/output_entry.h"
#include "recording_host.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

using test::RecordingHost;

class OutputEntryTest : public testing::Test {
  protected:
    InstrumentState State;
    RecordingHost Host{State};
    OutputEntry Entry{State, Host};

    void SetUp() override { Host.Entry = &Entry; }

    // Lays the field out for the current row and mode as the display does, then forgets the log.
    void Show() {
        Host.PrintMode();
        Host.Log.clear();
        Host.Commands.clear();
    }
    // Puts digits into the field as if typed there in one change.
    void Type(const char* digits) {
        Host.Field.SetDigits(digits);
        Entry.MaskEditVoltageChange(true);
    }
};

TEST_F(OutputEntryTest, DcValueAboveTheRangeIsClampedAndShown) {
    Show();
    Type("12000000");
    EXPECT_EQ(State.OutputDigits, "10200000");
    EXPECT_EQ(Host.Field.Text().toStdString(), "10.200000V");
}

TEST_F(OutputEntryTest, AcZeroBecomesOnePercentOfTheRange) {
    State.RangeIndex = 21; // AC 1 V
    State.OutputDigits = "0500000";
    Show();
    Type("0000000");
    EXPECT_EQ(State.OutputDigits, "0010000");
    EXPECT_EQ(Host.Field.Text().toStdString(), "0.010000V");
}

TEST_F(OutputEntryTest, Ac700VoltRangeReachesSevenHundredFourteenVolts) {
    State.RangeIndex = 24;
    State.OutputDigits = "0010000";
    Show();
    Type("7000000");
    EXPECT_EQ(State.OutputDigits, "7000000");
    Type("9990000");
    EXPECT_EQ(State.OutputDigits, "7140000");
    EXPECT_EQ(Host.Field.Text().toStdString(), "714.0000V");
}

TEST_F(OutputEntryTest, EveryChangedDigitIsSentWithTheOutputOnAndNoneInEntryMode) {
    Show();
    for (char digit : {'0', '1', '2'}) {
        Host.TypeDigit(digit);
    }
    EXPECT_TRUE(Host.Commands.empty());
    // The first "0" was typed over a "0": nothing changed, nothing is drawn.
    EXPECT_EQ(Host.Log, (std::vector<std::string>{"VoltPrint 2", "VoltPrint 2"}));

    State.Mode = PanelMode::OutputOn;
    Show();
    Host.Caret = 0;
    for (char digit : {'0', '3', '4'}) {
        Host.TypeDigit(digit);
    }
    EXPECT_EQ(Host.Commands, (std::vector<int>{16, 16}));
    EXPECT_EQ(State.OutputDigits, "03400000");
    EXPECT_EQ(Host.Log.front(), "VoltPrint 1");
}

TEST_F(OutputEntryTest, KeysThatChangeNoDigitSendNothingWithTheOutputOn) {
    State.Mode = PanelMode::OutputOn;
    State.OutputDigits = "01000000";
    Show();
    Host.Caret = 1;
    Host.TypeDigit('1'); // over the same digit
    Host.Caret = 1;
    Host.PressBackspace(); // on the blank first "0"
    EXPECT_EQ(Host.Commands, std::vector<int>{});
    EXPECT_TRUE(Host.Log.empty());
    EXPECT_EQ(State.OutputDigits, "01000000");
}

TEST_F(OutputEntryTest, ClampWithTheOutputOnSendsFromBothRuns) {
    State.Mode = PanelMode::OutputOn;
    Show();
    Type("99000000");
    EXPECT_EQ(Host.Commands, (std::vector<int>{16, 16}));
    EXPECT_EQ(State.OutputDigits, "10200000");
}

TEST_F(OutputEntryTest, RelativeDisplayFollowsEveryChangeWithTheOutputOn) {
    State.Mode = PanelMode::OutputOn;
    State.VoltmeterPercent = 1;
    Show();
    Host.TypeDigit('1');
    EXPECT_EQ(Host.Log.back(), "PrintPercent");
}

TEST_F(OutputEntryTest, ProgramChangeInMeasurementIsKeptButNotDrawnOrSent) {
    State.Mode = PanelMode::Measurement;
    Host.SetOutputFieldText("01000000");
    EXPECT_EQ(State.OutputDigits, "01000000");
    EXPECT_TRUE(Host.Log.empty());
}

TEST_F(OutputEntryTest, ProgramChangeLeavesTheCaretWhereItIs) {
    State.MoveCursor = 0;
    Show();
    Host.Caret = 5;
    State.OutputDigits = "05000000";
    Host.PrintMode();
    EXPECT_EQ(Host.Field.Digits().toStdString(), "05000000");
    EXPECT_EQ(Host.Caret, 5);
}

// A value read from the instrument goes into the field as read: the limits are the operator's
// entry rules, and with the output on a changed copy would go out as an unasked set-output.
struct InstrumentValueCase {
    const char* Name;
    uint8_t Row;
    PanelMode Mode;
    const char* Read;
    const char* Drawn; // the VoltPrint call of the redraw
};

void PrintTo(const InstrumentValueCase& c, std::ostream* os) {
    *os << c.Name;
}

class InstrumentValue : public testing::TestWithParam<InstrumentValueCase> {};

TEST_P(InstrumentValue, IsShownAsReadAndNothingIsSent) {
    const InstrumentValueCase& c = GetParam();
    InstrumentState state;
    state.Mode = c.Mode;
    state.RangeIndex = c.Row;
    state.OutputDigits = IsAcRow(c.Row) ? "0500000" : "05000000";
    RecordingHost host(state);
    OutputEntry entry(state, host);
    host.Entry = &entry;

    state.OutputDigits = c.Read; // as the read-output answer stores it before the field
    entry.ShowInstrumentValue(c.Read);
    EXPECT_EQ(state.OutputDigits, c.Read);
    EXPECT_EQ(host.Field.Digits().toStdString(), c.Read);
    EXPECT_EQ(host.Log, std::vector<std::string>{c.Drawn});
    EXPECT_TRUE(host.Commands.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Field, InstrumentValue,
    testing::Values(
        // name, row, mode, the value read, the redraw
        InstrumentValueCase{"AcBelowOnePercentOutputOff", 21, PanelMode::OutputEntry, "0005000",
                            "VoltPrint 2"},
        InstrumentValueCase{"AcBelowOnePercentOutputOn", 21, PanelMode::OutputOn, "0005000",
                            "VoltPrint 1"},
        InstrumentValueCase{"AcZeroOutputOn", 27, PanelMode::OutputOn, "0000000", "VoltPrint 1"},
        InstrumentValueCase{"AcAboveTheTopOutputOn", 22, PanelMode::OutputOn, "1030000",
                            "VoltPrint 1"},
        InstrumentValueCase{"DcAboveTheTopOutputOn", 2, PanelMode::OutputOn, "10300000",
                            "VoltPrint 1"},
        InstrumentValueCase{"InsideTheLimitsOutputOn", 21, PanelMode::OutputOn, "0250000",
                            "VoltPrint 1"}),
    [](const testing::TestParamInfo<InstrumentValueCase>& row) { return row.param.Name; });

TEST_F(OutputEntryTest, DigitTypedOverAnInstrumentValueBelowOnePercentIsRaisedAndSent) {
    State.Mode = PanelMode::OutputOn;
    State.RangeIndex = 21; // AC 1 V
    State.OutputDigits = "0500000";
    Show();
    State.OutputDigits = "0005000";
    Entry.ShowInstrumentValue("0005000");
    ASSERT_TRUE(Host.Commands.empty());

    Host.Caret = 4; // on the 5 of 0.005000V
    Host.TypeDigit('6');
    EXPECT_EQ(State.OutputDigits, "0010000");
    EXPECT_EQ(Host.Field.Text().toStdString(), "0.010000V");
    EXPECT_EQ(Host.Commands, (std::vector<int>{16, 16}));
}

struct CaretCase {
    const char* Name;
    bool MoveCursor;
    int CaretBefore;
    char Digit; // 0 for Backspace
    int CaretAfter;
};

void PrintTo(const CaretCase& c, std::ostream* os) {
    *os << c.Name;
}

class CaretRules : public testing::TestWithParam<CaretCase> {};

TEST_P(CaretRules, StayOnTheTypedDigitOnlyWithoutCursorMovement) {
    const CaretCase& c = GetParam();
    InstrumentState state;
    state.MoveCursor = c.MoveCursor ? 1 : 0;
    state.OutputDigits = "01000000";
    RecordingHost host(state); // field "01.000000V"
    OutputEntry entry(state, host);
    host.Entry = &entry;
    host.Caret = c.CaretBefore;
    if (c.Digit != 0) {
        host.TypeDigit(c.Digit);
    } else {
        host.PressBackspace();
    }
    EXPECT_EQ(host.Caret, c.CaretAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Field, CaretRules,
    testing::Values(
        // name                                      move  before digit after
        CaretCase{"FirstPositionLeavesCaretAfterIt", false, 0, '0', 1},
        CaretCase{"SecondPositionStaysOnTheDigit", false, 1, '5', 1},
        CaretCase{"AfterThePointStaysOnTheDigit", false, 3, '5', 3},
        CaretCase{"CaretOnTheLiteralTypesTheNextDigitAndStaysOnIt", false, 2, '5', 3},
        CaretCase{"LastDigitStaysOnIt", false, 8, '5', 8},
        CaretCase{"SameDigitRetypedStaysOnIt", false, 1, '1', 1},
        CaretCase{"SameDigitRetypedWithCursorMovementMovesOn", true, 1, '1', 2},
        CaretCase{"ClampedDigitStepsBackOnlyOnce", false, 1, '9', 1},
        CaretCase{"CursorMovementOnMovesOn", true, 3, '5', 4},
        CaretCase{"CursorMovementOnFirstPosition", true, 0, '0', 1},
        CaretCase{"BackspaceIsNotMovedBack", false, 4, 0, 3},
        CaretCase{"BackspaceWithCursorMovement", true, 4, 0, 3}),
    [](const testing::TestParamInfo<CaretCase>& row) { return row.param.Name; });

TEST(FrequencyField, RedrawsTheFrequencyInEntryModeOnly) {
    struct Row {
        PanelMode Mode;
        bool Drawn;
    };
    for (const Row row : {Row{PanelMode::OutputEntry, true}, Row{PanelMode::OutputOn, false},
                          Row{PanelMode::Measurement, false}}) {
        InstrumentState state;
        state.Mode = row.Mode;
        state.RangeIndex = 21;
        RecordingHost host(state);
        OutputEntry entry(state, host);
        entry.SE_FreqChange();
        EXPECT_EQ(host.Log, row.Drawn ? std::vector<std::string>{"FreqPrint 14,1"}
                                      : std::vector<std::string>{})
            << "mode " << static_cast<int>(row.Mode);
        EXPECT_TRUE(host.Commands.empty());
    }
}

} // namespace
} // namespace vr410
