// The keys' main functions, the range keys, "50A", "минимум", "макcимум", "МЕНЮ", "Экран" and
// "Частота" against a recording main window.
#include "key_cases.h"

namespace vr410::test {

TEST_P(KeypadCases, Behave) {
    const KeyCase& c = GetParam();
    if (c.Given) {
        c.Given(State, Host);
    }
    Host.PrintMode(); // the display as it stands before the keys
    Host.Log.clear();
    Host.Commands.clear();
    for (PanelKey key : c.Presses) {
        Keys.Press(key);
    }
    EXPECT_FALSE(Host.IsKeyDown(PanelKey::SB_Shift)) << "the shift key stays down";
    c.Then(State, Host);
}

namespace {

const KeyCase KeyCases[] = {
    {"ShiftSevenInMode0OnTenVoltGoesToOneVoltWithZeros",
     [](InstrumentState& s, RecordingHost&) { s.OutputDigits = "12345678"; },
     {PanelKey::SB_Shift, PanelKey::SB_7},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 1);
         EXPECT_EQ(s.OutputDigits, "00000000");
         EXPECT_EQ(s.Mode, PanelMode::OutputEntry);
         EXPECT_TRUE(Logged(h, "PrintMode"));
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"ShiftNineOnOneVoltKeepsTheShownPlus",
     [](InstrumentState& s, RecordingHost&) { s.RangeIndex = 1; },
     {PanelKey::SB_Shift, PanelKey::SB_9},
     [](const InstrumentState& s, const RecordingHost&) { EXPECT_EQ(s.RangeIndex, 8); }},
    {"ShiftSevenInMode1ResetsThenShowsMode0",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::OutputOn;
         s.OutputDigits = "01000000";
     },
     {PanelKey::SB_Shift, PanelKey::SB_7},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Commands, Codes{1});
         EXPECT_EQ(s.Mode, PanelMode::OutputEntry);
         EXPECT_EQ(s.RangeIndex, 1);
         EXPECT_EQ(s.OutputDigits, "00000000");
         const auto reset = std::find(h.Log.begin(), h.Log.end(), "command 1");
         EXPECT_NE(std::find(reset, h.Log.end(), "PrintMode"), h.Log.end());
     }},
    {"ShiftEightOnItsOwnRangeInEntryShowsTheResetDigits",
     [](InstrumentState& s, RecordingHost&) { s.OutputDigits = "05000000"; },
     {PanelKey::SB_Shift, PanelKey::SB_8},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 2);
         EXPECT_EQ(s.OutputDigits, "00000000");
         EXPECT_TRUE(Logged(h, "PrintMode"));
         EXPECT_EQ(h.Field.Digits().toStdString(), "00000000");
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"ShiftEightOnItsOwnRangeWithTheOutputOnChangesNothing",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::OutputOn;
         s.OutputDigits = "05000000";
     },
     {PanelKey::SB_Shift, PanelKey::SB_8},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.Mode, PanelMode::OutputOn);
         EXPECT_EQ(s.OutputDigits, "05000000");
         EXPECT_EQ(h.Field.Digits().toStdString(), "05000000");
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"ShiftSevenOnAResistanceRowKeepsTheGroupArithmetic",
     [](InstrumentState& s, RecordingHost&) { s.RangeIndex = 37; },
     {PanelKey::SB_Shift, PanelKey::SB_7},
     [](const InstrumentState& s, const RecordingHost&) { EXPECT_EQ(s.RangeIndex, 36); }},
    {"ShiftZeroOnAResistanceRowWhoseResultIsPastTheTableIsRefused",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 35;
         s.OutputDigits = "05000000";
     },
     {PanelKey::SB_Shift, PanelKey::SB_0},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 35);
         EXPECT_EQ(s.OutputDigits, "05000000");
         EXPECT_TRUE(h.Log.empty());
     }},
    {"ShiftRangeKeyInMeasurementSetsTheVoltmeterRange",
     [](InstrumentState& s, RecordingHost&) { s.Mode = PanelMode::Measurement; },
     {PanelKey::SB_Shift, PanelKey::SB_0},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.VoltmeterRange, 4);
         EXPECT_EQ(s.VoltmeterAuto, 0);
         EXPECT_EQ(h.Commands, Codes{36});
         EXPECT_EQ(s.RangeIndex, 2);
     }},
    {"RangeKeyWithoutShiftDoesNothing",
     nullptr,
     {PanelKey::SB_7},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 2);
         EXPECT_TRUE(h.Log.empty());
     }},
    {"AcKeyInMode1OnDcSendsNothingAndKeepsPolarLatched",
     WithOutputOn,
     {PanelKey::SB_Sin},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_Polar));
         EXPECT_FALSE(h.IsKeyDown(PanelKey::SB_Sin));
         EXPECT_EQ(s.RangeIndex, 2);
     }},
    {"AcKeyInMode0OnDcSwitchesToTheAcRow",
     [](InstrumentState& s, RecordingHost&) { s.RangeIndex = 3; },
     {PanelKey::SB_Sin},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 23);
         EXPECT_EQ(s.OutputDigits, "0010000");
         EXPECT_EQ(h.Field.Digits().toStdString(), "0010000");
         EXPECT_TRUE(h.FreqPanelVisible);
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_Sin));
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"PolarKeyInMode0OnAcGoesBackToTheDcRow",
     [](InstrumentState& s, RecordingHost& h) {
         s.RangeIndex = 20;
         s.OutputDigits = "0500000";
         h.FreqPanelVisible = true;
     },
     {PanelKey::SB_Polar},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 0);
         EXPECT_EQ(s.OutputDigits, "00000000");
         EXPECT_EQ(h.Field.Digits().toStdString(), "00000000");
         EXPECT_FALSE(h.FreqPanelVisible);
     }},
    {"PolarKeyInMode1OnAcOnlyLatchesAcAgain",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 21;
         s.OutputDigits = "0500000";
         s.Mode = PanelMode::OutputOn;
     },
     {PanelKey::SB_Polar},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 21);
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_Sin));
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"PolarKeyInMode1OnDcFlipsThePolarityAndSends",
     WithOutputOn,
     {PanelKey::SB_Polar},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 7);
         EXPECT_TRUE(Logged(h, "PrintText 1,1,4 '-'"));
         EXPECT_EQ(h.Commands, Codes{16});
     }},
    {"PolarKeyInMode0OnDcRewritesTheSignOnly",
     nullptr,
     {PanelKey::SB_Polar},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 7);
         EXPECT_EQ(h.Log, std::vector<std::string>{"PrintText 1,2,4 '-'"});
     }},
    {"VoltKeyInMode0OnOneMilliampereGoesToTheTenVoltRowShowingMinus",
     [](InstrumentState& s, RecordingHost&) { s.RangeIndex = 10; },
     {PanelKey::SB_U},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 7);
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_U));
     }},
    {"VoltKeyFromTheFiftyAmpereAcRowClampsTheValue",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 32;
         s.OutputDigits = "5000000";
     },
     {PanelKey::SB_U},
     [](const InstrumentState& s, const RecordingHost&) {
         EXPECT_EQ(s.RangeIndex, 22);
         EXPECT_EQ(s.OutputDigits, "1020000");
     }},
    {"CurrentKeyInMode0OnTenVoltPlusGoesToHundredMilliampereShowingPlus",
     nullptr,
     {PanelKey::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 17);
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_I));
     }},
    {"CurrentKeyInMode1IsRefusedAndNotLatchedBack",
     WithOutputOn,
     {PanelKey::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 2);
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_I))
             << "the key stays as pressed until the next redraw";
         EXPECT_TRUE(h.Log.empty());
     }},
    {"VoltKeyOnAVoltageRowIsRefused",
     nullptr,
     {PanelKey::SB_U},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 2);
         EXPECT_TRUE(h.Log.empty());
     }},
    {"PercentInMode1WithZeroDigitsOnlyReleasesShift",
     WithOutputOn,
     {PanelKey::SB_Shift, PanelKey::SB_1},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.VoltmeterPercent, 0);
         EXPECT_TRUE(h.Log.empty());
     }},
    {"PercentInMode1StartsTheRelativeDisplay",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::OutputOn;
         s.RangeIndex = 3; // 100V, shown "-"
         s.OutputDigits = "05000000";
     },
     {PanelKey::SB_Shift, PanelKey::SB_1},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.VoltmeterPercent, 1);
         EXPECT_EQ(h.PercentBase, -5000000);
         EXPECT_EQ(h.Log, (std::vector<std::string>{"CLRDisp 2", "PrintText 1,2,4 'ј'",
                                                    "PrintText 2,2,4 'U='", "PrintPercent"}));
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"PercentAgainInMode1EndsTheRelativeDisplay",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::OutputOn;
         s.VoltmeterPercent = 1;
     },
     {PanelKey::SB_Shift, PanelKey::SB_1},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.VoltmeterPercent, 0);
         EXPECT_EQ(h.Log, std::vector<std::string>{"PrintMode"});
     }},
    {"FiftyAmpereKeyOnOneAmpereGoesToTheFiftyAmpereRowSilently",
     [](InstrumentState& s, RecordingHost&) { s.RangeIndex = 13; },
     {PanelKey::SB_Shift, PanelKey::SB_4},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 30);
         EXPECT_EQ(s.Mode, PanelMode::OutputEntry);
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_TRUE(Logged(h, "PrintMode"));
     }},
    {"FiftyAmpereKeyOnNegativeCurrentGoesToRow31",
     [](InstrumentState& s, RecordingHost&) { s.RangeIndex = 16; },
     {PanelKey::SB_Shift, PanelKey::SB_4},
     [](const InstrumentState& s, const RecordingHost&) { EXPECT_EQ(s.RangeIndex, 31); }},
    {"FiftyAmpereKeyOnAcCurrentGoesToRow32",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 27;
         s.OutputDigits = "0010000";
     },
     {PanelKey::SB_Shift, PanelKey::SB_4},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 32);
         EXPECT_TRUE(h.FreqPanelVisible);
     }},
    {"FiftyAmpereKeyOnAVoltageRangeDoesNothing",
     nullptr,
     {PanelKey::SB_Shift, PanelKey::SB_4},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 2);
         EXPECT_TRUE(h.Log.empty());
     }},
    {"FiftyAmpereKeyWithTheOutputOnResetsTheInstrumentFirst",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::OutputOn;
         s.RangeIndex = 14;
     },
     {PanelKey::SB_Shift, PanelKey::SB_4},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Commands, Codes{1});
         EXPECT_EQ(s.Mode, PanelMode::OutputEntry);
         EXPECT_EQ(s.RangeIndex, 30);
     }},
    {"MinimumOnAcIsOnePercentInSevenDigits",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 24;
         s.OutputDigits = "5000000";
     },
     {PanelKey::SB_Shift, PanelKey::SB_2},
     [](const InstrumentState& s, const RecordingHost&) { EXPECT_EQ(s.OutputDigits, "0010000"); }},
    {"MaximumOn700VoltIsSevenHundredVolts",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 24;
         s.OutputDigits = "0010000";
     },
     {PanelKey::SB_Shift, PanelKey::SB_3},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OutputDigits, "7000000");
         EXPECT_EQ(h.Field.Digits().toStdString(), "7000000");
     }},
    {"MaximumInMode1SendsTheNewValue",
     WithOutputOn,
     {PanelKey::SB_Shift, PanelKey::SB_3},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OutputDigits, "10000000");
         EXPECT_EQ(h.Commands, Codes{16});
     }},
    {"MaximumInMeasurementDoesNothing",
     [](InstrumentState& s, RecordingHost&) { s.Mode = PanelMode::Measurement; },
     {PanelKey::SB_Shift, PanelKey::SB_3},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OutputDigits, "00000000");
         EXPECT_TRUE(h.Log.empty());
     }},
    {"MenuReadsTheParametersThenOpensTheDialog",
     nullptr,
     {PanelKey::SB_Shift, PanelKey::SB_5},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.Log, (std::vector<std::string>{"command 5", "TFormParam"}));
     }},
    {"ScreenKeyFlipsTheDisplayFlagAndSendsNine",
     nullptr,
     {PanelKey::SB_Shift, PanelKey::SB_Polar},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.ScreenOn, 0);
         EXPECT_EQ(h.Log, (std::vector<std::string>{"PrintGuard", "command 9"}));
         EXPECT_EQ(s.RangeIndex, 2);
     }},
    {"ScreenKeyOnAcLatchesAcBack",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 22;
         s.OutputDigits = "0010000";
     },
     {PanelKey::SB_Shift, PanelKey::SB_Polar},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.ScreenOn, 0);
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_Sin));
         EXPECT_EQ(h.Commands, Codes{9});
     }},
    {"FrequencyKeyOnDcLatchesPolarBack",
     nullptr,
     {PanelKey::SB_Shift, PanelKey::SB_Sin},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_Polar));
         EXPECT_TRUE(h.Log.empty());
     }},
    {"ResetInMode0ClearsIndicatorsAndTheAcValue",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 21;
         s.OutputDigits = "0500000";
         s.OkCalibr = 1;
         s.CoefCalibr = 1;
     },
     {PanelKey::SB_Reset},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OkCalibr, 0);
         EXPECT_EQ(s.CoefCalibr, 0);
         EXPECT_EQ(s.OutputDigits, "0010000");
         EXPECT_TRUE(h.FreqPanelVisible);
         EXPECT_EQ(h.Log.back(), "command 1");
     }},
    {"ResetInMode1KeepsTheValueAndIndicators",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::OutputOn;
         s.OutputDigits = "05000000";
         s.OkCalibr = 1;
         s.VoltmeterPercent = 1;
     },
     {PanelKey::SB_Reset},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.Mode, PanelMode::OutputEntry);
         EXPECT_EQ(s.OutputDigits, "05000000");
         EXPECT_EQ(s.OkCalibr, 1);
         EXPECT_EQ(s.VoltmeterPercent, 0);
         EXPECT_EQ(h.Commands, Codes{1});
     }},
    {"ResetWithShiftDownOnlyReleasesShiftAndResets",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = PanelMode::Measurement;
         h.OutputEntryVisible = false;
     },
     {PanelKey::SB_Shift, PanelKey::SB_Reset},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.Mode, PanelMode::OutputEntry);
         EXPECT_TRUE(h.OutputEntryVisible);
         EXPECT_EQ(h.Commands, Codes{1});
     }},
    {"EnterInMode0SetsTheOutputAndStartsTheOutputOnTimer",
     nullptr,
     {PanelKey::SB_Enter},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.Log, (std::vector<std::string>{"command 16", "predel on"}));
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_Enter));
     }},
    {"EnterInMeasurementOnlyLatchesMeasureAgain",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = PanelMode::Measurement;
         h.Keys.SetDown(PanelKey::SB_Meas, true);
     },
     {PanelKey::SB_Enter},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_TRUE(h.Log.empty());
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_Meas));
     }},
    {"ShiftedEnterInMode0LatchesResetAndSendsNothing",
     nullptr,
     {PanelKey::SB_Shift, PanelKey::SB_Enter},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_TRUE(h.Log.empty());
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_Reset));
     }},
};

