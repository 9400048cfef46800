// The keys' main and shifted functions against a recording main window.
#include "panel/keypad/keypad.h"
#include "panel/keypad/output_entry.h"
#include "recording_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace vr410 {
namespace {

using test::RecordingHost;

struct KeyCase {
    const char* Name;
    std::function<void(InstrumentState&, RecordingHost&)> Given;
    std::vector<Key> Presses;
    std::function<void(const InstrumentState&, const RecordingHost&)> Then;
};

std::ostream& operator<<(std::ostream& out, const KeyCase& c) {
    return out << c.Name;
}

bool Logged(const RecordingHost& host, const std::string& entry) {
    return std::find(host.Log.begin(), host.Log.end(), entry) != host.Log.end();
}

using Codes = std::vector<int>;

class KeypadCases : public testing::TestWithParam<KeyCase> {
  protected:
    InstrumentState State;
    RecordingHost Host{State};
    OutputEntry Entry{State, Host};
    Keypad Keys{State, Host};

    void SetUp() override { Host.Entry = &Entry; }
};

TEST_P(KeypadCases, Behave) {
    const KeyCase& c = GetParam();
    if (c.Given) {
        c.Given(State, Host);
    }
    Host.PrintMode(); // the display as it stands before the keys
    Host.Log.clear();
    Host.Commands.clear();
    for (Key key : c.Presses) {
        Keys.Press(key);
    }
    EXPECT_FALSE(Host.IsKeyDown(Key::SB_Shift)) << "the shift key stays down";
    c.Then(State, Host);
}

void Mode1(InstrumentState& s, RecordingHost&) {
    s.Mode = 1;
}

const KeyCase KeyCases[] = {
    {"ShiftSevenInMode0OnTenVoltGoesToOneVoltWithZeros",
     [](InstrumentState& s, RecordingHost&) { s.OutputDigits = "12345678"; },
     {Key::SB_Shift, Key::SB_7},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 1);
         EXPECT_EQ(s.OutputDigits, "00000000");
         EXPECT_EQ(s.Mode, 0);
         EXPECT_TRUE(Logged(h, "PrintMode"));
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"ShiftNineOnOneVoltKeepsTheShownPlus",
     [](InstrumentState& s, RecordingHost&) { s.RangeIndex = 1; },
     {Key::SB_Shift, Key::SB_9},
     [](const InstrumentState& s, const RecordingHost&) { EXPECT_EQ(s.RangeIndex, 8); }},
    {"ShiftSevenInMode1ResetsThenShowsMode0",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = 1;
         s.OutputDigits = "01000000";
     },
     {Key::SB_Shift, Key::SB_7},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Commands, Codes{1});
         EXPECT_EQ(s.Mode, 0);
         EXPECT_EQ(s.RangeIndex, 1);
         EXPECT_EQ(h.Log.back(), "PrintMode");
     }},
    {"ShiftEightOnItsOwnRangeOnlyResetsTheDigits",
     [](InstrumentState& s, RecordingHost&) { s.OutputDigits = "05000000"; },
     {Key::SB_Shift, Key::SB_8},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 2);
         EXPECT_EQ(s.OutputDigits, "00000000");
         EXPECT_EQ(h.Log, std::vector<std::string>{});
     }},
    {"ShiftRangeKeyInMeasurementSetsTheVoltmeterRange",
     [](InstrumentState& s, RecordingHost&) { s.Mode = 12; },
     {Key::SB_Shift, Key::SB_0},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.VoltmeterRange, 4);
         EXPECT_EQ(s.VoltmeterAuto, 0);
         EXPECT_EQ(h.Commands, Codes{36});
         EXPECT_EQ(s.RangeIndex, 2);
     }},
    {"RangeKeyWithoutShiftDoesNothing",
     nullptr,
     {Key::SB_7},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 2);
         EXPECT_TRUE(h.Log.empty());
     }},
    {"AcKeyInMode1OnDcSendsNothingAndKeepsPolarLatched",
     Mode1,
     {Key::SB_Sin},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_TRUE(h.IsKeyDown(Key::SB_Polar));
         EXPECT_FALSE(h.IsKeyDown(Key::SB_Sin));
         EXPECT_EQ(s.RangeIndex, 2);
     }},
    {"AcKeyInMode0OnDcSwitchesToTheAcRow",
     [](InstrumentState& s, RecordingHost&) { s.RangeIndex = 3; },
     {Key::SB_Sin},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 23);
         EXPECT_EQ(s.OutputDigits, "0010000");
         EXPECT_EQ(h.Field.Digits().toStdString(), "0010000");
         EXPECT_TRUE(h.FreqPanelVisible);
         EXPECT_TRUE(h.IsKeyDown(Key::SB_Sin));
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"PolarKeyInMode0OnAcGoesBackToTheDcRow",
     [](InstrumentState& s, RecordingHost& h) {
         s.RangeIndex = 20;
         s.OutputDigits = "0500000";
         h.FreqPanelVisible = true;
     },
     {Key::SB_Polar},
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
         s.Mode = 1;
     },
     {Key::SB_Polar},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 21);
         EXPECT_TRUE(h.IsKeyDown(Key::SB_Sin));
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"PolarKeyInMode1OnDcFlipsThePolarityAndSends",
     Mode1,
     {Key::SB_Polar},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 7);
         EXPECT_TRUE(Logged(h, "PrintText 1,1,4 '-'"));
         EXPECT_EQ(h.Commands, Codes{16});
     }},
    {"PolarKeyInMode0OnDcRewritesTheSignOnly",
     nullptr,
     {Key::SB_Polar},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 7);
         EXPECT_EQ(h.Log, std::vector<std::string>{"PrintText 1,2,4 '-'"});
     }},
    {"VoltKeyInMode0OnOneMilliampereGoesToTheTenVoltRowShowingMinus",
     [](InstrumentState& s, RecordingHost&) { s.RangeIndex = 10; },
     {Key::SB_U},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 7);
         EXPECT_TRUE(h.IsKeyDown(Key::SB_U));
     }},
    {"VoltKeyFromTheFiftyAmpereAcRowClampsTheValue",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 32;
         s.OutputDigits = "5000000";
     },
     {Key::SB_U},
     [](const InstrumentState& s, const RecordingHost&) {
         EXPECT_EQ(s.RangeIndex, 22);
         EXPECT_EQ(s.OutputDigits, "1020000");
     }},
    {"CurrentKeyInMode0OnTenVoltPlusGoesToHundredMilliampereShowingPlus",
     nullptr,
     {Key::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 17);
         EXPECT_TRUE(h.IsKeyDown(Key::SB_I));
     }},
    {"CurrentKeyInMode1IsRefusedAndVoltLatchedBack",
     Mode1,
     {Key::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 2);
         EXPECT_TRUE(h.IsKeyDown(Key::SB_U));
         EXPECT_TRUE(h.Log.empty());
     }},
    {"PercentInMode1WithZeroDigitsOnlyReleasesShift",
     Mode1,
     {Key::SB_Shift, Key::SB_1},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.VoltmeterPercent, 0);
         EXPECT_TRUE(h.Log.empty());
     }},
    {"PercentInMode1StartsTheRelativeDisplay",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = 1;
         s.RangeIndex = 3; // 100V, shown "-"
         s.OutputDigits = "05000000";
     },
     {Key::SB_Shift, Key::SB_1},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.VoltmeterPercent, 1);
         EXPECT_EQ(h.PercentBase, -5000000);
         EXPECT_EQ(h.Log, (std::vector<std::string>{"CLRDisp 2", "PrintText 1,2,4 'ј'",
                                                    "PrintText 2,2,4 'U='", "PrintPercent"}));
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"PercentAgainInMode1EndsTheRelativeDisplay",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = 1;
         s.VoltmeterPercent = 1;
     },
     {Key::SB_Shift, Key::SB_1},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.VoltmeterPercent, 0);
         EXPECT_EQ(h.Log, std::vector<std::string>{"PrintMode"});
     }},
    {"OkInMode1OnAcOpensAndSendsNothing",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = 1;
         s.RangeIndex = 21;
         s.OutputDigits = "0500000";
     },
     {Key::SB_Shift, Key::SB_I},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.OkCalOpened, 0);
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_TRUE(h.IsKeyDown(Key::SB_U));
     }},
    {"OkInMode1AcceptedWithAValueSetsTheCompleteZero",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = 1;
         h.OkCalAnswer = {.Accepted = true, .Value = 2.5};
     },
     {Key::SB_Shift, Key::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.OkCalDecimals, 1);
         EXPECT_EQ(h.OkCalLabel, "uV");
         EXPECT_EQ(s.OkCalibr, 1);
         EXPECT_TRUE(Logged(h, "PrintText 19,2,4 'Ок'"));
         EXPECT_EQ(h.Commands, Codes{18});
     }},
    {"OkInMode1AcceptedWithZeroCancelsTheCompleteZero",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = 1;
         s.RangeIndex = 14;
         h.OkCalAnswer = {.Accepted = true, .Value = 0.0};
     },
     {Key::SB_Shift, Key::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.OkCalLabel, "mA");
         EXPECT_EQ(h.OkCalDecimals, 3);
         EXPECT_EQ(s.OkCalibr, 0);
         EXPECT_EQ(h.CancelHint, "1");
         EXPECT_EQ(h.Commands, Codes{49});
     }},
    {"OkInMode1RefusedCancelsTheCompleteZero",
     Mode1,
     {Key::SB_Shift, Key::SB_I},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.OkCalOpened, 1);
         EXPECT_TRUE(Logged(h, "PrintText 19,2,4 '  '"));
         EXPECT_EQ(h.CancelHint, "1");
         EXPECT_EQ(h.Commands, Codes{49});
     }},
    {"OkInMode0WithCompleteZeroActiveCancelsItInRowOne",
     [](InstrumentState& s, RecordingHost&) { s.OkCalibr = 1; },
     {Key::SB_Shift, Key::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OkCalibr, 0);
         EXPECT_TRUE(Logged(h, "PrintText 19,1,4 '  '"));
         EXPECT_EQ(h.CancelHint, "1");
         EXPECT_EQ(h.Commands, Codes{49});
     }},
    {"OkInMode0WithoutCompleteZeroDoesNothing",
     nullptr,
     {Key::SB_Shift, Key::SB_I},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_EQ(h.OkCalOpened, 0);
     }},
    {"OkInMeasurementSetsTheZeroOfInputTwo",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = 12;
         s.VoltmeterInput = 1;
     },
     {Key::SB_Shift, Key::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OkInput2, 1);
         EXPECT_EQ(s.OkInput1, 0);
         EXPECT_TRUE(Logged(h, "PrintText 19,2,4 'Ok'"));
         EXPECT_EQ(h.Commands, Codes{34});
     }},
    {"OkInMeasurementCancelsAnActiveInputZero",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = 12;
         s.OkInput1 = 1;
     },
     {Key::SB_Shift, Key::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OkInput1, 0);
         EXPECT_EQ(h.CancelHint, "1");
         EXPECT_EQ(h.Commands, Codes{49});
     }},
    {"CalibrationInMode1Below900000OpensNothing",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = 1;
         s.OutputDigits = "00899999";
         h.CalibrationAnswer = true;
     },
     {Key::SB_Shift, Key::SB_Meas},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.CalibrationOpened, 0);
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_TRUE(h.IsKeyDown(Key::SB_Enter));
     }},
    {"CalibrationInMode1At900000OpensTheDialogAndSendsOnYes",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = 1;
         s.OutputDigits = "00900000";
         h.CalibrationAnswer = true;
     },
     {Key::SB_Shift, Key::SB_Meas},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.CalibrationOpened, 1);
         EXPECT_EQ(h.Commands, Codes{52});
     }},
    {"CalibrationDialogClosedWithoutYesSendsNothing",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = 1;
         s.OutputDigits = "01000000";
     },
     {Key::SB_Shift, Key::SB_Meas},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.CalibrationOpened, 1);
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"CalibrationInMode1WithUserCalibrationActiveCancelsIt",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = 1;
         s.CoefCalibr = 1;
         s.OutputDigits = "01000000";
     },
     {Key::SB_Shift, Key::SB_Meas},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.CoefCalibr, 0);
         EXPECT_TRUE(Logged(h, "PrintText 16,2,4 '  '"));
         EXPECT_EQ(h.CancelHint, "2");
         EXPECT_EQ(h.Commands, Codes{49});
         EXPECT_EQ(h.CalibrationOpened, 0);
     }},
    {"CalibrationInMode0AsksAndStartsAutoCalibrationOnYes",
     [](InstrumentState&, RecordingHost& h) { h.Answers = {ConfirmAnswer::Yes}; },
     {Key::SB_Shift, Key::SB_Meas},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Asked, std::vector<ConfirmKind>{ConfirmKind::AutoCalibration});
         EXPECT_EQ(s.CalibrationKind, 1);
         EXPECT_EQ(h.Commands, Codes{50});
         EXPECT_TRUE(h.IsKeyDown(Key::SB_Reset));
     }},
    {"CalibrationInMode0CancelledSendsNothing",
     nullptr,
     {Key::SB_Shift, Key::SB_Meas},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Asked.size(), 1u);
         EXPECT_EQ(s.CalibrationKind, 0);
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_EQ(s.Mode, 0);
     }},
    {"CalibrationInMeasurementWithCompensationActiveCancelsIt",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = 12;
         s.CoefComp = 1;
     },
     {Key::SB_Shift, Key::SB_Meas},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.CoefComp, 0);
         EXPECT_EQ(h.CancelHint, "2");
         EXPECT_EQ(h.Commands, Codes{49});
     }},
    {"ZeroSettingCurrentRangeSendsKindTwo",
     [](InstrumentState&, RecordingHost& h) { h.Answers = {ConfirmAnswer::Yes}; },
     {Key::SB_Shift, Key::SB_U},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Asked, std::vector<ConfirmKind>{ConfirmKind::ZeroSetting});
         EXPECT_EQ(s.CalibrationKind, 2);
         EXPECT_EQ(h.Commands, Codes{50});
     }},
    {"ZeroSettingAllRangesSendsKindThree",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = 12;
         h.Answers = {ConfirmAnswer::No};
     },
     {Key::SB_Shift, Key::SB_U},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.CalibrationKind, 3);
         EXPECT_EQ(h.Commands, Codes{50});
     }},
    {"ZeroSettingCancelledSendsNothingAndKeepsCurrentLatched",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 12;
         s.CalibrationKind = 2;
     },
     {Key::SB_Shift, Key::SB_U},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.CalibrationKind, 0);
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_TRUE(h.IsKeyDown(Key::SB_I));
     }},
    {"FiftyAmpereKeyOnOneAmpereGoesToTheFiftyAmpereRowSilently",
     [](InstrumentState& s, RecordingHost&) { s.RangeIndex = 13; },
     {Key::SB_Shift, Key::SB_4},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 30);
         EXPECT_EQ(s.Mode, 0);
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_TRUE(Logged(h, "PrintMode"));
     }},
    {"FiftyAmpereKeyOnNegativeCurrentGoesToRow31",
     [](InstrumentState& s, RecordingHost&) { s.RangeIndex = 16; },
     {Key::SB_Shift, Key::SB_4},
     [](const InstrumentState& s, const RecordingHost&) { EXPECT_EQ(s.RangeIndex, 31); }},
    {"FiftyAmpereKeyOnAcCurrentGoesToRow32",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 27;
         s.OutputDigits = "0010000";
     },
     {Key::SB_Shift, Key::SB_4},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 32);
         EXPECT_TRUE(h.FreqPanelVisible);
     }},
    {"FiftyAmpereKeyOnAVoltageRangeDoesNothing",
     nullptr,
     {Key::SB_Shift, Key::SB_4},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.RangeIndex, 2);
         EXPECT_TRUE(h.Log.empty());
     }},
    {"FiftyAmpereKeyWithTheOutputOnResetsTheInstrumentFirst",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = 1;
         s.RangeIndex = 14;
     },
     {Key::SB_Shift, Key::SB_4},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Commands, Codes{1});
         EXPECT_EQ(s.Mode, 0);
         EXPECT_EQ(s.RangeIndex, 30);
     }},
    {"MinimumOnAcIsOnePercentInSevenDigits",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 24;
         s.OutputDigits = "5000000";
     },
     {Key::SB_Shift, Key::SB_2},
     [](const InstrumentState& s, const RecordingHost&) { EXPECT_EQ(s.OutputDigits, "0010000"); }},
    {"MaximumOn700VoltIsSevenHundredVolts",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 24;
         s.OutputDigits = "0010000";
     },
     {Key::SB_Shift, Key::SB_3},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OutputDigits, "7000000");
         EXPECT_EQ(h.Field.Digits().toStdString(), "7000000");
     }},
    {"MaximumInMode1SendsTheNewValue",
     Mode1,
     {Key::SB_Shift, Key::SB_3},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OutputDigits, "10000000");
         EXPECT_EQ(h.Commands, Codes{16});
     }},
    {"MaximumInMeasurementDoesNothing",
     [](InstrumentState& s, RecordingHost&) { s.Mode = 12; },
     {Key::SB_Shift, Key::SB_3},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OutputDigits, "00000000");
         EXPECT_TRUE(h.Log.empty());
     }},
    {"MenuReadsTheParametersThenOpensTheDialog",
     nullptr,
     {Key::SB_Shift, Key::SB_5},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.Log, (std::vector<std::string>{"command 5", "TFormParam"}));
     }},
    {"ScreenKeyFlipsTheDisplayFlagAndSendsNine",
     nullptr,
     {Key::SB_Shift, Key::SB_Polar},
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
     {Key::SB_Shift, Key::SB_Polar},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.ScreenOn, 0);
         EXPECT_TRUE(h.IsKeyDown(Key::SB_Sin));
         EXPECT_EQ(h.Commands, Codes{9});
     }},
    {"FrequencyKeyOnDcLatchesPolarBack",
     nullptr,
     {Key::SB_Shift, Key::SB_Sin},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_TRUE(h.IsKeyDown(Key::SB_Polar));
         EXPECT_TRUE(h.Log.empty());
     }},
    {"ResetInMode0ClearsIndicatorsAndTheAcValue",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 21;
         s.OutputDigits = "0500000";
         s.OkCalibr = 1;
         s.CoefCalibr = 1;
     },
     {Key::SB_Reset},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OkCalibr, 0);
         EXPECT_EQ(s.CoefCalibr, 0);
         EXPECT_EQ(s.OutputDigits, "0010000");
         EXPECT_TRUE(h.FreqPanelVisible);
         EXPECT_EQ(h.Log.back(), "command 1");
     }},
    {"ResetInMode1KeepsTheValueAndIndicators",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = 1;
         s.OutputDigits = "05000000";
         s.OkCalibr = 1;
         s.VoltmeterPercent = 1;
     },
     {Key::SB_Reset},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.Mode, 0);
         EXPECT_EQ(s.OutputDigits, "05000000");
         EXPECT_EQ(s.OkCalibr, 1);
         EXPECT_EQ(s.VoltmeterPercent, 0);
         EXPECT_EQ(h.Commands, Codes{1});
     }},
    {"ResetWithShiftDownOnlyReleasesShiftAndResets",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = 12;
         h.OutputEntryVisible = false;
     },
     {Key::SB_Shift, Key::SB_Reset},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.Mode, 0);
         EXPECT_TRUE(h.OutputEntryVisible);
         EXPECT_EQ(h.Commands, Codes{1});
     }},
    {"EnterInMode0SetsTheOutputAndStartsTheOutputOnTimer",
     nullptr,
     {Key::SB_Enter},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.Log, (std::vector<std::string>{"command 16", "predel on"}));
         EXPECT_TRUE(h.IsKeyDown(Key::SB_Enter));
     }},
    {"EnterInMeasurementOnlyLatchesMeasureAgain",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = 12;
         h.Keys.SetDown(Key::SB_Meas, true);
     },
     {Key::SB_Enter},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_TRUE(h.Log.empty());
         EXPECT_TRUE(h.IsKeyDown(Key::SB_Meas));
     }},
    {"ShiftedEnterInMode0LatchesResetAndSendsNothing",
     nullptr,
     {Key::SB_Shift, Key::SB_Enter},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_TRUE(h.Log.empty());
         EXPECT_TRUE(h.IsKeyDown(Key::SB_Reset));
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
        std::vector<Key> Presses;
        Codes Commands; // issued by this step
        int Interval;   // TimerQuery interval after the step (0: not set by the step)
    };
    const Step steps[] = {
        {"measure", {Key::SB_Meas}, {32}, 4000},
        {"U2", {Key::SB_2}, {36}, 4000},
        {"U2 again", {Key::SB_2}, {}, 0},
        {"U1", {Key::SB_1}, {36}, 4000},
        {"U1 again", {Key::SB_1}, {}, 0},
        {"AUTO off", {Key::SB_5}, {36}, 0},
        {"delta", {Key::SB_3}, {36}, 1000},
        {"AUTO refused in delta", {Key::SB_5}, {}, 0},
        {"percent", {Key::SB_Shift, Key::SB_1}, {36}, 1000},
    };
    for (const Step& step : steps) {
        host.Commands.clear();
        host.QueryInterval = 0;
        state.KeepQueryInterval = 0;
        for (Key key : step.Presses) {
            keys.Press(key);
        }
        EXPECT_EQ(host.Commands, step.Commands) << step.What;
        EXPECT_EQ(host.QueryInterval, step.Interval) << step.What;
        EXPECT_EQ(state.KeepQueryInterval, step.Interval != 0 ? 1 : 0) << step.What;
    }
    EXPECT_EQ(state.Mode, 12);
    EXPECT_EQ(state.VoltmeterInput, 0);
    EXPECT_EQ(state.VoltmeterDelta, 1);
    EXPECT_EQ(state.VoltmeterPercent, 1);
    EXPECT_EQ(state.VoltmeterAuto, 0);
    EXPECT_FALSE(host.OutputEntryVisible);
    EXPECT_FALSE(host.FreqPanelVisible);

    // Back to input 1 clears the difference; AUTO then works again.
    keys.Press(Key::SB_2);
    keys.Press(Key::SB_5);
    EXPECT_EQ(state.VoltmeterDelta, 0);
    EXPECT_EQ(state.VoltmeterPercent, 0);
    EXPECT_EQ(state.VoltmeterAuto, 1);
}

