// The zero and calibration keys ("Ок", "Установка О", "Калибровка") with their dialogs,
// confirmation boxes and cancel paths, against a recording main window.
#include "key_cases.h"

namespace vr410::test {
namespace {

const KeyCase CalibrationKeyCases[] = {
    {"OkInMode1OnAcOpensAndSendsNothing",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::OutputOn;
         s.RangeIndex = 21;
         s.OutputDigits = "0500000";
     },
     {PanelKey::SB_Shift, PanelKey::SB_I},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.OkCalOpened, 0);
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_U));
     }},
    {"OkInMode1AcceptedWithAValueSetsTheCompleteZero",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = PanelMode::OutputOn;
         h.OkCalAnswer = {.Accepted = true, .Value = 2.5};
     },
     {PanelKey::SB_Shift, PanelKey::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.OkCalDecimals, 1);
         EXPECT_EQ(h.OkCalLabel, "uV");
         EXPECT_EQ(s.OkCalibr, 1);
         EXPECT_TRUE(Logged(h, "PrintText 19,2,4 'Ок'"));
         EXPECT_EQ(h.Commands, Codes{18});
     }},
    {"OkInMode1AcceptedWithZeroCancelsTheCompleteZero",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = PanelMode::OutputOn;
         s.RangeIndex = 14;
         h.OkCalAnswer = {.Accepted = true, .Value = 0.0};
     },
     {PanelKey::SB_Shift, PanelKey::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.OkCalLabel, "mA");
         EXPECT_EQ(h.OkCalDecimals, 3);
         EXPECT_EQ(s.OkCalibr, 0);
         EXPECT_EQ(h.CancelHint, "1");
         EXPECT_EQ(h.Commands, Codes{49});
     }},
    {"OkInMode1RefusedCancelsTheCompleteZero",
     WithOutputOn,
     {PanelKey::SB_Shift, PanelKey::SB_I},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.OkCalOpened, 1);
         EXPECT_TRUE(Logged(h, "PrintText 19,2,4 '  '"));
         EXPECT_EQ(h.CancelHint, "1");
         EXPECT_EQ(h.Commands, Codes{49});
     }},
    {"OkInMode0WithCompleteZeroActiveCancelsItInRowOne",
     [](InstrumentState& s, RecordingHost&) { s.OkCalibr = 1; },
     {PanelKey::SB_Shift, PanelKey::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OkCalibr, 0);
         EXPECT_TRUE(Logged(h, "PrintText 19,1,4 '  '"));
         EXPECT_EQ(h.CancelHint, "1");
         EXPECT_EQ(h.Commands, Codes{49});
     }},
    {"OkInMode0WithoutCompleteZeroDoesNothing",
     nullptr,
     {PanelKey::SB_Shift, PanelKey::SB_I},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_EQ(h.OkCalOpened, 0);
     }},
    {"OkInMeasurementSetsTheZeroOfInputTwo",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::Measurement;
         s.VoltmeterInput = 1;
     },
     {PanelKey::SB_Shift, PanelKey::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OkInput2, 1);
         EXPECT_EQ(s.OkInput1, 0);
         EXPECT_TRUE(Logged(h, "PrintText 19,2,4 'Ok'"));
         EXPECT_EQ(h.Commands, Codes{34});
     }},
    {"OkInMeasurementCancelsAnActiveInputZero",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::Measurement;
         s.OkInput1 = 1;
     },
     {PanelKey::SB_Shift, PanelKey::SB_I},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.OkInput1, 0);
         EXPECT_EQ(h.CancelHint, "1");
         EXPECT_EQ(h.Commands, Codes{49});
     }},
    {"CalibrationInMode1Below900000OpensNothing",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = PanelMode::OutputOn;
         s.OutputDigits = "00899999";
         h.CalibrationAnswer = true;
     },
     {PanelKey::SB_Shift, PanelKey::SB_Meas},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.CalibrationOpened, 0);
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_Enter));
     }},
    {"CalibrationInMode1At900000OpensTheDialogAndSendsOnYes",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = PanelMode::OutputOn;
         s.OutputDigits = "00900000";
         h.CalibrationAnswer = true;
     },
     {PanelKey::SB_Shift, PanelKey::SB_Meas},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.CalibrationOpened, 1);
         EXPECT_EQ(h.Commands, Codes{52});
     }},
    {"CalibrationDialogClosedWithoutYesSendsNothing",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::OutputOn;
         s.OutputDigits = "01000000";
     },
     {PanelKey::SB_Shift, PanelKey::SB_Meas},
     [](const InstrumentState&, const RecordingHost& h) {
         EXPECT_EQ(h.CalibrationOpened, 1);
         EXPECT_EQ(h.Commands, Codes{});
     }},
    {"CalibrationInMode1WithUserCalibrationActiveCancelsIt",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::OutputOn;
         s.CoefCalibr = 1;
         s.OutputDigits = "01000000";
     },
     {PanelKey::SB_Shift, PanelKey::SB_Meas},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.CoefCalibr, 0);
         EXPECT_TRUE(Logged(h, "PrintText 16,2,4 '  '"));
         EXPECT_EQ(h.CancelHint, "2");
         EXPECT_EQ(h.Commands, Codes{49});
         EXPECT_EQ(h.CalibrationOpened, 0);
     }},
    {"CalibrationInMode0AsksAndStartsAutoCalibrationOnYes",
     [](InstrumentState&, RecordingHost& h) { h.Answers = {ConfirmAnswer::Yes}; },
     {PanelKey::SB_Shift, PanelKey::SB_Meas},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Asked, std::vector<ConfirmKind>{ConfirmKind::AutoCalibration});
         EXPECT_EQ(s.CalibrationKind, 1);
         EXPECT_EQ(h.Commands, Codes{50});
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_Reset));
     }},
    {"CalibrationInMode0CancelledSendsNothing",
     nullptr,
     {PanelKey::SB_Shift, PanelKey::SB_Meas},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Asked.size(), 1u);
         EXPECT_EQ(s.CalibrationKind, 0);
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_EQ(s.Mode, PanelMode::OutputEntry);
     }},
    {"CalibrationInMeasurementWithCompensationActiveCancelsIt",
     [](InstrumentState& s, RecordingHost&) {
         s.Mode = PanelMode::Measurement;
         s.CoefComp = 1;
     },
     {PanelKey::SB_Shift, PanelKey::SB_Meas},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.CoefComp, 0);
         EXPECT_EQ(h.CancelHint, "2");
         EXPECT_EQ(h.Commands, Codes{49});
     }},
    {"ZeroSettingCurrentRangeSendsKindTwo",
     [](InstrumentState&, RecordingHost& h) { h.Answers = {ConfirmAnswer::Yes}; },
     {PanelKey::SB_Shift, PanelKey::SB_U},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(h.Asked, std::vector<ConfirmKind>{ConfirmKind::ZeroSetting});
         EXPECT_EQ(s.CalibrationKind, 2);
         EXPECT_EQ(h.Commands, Codes{50});
     }},
    {"ZeroSettingAllRangesSendsKindThree",
     [](InstrumentState& s, RecordingHost& h) {
         s.Mode = PanelMode::Measurement;
         h.Answers = {ConfirmAnswer::No};
     },
     {PanelKey::SB_Shift, PanelKey::SB_U},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.CalibrationKind, 3);
         EXPECT_EQ(h.Commands, Codes{50});
     }},
    {"ZeroSettingCancelledSendsNothingAndLatchesNothingBack",
     [](InstrumentState& s, RecordingHost&) {
         s.RangeIndex = 12;
         s.CalibrationKind = 2;
     },
     {PanelKey::SB_Shift, PanelKey::SB_U},
     [](const InstrumentState& s, const RecordingHost& h) {
         EXPECT_EQ(s.CalibrationKind, 0);
         EXPECT_EQ(h.Commands, Codes{});
         EXPECT_TRUE(h.IsKeyDown(PanelKey::SB_U));
     }},
};

INSTANTIATE_TEST_SUITE_P(CalibrationKeys, KeypadCases, testing::ValuesIn(CalibrationKeyCases),
                         [](const testing::TestParamInfo<KeyCase>& row) {
                             return std::string(row.param.Name);
                         });

struct ThresholdCase {
    const char* Name;
    uint8_t VoltmeterRange;
    const char* MeasuredDigits;
    bool Opens;
};

void PrintTo(const ThresholdCase& c, std::ostream* os) {
    *os << c.Name;
}

class MeasurementCalibrationThreshold : public testing::TestWithParam<ThresholdCase> {};

TEST_P(MeasurementCalibrationThreshold, ScalesTheReadingByRange) {
    const ThresholdCase& c = GetParam();
    InstrumentState state;
    state.Mode = PanelMode::Measurement;
    state.VoltmeterRange = c.VoltmeterRange;
    state.MeasuredDigits = c.MeasuredDigits;
    RecordingHost host(state);
    host.CalibrationAnswer = true;
    Keypad keys(state, host);
    keys.Press(PanelKey::SB_Shift);
    keys.Press(PanelKey::SB_Meas);
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
} // namespace vr410::test