INSTANTIATE_TEST_SUITE_P(Keys, KeypadCases, testing::ValuesIn(KeyCases),
                         [](const testing::TestParamInfo<KeyCase>& row) {
                             return std::string(row.param.Name);
                         });

// The measurement key and the voltmeter keys after it, with their commands and poll intervals.
TEST(VoltmeterKeys, MeasureThenInputDifferencePercentAndAutomaticRange) {
    InstrumentState state;
    RecordingHost host(state);
    Keypad keys(state, host);
    struct Step {
        const char* What;
        std::vector<PanelKey> Presses;
        Codes Commands; // issued by this step
        int Interval;   // TimerQuery interval after the step (0: not set by the step)
    };
    const Step steps[] = {
        {"measure", {PanelKey::SB_Meas}, {32}, 4000},
        {"U2", {PanelKey::SB_2}, {36}, 4000},
        {"U2 again", {PanelKey::SB_2}, {}, 0},
        {"U1", {PanelKey::SB_1}, {36}, 4000},
        {"U1 again", {PanelKey::SB_1}, {}, 0},
        {"AUTO off", {PanelKey::SB_5}, {36}, 0},
        {"delta", {PanelKey::SB_3}, {36}, 1000},
        {"AUTO refused in delta", {PanelKey::SB_5}, {}, 0},
        {"percent", {PanelKey::SB_Shift, PanelKey::SB_1}, {36}, 1000},
    };
    for (const Step& step : steps) {
        host.Commands.clear();
        host.QueryInterval = 0;
        state.KeepQueryInterval = 0;
        for (PanelKey key : step.Presses) {
            keys.Press(key);
        }
        EXPECT_EQ(host.Commands, step.Commands) << step.What;
        EXPECT_EQ(host.QueryInterval, step.Interval) << step.What;
        EXPECT_EQ(state.KeepQueryInterval, step.Interval != 0 ? 1 : 0) << step.What;
    }
    EXPECT_EQ(state.Mode, PanelMode::Measurement);
    EXPECT_EQ(state.VoltmeterInput, 0);
    EXPECT_EQ(state.VoltmeterDelta, 1);
    EXPECT_EQ(state.VoltmeterPercent, 1);
    EXPECT_EQ(state.VoltmeterAuto, 0);
    EXPECT_FALSE(host.OutputEntryVisible);
    EXPECT_FALSE(host.FreqPanelVisible);

    // Back to input 1 clears the difference; AUTO then works again.
    keys.Press(PanelKey::SB_2);
    keys.Press(PanelKey::SB_5);
    EXPECT_EQ(state.VoltmeterDelta, 0);
    EXPECT_EQ(state.VoltmeterPercent, 0);
    EXPECT_EQ(state.VoltmeterAuto, 1);
}