// Any key that reads the shift key releases it, whether or not its shifted function applies.
TEST(ShiftKey, IsReleasedByEveryKey) {
    for (size_t i = 0; i < KeyCount; ++i) {
        const Key key = static_cast<Key>(i);
        if (key == Key::SB_Shift) {
            continue;
        }
        InstrumentState state;
        state.Mode = 12; // no dialog opens there for the keys that have one elsewhere
        RecordingHost host(state);
        Keypad keys(state, host);
        keys.Press(Key::SB_Shift);
        ASSERT_TRUE(host.IsKeyDown(Key::SB_Shift));
        keys.Press(key);
        EXPECT_FALSE(host.IsKeyDown(Key::SB_Shift)) << "key " << i;
    }
}

TEST(ShiftKey, PressedTwiceIsUpAgain) {
    InstrumentState state;
    RecordingHost host(state);
    Keypad keys(state, host);
    keys.Press(Key::SB_Shift);
    keys.Press(Key::SB_Shift);
    EXPECT_FALSE(host.IsKeyDown(Key::SB_Shift));
    keys.Press(Key::SB_7);
    EXPECT_EQ(state.RangeIndex, 2);
}

struct ThresholdCase {
    const char* Name;
    uint8_t VoltmeterRange;
    const char* MeasuredDigits;
    bool Opens;
};

