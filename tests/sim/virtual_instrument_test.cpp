// The virtual instrument's answers: layout per function code, error answers where the
// instrument refuses, and what each request leaves in its state.
#include "sim/virtual_instrument.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

namespace vr410::sim {
namespace {

using test::Hex;
using test::MessageOf;
using test::Request;

constexpr SimClock::time_point T0{};

struct AnswerCase {
    const char* Name;
    void (*Setup)(VirtualInstrumentState&); // nullptr: the state at power-on
    uint8_t Code;
    const char* Payload;
    const char* Answer;                           // M[0..L] of the answer from instrument 1 to PC 0
    bool (*Holds)(const VirtualInstrumentState&); // what the request leaves, nullptr: nothing
};

void PrintTo(const AnswerCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const AnswerCase AnswerCases[] = {
    {.Name = "ResetTurnsTheOutputOff",
     .Setup = [](VirtualInstrumentState& s) { s.Mode = PanelMode::OutputOn; s.OutputLive = true; },
     .Code = 1, .Payload = "", .Answer = "03 04 01 01",
     .Holds = [](const VirtualInstrumentState& s) { return s.Mode == PanelMode::OutputEntry && !s.OutputLive; }},
    {.Name = "ReadParametersSendsAnEmptyErrorListAsOneZero", .Setup = nullptr,
     .Code = 5, .Payload = "", .Answer = "07 04 01 05 1E 50 00 00", .Holds = nullptr},
    {.Name = "ReadParametersListsStoredErrorsAndCalibrationFlags",
     .Setup = [](VirtualInstrumentState& s) { s.ErrorList = {3, 7}; s.CoefCalibr = true; s.CoefComp = true; },
     .Code = 5, .Payload = "", .Answer = "08 04 01 05 1E 50 11 03 07", .Holds = nullptr},
    {.Name = "SetParametersStoresBothBytesAndTakesTheNewAddress", .Setup = nullptr,
     .Code = 6, .Payload = "1F 51 05", .Answer = "03 04 01 06",
     .Holds = [](const VirtualInstrumentState& s) { return s.ParamA == 0x1F && s.ParamB == 0x51 && s.Address == 5; }},
    {.Name = "SetParametersAccepts240", .Setup = nullptr,
     .Code = 6, .Payload = "1E 50 F0", .Answer = "03 04 01 06",
     .Holds = [](const VirtualInstrumentState& s) { return s.Address == 240; }},
    {.Name = "ExchangeTestOutsideMeasurementReportsNoFreshValue", .Setup = nullptr,
     .Code = 8, .Payload = "", .Answer = "03 04 01 08", .Holds = nullptr},
    {.Name = "DisplayOffIsStored", .Setup = nullptr,
     .Code = 9, .Payload = "00", .Answer = "03 04 01 09",
     .Holds = [](const VirtualInstrumentState& s) { return !s.ScreenOn; }},
    {.Name = "PollStateCarriesScreenZerosAndVoltmeterFlags",
     .Setup = [](VirtualInstrumentState& s) { s.OkCalibr = true; s.OkInput2 = true; },
     .Code = 10, .Payload = "", .Answer = "04 04 01 0A 2B", .Holds = nullptr},
    {.Name = "SetOutputStoresValueRangeFrequencyAndTurnsTheOutputOn", .Setup = nullptr,
     .Code = 16, .Payload = "01 00 00 00 02 03 E8", .Answer = "03 04 01 10",
     .Holds = [](const VirtualInstrumentState& s) {
         return s.Mode == PanelMode::OutputOn && s.OutputLive && s.RangeIndex == 2 &&
                s.OutputDigits == std::array<uint8_t, 8>{0, 1, 0, 0, 0, 0, 0, 0} && s.Frequency == 1000; }},
    {.Name = "SetOutputOnAnAcRowDropsTheEighthDigit", .Setup = nullptr,
     .Code = 16, .Payload = "00 10 00 07 16 00 32", .Answer = "03 04 01 10",
     .Holds = [](const VirtualInstrumentState& s) {
         return s.RangeIndex == 22 && s.OutputDigits[7] == 0 && s.Frequency == 50; }},
    {.Name = "ReadOutputCarriesDigitsRangeAndFrequency",
     .Setup = [](VirtualInstrumentState& s) { s.RangeIndex = 22; s.OutputDigits = {0, 1, 2, 3, 4, 5, 6, 0}; s.Frequency = 50; },
     .Code = 17, .Payload = "", .Answer = "0A 04 01 11 01 23 45 60 16 00 32", .Holds = nullptr},
    {.Name = "CalibratorCompleteZeroKeepsItsValue", .Setup = nullptr,
     .Code = 18, .Payload = "FE 0C", .Answer = "03 04 01 12",
     .Holds = [](const VirtualInstrumentState& s) { return s.OkCalibr && s.CalibratorZero == -500; }},
    {.Name = "SwitchToMeasurement", .Setup = nullptr,
     .Code = 32, .Payload = "", .Answer = "03 04 01 20",
     .Holds = [](const VirtualInstrumentState& s) { return s.Mode == PanelMode::Measurement; }},
    {.Name = "MeasuredValueBeforeAnyReadingIsZeroOnTheAutomaticTenVoltRange", .Setup = nullptr,
     .Code = 33, .Payload = "", .Answer = "08 04 01 21 00 00 00 00 22", .Holds = nullptr},
    {.Name = "VoltmeterCompleteZeroOfInputU1", .Setup = nullptr,
     .Code = 34, .Payload = "", .Answer = "03 04 01 22",
     .Holds = [](const VirtualInstrumentState& s) { return s.OkInput1 && !s.OkInput2; }},
    {.Name = "VoltmeterControl", .Setup = nullptr,
     .Code = 36, .Payload = "03", .Answer = "03 04 01 24", .Holds = nullptr},
    {.Name = "CancelOneClearsTheCalibratorCompleteZero",
     .Setup = [](VirtualInstrumentState& s) { s.OkCalibr = true; s.CoefCalibr = true; },
     .Code = 49, .Payload = "01", .Answer = "03 04 01 31",
     .Holds = [](const VirtualInstrumentState& s) { return !s.OkCalibr && s.CoefCalibr; }},
    {.Name = "CancelTwoClearsTheCalibratorUserCalibration",
     .Setup = [](VirtualInstrumentState& s) { s.OkCalibr = true; s.CoefCalibr = true; },
     .Code = 49, .Payload = "02", .Answer = "03 04 01 31",
     .Holds = [](const VirtualInstrumentState& s) { return s.OkCalibr && !s.CoefCalibr; }},
    {.Name = "CalibrationKindIsKept", .Setup = nullptr,
     .Code = 50, .Payload = "02", .Answer = "03 04 01 32",
     .Holds = [](const VirtualInstrumentState& s) { return s.LastCalibrationKind == 2; }},
    {.Name = "UserCalibrationOutsideMeasurementSetsTheCalibratorCoefficient", .Setup = nullptr,
     .Code = 52, .Payload = "01 00 00 00", .Answer = "03 04 01 34",
     .Holds = [](const VirtualInstrumentState& s) { return s.CoefCalibr && !s.CoefComp; }},
    {.Name = "UserCalibrationWhileMeasuringSetsTheVoltmeterCoefficient",
     .Setup = [](VirtualInstrumentState& s) { s.Mode = PanelMode::Measurement; },
     .Code = 52, .Payload = "01 00 00 00", .Answer = "03 04 01 34",
     .Holds = [](const VirtualInstrumentState& s) { return s.CoefComp && !s.CoefCalibr; }},
};
// clang-format on

class InstrumentAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(InstrumentAnswers, AnswerHasTheLayoutTheDecoderReads) {
    const AnswerCase& c = GetParam();
    VirtualInstrument instrument({.Seed = 1});
    if (c.Setup) {
        c.Setup(instrument.MutableState());
    }
    const auto answer = instrument.HandleRequest(Request(1, c.Code, Hex(c.Payload)), T0);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ((*answer)[0], 0) << "answers go to the request's source";
    EXPECT_EQ(MessageOf(*answer), Hex(c.Answer));
    if (c.Holds) {
        EXPECT_TRUE(c.Holds(instrument.State()));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCode, InstrumentAnswers, ::testing::ValuesIn(AnswerCases),
                         [](const auto& row) { return std::string(row.param.Name); });

struct RefusalCase {
    const char* Name;
    void (*Setup)(VirtualInstrumentState&);
    uint8_t Code;
    const char* Payload;
    uint8_t Error; // 0: accepted
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const RefusalCase RefusalCases[] = {
    {.Name = "NewAddressAbove240",            .Setup = nullptr, .Code = 6,  .Payload = "1E 50 F1",             .Error = 1},
    {.Name = "SetOutputWhileMeasuring",
     .Setup = [](VirtualInstrumentState& s) { s.Mode = PanelMode::Measurement; },
                                                                .Code = 16, .Payload = "01 00 00 00 02 03 E8", .Error = 16},
    {.Name = "DcValueAtItsMaximum",           .Setup = nullptr, .Code = 16, .Payload = "10 20 00 00 02 03 E8", .Error = 0},
    {.Name = "DcValueAboveItsMaximum",        .Setup = nullptr, .Code = 16, .Payload = "10 20 00 01 02 03 E8", .Error = 17},
    {.Name = "FiftyAmpereRowAtItsMaximum",    .Setup = nullptr, .Code = 16, .Payload = "51 00 00 00 1E 03 E8", .Error = 0},
    {.Name = "FiftyAmpereRowAboveItsMaximum", .Setup = nullptr, .Code = 16, .Payload = "51 00 00 01 1E 03 E8", .Error = 17},
    {.Name = "AcSevenDigitsAtTheMaximum",     .Setup = nullptr, .Code = 16, .Payload = "10 20 00 00 16 03 E8", .Error = 0},
    {.Name = "AcSevenDigitsAboveTheMaximum",  .Setup = nullptr, .Code = 16, .Payload = "10 20 00 10 16 03 E8", .Error = 17},
    {.Name = "Ac700VoltRowAt7140000",         .Setup = nullptr, .Code = 16, .Payload = "71 40 00 00 18 03 E8", .Error = 0},
    {.Name = "Ac700VoltRowAbove7140000",      .Setup = nullptr, .Code = 16, .Payload = "71 40 00 10 18 03 E8", .Error = 17},
    {.Name = "NibbleThatIsNoDigit",           .Setup = nullptr, .Code = 16, .Payload = "0A 00 00 00 02 03 E8", .Error = 17},
    {.Name = "AcFrequency44",                 .Setup = nullptr, .Code = 16, .Payload = "00 10 00 00 16 00 2C", .Error = 18},
    {.Name = "AcFrequency45",                 .Setup = nullptr, .Code = 16, .Payload = "00 10 00 00 16 00 2D", .Error = 0},
    {.Name = "AcFrequency1000",               .Setup = nullptr, .Code = 16, .Payload = "00 10 00 00 16 03 E8", .Error = 0},
    {.Name = "AcFrequency1001",               .Setup = nullptr, .Code = 16, .Payload = "00 10 00 00 16 03 E9", .Error = 18},
    {.Name = "DcRowIgnoresTheFrequency",      .Setup = nullptr, .Code = 16, .Payload = "01 00 00 00 02 00 00", .Error = 0},
    {.Name = "RangeByte39IsUnknown",          .Setup = nullptr, .Code = 16, .Payload = "01 00 00 00 27 03 E8", .Error = 34},
    {.Name = "VoltmeterRange5WithoutAuto",    .Setup = nullptr, .Code = 36, .Payload = "05",                   .Error = 34},
    {.Name = "VoltmeterRange5UnderAutoIsIgnored", .Setup = nullptr, .Code = 36, .Payload = "25",               .Error = 0},
    {.Name = "VoltmeterRange7WithDelta",      .Setup = nullptr, .Code = 36, .Payload = "37",                   .Error = 34},
    {.Name = "UserCalibrationNibbleThatIsNoDigit", .Setup = nullptr, .Code = 52, .Payload = "00 F0 00 00",     .Error = 17},
};
// clang-format on

class InstrumentRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(InstrumentRefusals, ErrorAnswerCarriesTheCodeAndChangesNothing) {
    const RefusalCase& c = GetParam();
    VirtualInstrument instrument({.Seed = 1});
    if (c.Setup) {
        c.Setup(instrument.MutableState());
    }
    const VirtualInstrumentState before = instrument.State();
    const auto answer = instrument.HandleRequest(Request(1, c.Code, Hex(c.Payload)), T0);
    ASSERT_TRUE(answer.has_value());
    if (c.Error == 0) {
        EXPECT_EQ((*answer)[4], c.Code);
        return;
    }
    EXPECT_EQ(MessageOf(*answer), (std::vector<uint8_t>{0x04, 0x04, 0x01, 0xAA, c.Error}));
    const VirtualInstrumentState& after = instrument.State();
    EXPECT_EQ(after.Address, before.Address);
    EXPECT_EQ(after.Mode, before.Mode);
    EXPECT_EQ(after.RangeIndex, before.RangeIndex);
    EXPECT_EQ(after.OutputDigits, before.OutputDigits);
    EXPECT_EQ(after.CoefCalibr, before.CoefCalibr);
}

INSTANTIATE_TEST_SUITE_P(WhereTheInstrumentRefuses, InstrumentRefusals,
                         ::testing::ValuesIn(RefusalCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(VirtualInstrument, IgnoresWhatIsNotARequestOfItsCommandSet) {
    VirtualInstrument instrument({.Seed = 1});
    FrameBytes answerLike = Request(1, 1);
    answerLike[2] = 0x04; // an answer's control byte: request flag clear
    EXPECT_FALSE(instrument.HandleRequest(answerLike, T0));
    EXPECT_FALSE(instrument.HandleRequest(Request(1, 0x07), T0)) << "unknown function code";
    EXPECT_FALSE(instrument.HandleRequest(Request(1, 16, Hex("31")), T0))
        << "the accessory's one-byte set output";
}

TEST(VirtualInstrument, ParametersAnswerWithTheLongestErrorListFillsThreeBlocks) {
    VirtualInstrument instrument({.Seed = 1});
    for (uint8_t code = 1; code <= 40; ++code) {
        instrument.MutableState().ErrorList.push_back(code);
    }
    const auto answer = instrument.HandleRequest(Request(1, 5), T0);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ((*answer)[1], 37) << "31 codes fit, the rest are not sent";
    EXPECT_EQ((*answer)[8], 1);
    EXPECT_EQ((*answer)[38], 31);
}

TEST(VirtualInstrument, CancelWhileMeasuringClearsTheSelectedInputsZero) {
    VirtualInstrument instrument({.Seed = 1});
    VirtualInstrumentState& s = instrument.MutableState();
    s.Mode = PanelMode::Measurement;
    s.OkInput1 = s.OkInput2 = s.OkCalibr = true;
    ASSERT_TRUE(instrument.HandleRequest(Request(1, 36, Hex("28")), T0)); // input U2, auto
    ASSERT_TRUE(instrument.HandleRequest(Request(1, 49, Hex("01")), T0));
    EXPECT_TRUE(s.OkInput1);
    EXPECT_FALSE(s.OkInput2);
    EXPECT_TRUE(s.OkCalibr);
}

} // namespace
} // namespace vr410::sim
