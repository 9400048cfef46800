// What the dialogs show for the values the answers report: the parameters dialog's controls,
// the error list, the accessory window's buttons and the about box's firmware line.
#include "shell/dialog_model.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vr410 {
namespace {

using Values = std::array<int, 10>;

TEST(DialogModel, ParametersGoToTheirControlsTheTrackBarOneBelowTheBrightness) {
    InstrumentParameters p;
    p.Sound = 1;
    p.Brightness = 8;
    p.TimeInd = 4;
    p.DigitalFilter = 3;
    p.NumDigits = 2;
    p.ViewMode = 0;
    p.MoveCursor = 0;
    p.Blanking = 1;
    p.CoefCalibr = 1;
    p.CoefComp = 0;
    //                         Sound Bright Time Filter Digits View Cursor Blank Calibr Comp
    EXPECT_EQ(ParameterControlValues(p), (Values{1, 7, 4, 3, 2, 0, 0, 1, 1, 0}));
    p.Brightness = 1;
    EXPECT_EQ(ParameterControlValues(p)[static_cast<size_t>(ParamControl::TrackBarBrihtness)], 0);
}

TEST(DialogModel, UserCalibrationTicksTheBoxOfItsPartOnly) {
    DialogModel model;
    model.ShowUserCalibration(CalibratedPart::Calibrator);
    EXPECT_EQ(model.Param(ParamControl::CB_CoefCalibr), 1);
    EXPECT_EQ(model.Param(ParamControl::CB_CoefComp), 0);
    model.ShowUserCalibration(CalibratedPart::Voltmeter);
    EXPECT_EQ(model.Param(ParamControl::CB_CoefComp), 1);
}

TEST(DialogModel, ErrorListShowsDecimalCodesOrNone) {
    EXPECT_EQ(ErrorListEntries({}), std::vector<std::string>{"отсутствуют"});
    EXPECT_EQ(ErrorListEntries({7, 0, 255}), (std::vector<std::string>{"7", "0", "255"}));
}

TEST(DialogModel, FirmwareLabelNamesTheVersion) {
    DialogModel model;
    EXPECT_EQ(model.FirmwareLabel, "Версия встроенного ПО: нет связи!");
    model.ShowFirmwareVersion("2.06");
    EXPECT_EQ(model.FirmwareLabel, "Версия встроенного ПО 2.06");
}

using Presses = std::vector<AccessoryButton>;
using B = AccessoryButton;

struct AccessoryCase {
    const char* Name;
    uint8_t Band;
    uint8_t Factor;
    Presses Expected;
};

void PrintTo(const AccessoryCase& c, std::ostream* os) {
    *os << c.Name;
}

class AccessoryPresses : public testing::TestWithParam<AccessoryCase> {};

TEST_P(AccessoryPresses, FollowTheBandAndFactorAsTheyCame) {
    EXPECT_EQ(AccessoryButtonPresses(GetParam().Band, GetParam().Factor), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(DialogModel, AccessoryPresses,
                         testing::Values(
                             // clang-format off
        //            Name                   Band Factor Presses
        AccessoryCase{"Band1AFactor1",        3,   5,    {B::SB_4, B::SB_0}},
        AccessoryCase{"Band20VFactor0",       5,   1,    {B::SB_Enter, B::SB_6}},
        AccessoryCase{"Band1mAFactor05",      0,   3,    {B::SB_1, B::SB_8}},
        AccessoryCase{"Band30AHasNoButton",   6,   4,    {B::SB_9}},
        AccessoryCase{"ResetReportFF",       15,  15,    {B::SB_Reset}},
        AccessoryCase{"Band9",                9,   1,    {B::SB_Reset, B::SB_1}},
        AccessoryCase{"Factor0",              3,   0,    {B::SB_Reset, B::SB_6}},
        AccessoryCase{"Factor6",              2,   6,    {B::SB_Reset, B::SB_6}},
        AccessoryCase{"BandAndFactorBad",     7,  15,    {B::SB_Reset, B::SB_1, B::SB_6}},
        AccessoryCase{"Band15FactorValid",   15,   1,    {B::SB_Reset, B::SB_1}}),
                         // clang-format on
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(DialogModel, AccessoryAnswersQueueTheirPresses) {
    DialogModel model;
    model.ShowAccessory(9, 1);
    EXPECT_EQ(model.AccessoryPresses, (std::deque<AccessoryButton>{B::SB_Reset, B::SB_1}));
}

} // namespace
} // namespace vr410