class MeasurementCalibrationThreshold : public testing::TestWithParam<ThresholdCase> {};

TEST_P(MeasurementCalibrationThreshold, ScalesTheReadingByRange) {
    const ThresholdCase& c = GetParam();
    InstrumentState state;
    state.Mode = 12;
    state.VoltmeterRange = c.VoltmeterRange;
    state.MeasuredDigits = c.MeasuredDigits;
    RecordingHost host(state);
    host.CalibrationAnswer = true;
    Keypad keys(state, host);
    keys.Press(Key::SB_Shift);
    keys.Press(Key::SB_Meas);
    EXPECT_EQ(host.CalibrationOpened, c.Opens ? 1 : 0);
    EXPECT_EQ(host.Commands, c.Opens ? Codes{52} : Codes{});
}

INSTANTIATE_TEST_SUITE_P(Ranges, MeasurementCalibrationThreshold,
                         testing::Values(
                             // name                              range digits        opens
                             ThresholdCase{"Range0AsRead", 0, "0000900000", true},
                             ThresholdCase{"Range0Below", 0, "0000899999", false},
                             ThresholdCase{"Range1DividedByTen", 1, "0009000000", true},
                             ThresholdCase{"Range1BelowAfterDivision", 1, "0008999999", false},
                             ThresholdCase{"Range2DividedByHundred", 2, "0090000000", true},
                             ThresholdCase{"Range2BelowAfterDivision", 2, "0089999999", false},
                             ThresholdCase{"Range3DividedByTen", 3, "0009000000", true},
                             ThresholdCase{"Range4DividedByHundred", 4, "0090000000", true},
                             ThresholdCase{"RangeAboveFourNeverOpens", 5, "9999999999", false},
                             ThresholdCase{"NoReadingYetNeverOpens", 2, "", false}),
                         [](const testing::TestParamInfo<ThresholdCase>& row) {
                             return row.param.Name;
                         });

} // namespace
} // namespace vr410