// After a range key on the current row the display, the field and the instrument agree: the
// next redraw (a window activation) finds nothing to send.
TEST(RangeKeys, OnTheCurrentRowLeaveNothingForTheNextRedrawToSend) {
    for (const PanelMode mode : {PanelMode::OutputEntry, PanelMode::OutputOn}) {
        InstrumentState state;
        state.Mode = mode;
        state.OutputDigits = "05000000";
        RecordingHost host(state);
        OutputEntry entry(state, host);
        host.Entry = &entry;
        Keypad keys(state, host);
        host.PrintMode();
        host.Commands.clear();

        keys.Press(PanelKey::SB_Shift);
        keys.Press(PanelKey::SB_8);
        const std::string shown = host.Field.Digits().toStdString();
        host.PrintMode();

        EXPECT_EQ(shown, state.OutputDigits) << "mode " << static_cast<int>(mode);
        EXPECT_EQ(host.Commands, Codes{}) << "mode " << static_cast<int>(mode);
    }
}

// Any key that reads the shift key releases it, whether or not its shifted function applies.
TEST(ShiftKey, IsReleasedByEveryKey) {
    for (size_t i = 0; i < PanelKeyCount; ++i) {
        const PanelKey key = static_cast<PanelKey>(i);
        if (key == PanelKey::SB_Shift) {
            continue;
        }
        InstrumentState state;
        state.Mode =
            PanelMode::Measurement; // no dialog opens there for the keys that have one elsewhere
        RecordingHost host(state);
        Keypad keys(state, host);
        keys.Press(PanelKey::SB_Shift);
        ASSERT_TRUE(host.IsKeyDown(PanelKey::SB_Shift));
        keys.Press(key);
        EXPECT_FALSE(host.IsKeyDown(PanelKey::SB_Shift)) << "key " << i;
    }
}

TEST(ShiftKey, PressedTwiceIsUpAgain) {
    InstrumentState state;
    RecordingHost host(state);
    Keypad keys(state, host);
    keys.Press(PanelKey::SB_Shift);
    keys.Press(PanelKey::SB_Shift);
    EXPECT_FALSE(host.IsKeyDown(PanelKey::SB_Shift));
    keys.Press(PanelKey::SB_7);
    EXPECT_EQ(state.RangeIndex, 2);
}
} // namespace
} // namespace vr410::test
