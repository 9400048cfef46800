// Answer decoding: the state written and every window effect, in order, for each code.
#include "protocol/answer.h"
#include "protocol/commands.h"
#include "protocol/request_encoder.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

using test::AnswerPacket;
using test::RecordingView;
using Calls = std::vector<std::string>;

class Decode : public ::testing::Test {
  protected:
    InstrumentState state;
    FrameBytes tx{};
    bool accessory = false;
    DecodeOutcome outcome; // of the last Run

    // Decodes an answer (message M[0..L] in hex, from instrument 1 to PC 0) to the selected
    // command and returns what was done to the windows.
    Calls Run(uint8_t code, const std::string& message) {
        state.CommandCode = code;
        tx[4] = code;
        const PacketRecord rx = AnswerPacket(0x00, message);
        RecordingView view;
        outcome = DecodeAnswer(AnswerContext{rx, tx, accessory}, state, view);
        return view.Calls;
    }
};

TEST_F(Decode, Reset) {
    EXPECT_EQ(Run(1, "03 04 01 01"), Calls{"Answer: Прибор в режиме сброса"});
}

TEST_F(Decode, ReadParametersReportsTheValuesAndNoErrors) {
    state.Brightness = 3;
    state.MoveCursor = 0;
    EXPECT_EQ(Run(5, "07 04 01 05 1E 50 10 00"),
              (Calls{"Parameters Sound 0 Brightness 8 TimeInd 1 DigitalFilter 0 NumDigits 0 "
                     "ViewMode 1 MoveCursor 1 Blanking 0 CoefCalibr 1 CoefComp 0",
                     "ErrorList", "Answer: Считаны параметры прибора"}));
    EXPECT_EQ(state.Sound, 0);
    EXPECT_EQ(state.Brightness, 8);
    EXPECT_EQ(state.TimeInd, 1);
    EXPECT_EQ(state.DigitalFilter, 0);
    EXPECT_EQ(state.NumDigits, 0);
    EXPECT_EQ(state.ViewMode, 1);
    EXPECT_EQ(state.MoveCursor, 1);
    EXPECT_EQ(state.Blanking, 0);
    EXPECT_EQ(state.CoefCalibr, 1);
    EXPECT_EQ(state.CoefComp, 0);
}

TEST_F(Decode, ReadParametersEveryOtherBit) {
    EXPECT_EQ(Run(5, "07 04 01 05 41 AB 03 00").at(0),
              "Parameters Sound 1 Brightness 1 TimeInd 4 DigitalFilter 3 NumDigits 2 ViewMode 2 "
              "MoveCursor 0 Blanking 1 CoefCalibr 0 CoefComp 1");
    EXPECT_EQ(state.Brightness, 1);
    EXPECT_EQ(state.Blanking, 1);
    EXPECT_EQ(state.CoefComp, 1);
}

struct ErrorListCase {
    const char* name;
    const char* message;
    const char* list;
};

void PrintTo(const ErrorListCase& c, std::ostream* os) {
    *os << c.name;
}

class ParameterErrorList : public ::testing::TestWithParam<ErrorListCase> {};

// The list is M[7..L] only when L > 7; an answer of L = 7 lists none whatever M[7] holds.
TEST_P(ParameterErrorList, ListsMessageBytesFromSevenOnlyPastLengthSeven) {
    InstrumentState state;
    state.CommandCode = 5;
    FrameBytes tx{};
    tx[4] = 5;
    const PacketRecord rx = AnswerPacket(0x00, GetParam().message);
    RecordingView view;
    DecodeAnswer(AnswerContext{rx, tx, false}, state, view);
    ASSERT_EQ(view.Calls.size(), 3u);
    EXPECT_EQ(view.Calls[1], GetParam().list);
    EXPECT_EQ(view.Calls[2], "Answer: Считаны параметры прибора");
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ParameterErrorList,
    ::testing::Values(
        ErrorListCase{"L6NoListByte", "06 04 01 05 1E 50 00", "ErrorList"},
        ErrorListCase{"L7Zero", "07 04 01 05 1E 50 00 00", "ErrorList"},
        ErrorListCase{"L7NonZeroByteIsNotListed", "07 04 01 05 1E 50 00 07", "ErrorList"},
        ErrorListCase{"L8ListsTwo", "08 04 01 05 1E 50 00 07 00", "ErrorList 7 0"},
        ErrorListCase{"L9ListsThree", "09 04 01 05 1E 50 00 20 21 FF", "ErrorList 32 33 255"},
        ErrorListCase{"L14FillsBlock0", "0E 04 01 05 1E 50 00 01 02 03 04 05 06 07 08",
                      "ErrorList 1 2 3 4 5 6 7 8"},
        ErrorListCase{"L15SkipsTheBlock0Check", "0F 04 01 05 1E 50 00 01 02 03 04 05 06 07 08 09",
                      "ErrorList 1 2 3 4 5 6 7 8 9"}),
    [](const auto& c) { return std::string(c.param.name); });

TEST_F(Decode, ReadParametersErrorListPastBlock0LeavesTheCheckBytesOut) {
    // L = 33: M[7..33] are 27 codes 7..33; check bytes at body 15 and 31 are not among them.
    std::string message = "21 04 01 05 1E 50 00";
    std::string expected = "ErrorList";
    for (int k = 7; k <= 33; ++k) {
        message += " " + std::to_string(k / 10) + std::to_string(k % 10);
        expected += " " + std::to_string((k / 10) * 16 + k % 10);
    }
    const Calls calls = Run(5, message);
    EXPECT_EQ(calls.at(1), expected);
}

TEST_F(Decode, SetParameters) {
    EXPECT_EQ(Run(6, "03 04 01 06"), Calls{"Answer: Параметры прибора установлены"});
}

TEST_F(Decode, ExchangeTestInMeasurementWithAFreshValueStartsTheReading) {
    state.Mode = PanelMode::Measurement;
    EXPECT_EQ(Run(8, "03 14 01 08"), (Calls{"Answer: Тест обмена - ОК", "FirmwareVersion 2.06"}));
    EXPECT_EQ(outcome.ReadValue, ReadValueAction::Start);
}

TEST_F(Decode, ExchangeTestWithoutAFreshValueStopsTheReading) {
    state.Mode = PanelMode::Measurement;
    Run(8, "03 04 01 08");
    EXPECT_EQ(outcome.ReadValue, ReadValueAction::Stop);
}

TEST_F(Decode, ExchangeTestOutsideMeasurementStopsTheReading) {
    state.Mode = PanelMode::OutputOn;
    Run(8, "03 14 01 08");
    EXPECT_EQ(outcome.ReadValue, ReadValueAction::Stop);
}

TEST_F(Decode, EveryOtherAnswerKeepsTheReadingTimer) {
    state.Mode = PanelMode::Measurement;
    for (const CommandInfo& command : CommandTable) {
        if (command.Code == 8) {
            continue;
        }
        std::vector<uint8_t> message{10, 0x14, 0x01, command.Code, 0, 0, 0, 0, 2, 0, 0};
        state.CommandCode = command.Code;
        tx[4] = command.Code;
        RecordingView view;
        const PacketRecord rx = AnswerPacket(0x00, message);
        EXPECT_EQ(DecodeAnswer(AnswerContext{rx, tx, false}, state, view).ReadValue,
                  ReadValueAction::Keep)
            << int(command.Code);
    }
}

TEST_F(Decode, DisplayOnOffFollowsTheStateNotTheAnswer) {
    EXPECT_EQ(Run(9, "04 04 01 09 00"), Calls{"Answer: Экран подключен"});
    state.ScreenOn = 0;
    EXPECT_EQ(Run(9, "04 04 01 09 01"), Calls{"Answer: Экран не подключен"});
}

TEST_F(Decode, PollStateSetsTheFlagsBitByBitThenRedraws) {
    EXPECT_EQ(Run(10, "04 04 01 0A 5A"), (Calls{"Answer: Состояние прибора считано", "PrintMode"}));
    EXPECT_EQ(state.ScreenOn, 0);
    EXPECT_EQ(state.OkCalibr, 1);
    EXPECT_EQ(state.OkInput1, 0);
    EXPECT_EQ(state.OkInput2, 1);
    EXPECT_EQ(state.VoltmeterInput, 1);
    EXPECT_EQ(state.VoltmeterAuto, 0);
    EXPECT_EQ(state.VoltmeterDelta, 1);
    EXPECT_EQ(state.VoltmeterPercent, 0);
    Run(10, "04 04 01 0A A5");
    EXPECT_EQ(state.ScreenOn, 1);
    EXPECT_EQ(state.OkCalibr, 0);
    EXPECT_EQ(state.OkInput1, 1);
    EXPECT_EQ(state.OkInput2, 0);
    EXPECT_EQ(state.VoltmeterInput, 0);
    EXPECT_EQ(state.VoltmeterAuto, 1);
    EXPECT_EQ(state.VoltmeterDelta, 0);
    EXPECT_EQ(state.VoltmeterPercent, 1);
}

TEST_F(Decode, SetOutputMarksItDone) {
    EXPECT_EQ(Run(16, "03 04 01 10"), Calls{"Answer: Выходное напряжение калибратора установлено"});
    EXPECT_EQ(state.OutputSetDone, 1);
}

TEST_F(Decode, ReadOutputOnADcRowLeavesTheFrequencyAndHidesItsPanel) {
    EXPECT_EQ(Run(17, "0A 04 01 11 01 00 00 00 03 00 2D"),
              (Calls{"PanelFreq hidden", "MaskEditVoltage 01000000",
                     "Answer: Считано значение калибратора"}));
    EXPECT_EQ(state.RangeIndex, 3);
    EXPECT_EQ(state.OutputDigits, "01000000");
}

TEST_F(Decode, ReadOutputOnAnAcRowTakesTheFrequencyAndSevenDigits) {
    EXPECT_EQ(Run(17, "0A 04 01 11 00 10 00 00 16 00 2D"),
              (Calls{"SE_Freq 45", "PanelFreq shown", "MaskEditVoltage 0010000",
                     "Answer: Считано значение калибратора"}));
    EXPECT_EQ(state.RangeIndex, 22);
    EXPECT_EQ(state.OutputDigits, "0010000");
    Run(17, "0A 04 01 11 00 10 00 00 20 03 E8");
    EXPECT_EQ(state.RangeIndex, 32);
}

TEST_F(Decode, ReadOutputDoesNotCheckTheNibbles) {
    Run(17, "0A 04 01 11 AB CD EF 12 02 00 00");
    EXPECT_EQ(state.OutputDigits, ":;<=>?12");
}

TEST_F(Decode, ReadOutputWithARangePastTheTableIgnoresTheRangeByte) {
    state.RangeIndex = 22;
    EXPECT_EQ(Run(17, "0A 04 01 11 00 20 00 00 27 01 F4"),
              (Calls{"SE_Freq 500", "PanelFreq shown", "MaskEditVoltage 0020000",
                     "Answer: Считано значение калибратора"}));
    EXPECT_EQ(state.RangeIndex, 22);
    state.RangeIndex = 2;
    EXPECT_EQ(Run(17, "0A 04 01 11 00 30 00 00 FF 01 F4").at(0), "PanelFreq hidden");
    EXPECT_EQ(state.RangeIndex, 2);
    EXPECT_EQ(state.OutputDigits, "00300000");
}

struct AccessoryCase {
    const char* name;
    const char* byte;
    Calls calls;
    uint8_t band;
    uint8_t factor;
};

void PrintTo(const AccessoryCase& c, std::ostream* os) {
    *os << c.name;
}

class AccessoryAnswers : public ::testing::TestWithParam<AccessoryCase> {};

TEST_P(AccessoryAnswers, ReportTheirBandAndFactor) {
    InstrumentState state;
    state.CommandCode = 17;
    FrameBytes tx{};
    tx[4] = 17;
    const PacketRecord rx = AnswerPacket(0x00, std::string("04 04 FB 11 ") + GetParam().byte);
    RecordingView view;
    DecodeAnswer(AnswerContext{rx, tx, true}, state, view);
    EXPECT_EQ(view.Calls, GetParam().calls);
    EXPECT_EQ(state.AccessoryBand, GetParam().band);
    EXPECT_EQ(state.AccessoryFactor, GetParam().factor);
    EXPECT_EQ(state.RangeIndex, 2) << "the calibrator's state is not touched";
}

const char* const ReadState = "Answer: Считано состояние VR410C";
const char* const ResetState = "Answer: Прибор в режиме сброса";

INSTANTIATE_TEST_SUITE_P(
    Bytes, AccessoryAnswers,
    ::testing::Values(AccessoryCase{"Band1AFactor1", "35", {"Accessory 3 5", ReadState}, 3, 5},
                      AccessoryCase{"Band20VFactor0", "51", {"Accessory 5 1", ReadState}, 5, 1},
                      AccessoryCase{"Band1mAFactor05", "03", {"Accessory 0 3", ReadState}, 0, 3},
                      AccessoryCase{"Band30A", "64", {"Accessory 6 4", ReadState}, 6, 4},
                      AccessoryCase{"ResetReportFF", "FF", {"Accessory 15 15", ResetState}, 15, 15},
                      AccessoryCase{"Band9TakenAs0", "91", {"Accessory 9 1", ResetState}, 0, 1},
                      AccessoryCase{"Factor0TakenAs1", "30", {"Accessory 3 0", ResetState}, 3, 1},
                      AccessoryCase{"Factor6TakenAs1", "26", {"Accessory 2 6", ResetState}, 2, 1},
                      AccessoryCase{
                          "BandAndFactorBad", "7F", {"Accessory 7 15", ResetState}, 0, 1}),
    [](const auto& c) { return std::string(c.param.name); });

TEST_F(Decode, PlainTexts) {
    EXPECT_EQ(Run(18, "03 04 01 12"), Calls{"Answer: Комплектный нуль калибратора установлен"});
    EXPECT_EQ(Run(32, "03 04 01 20"), Calls{"Answer: Режим измерение постоянного напряжения"});
    EXPECT_EQ(Run(34, "03 04 01 22"), Calls{"Answer: Комплектный нуль вольтметра установлен"});
    EXPECT_EQ(Run(36, "03 04 01 24"), Calls{"Answer: Параметры вольтметра установлены"});
}

TEST_F(Decode, MeasuredValueOutsideMeasurementOnlyReports) {
    state.Mode = PanelMode::OutputOn;
    EXPECT_EQ(Run(33, "08 04 01 21 00 00 00 07 20"), Calls{"Answer: Считано измеренное значение"});
    EXPECT_EQ(state.MeasuredValue, 0);
}

TEST_F(Decode, CancelTextFollowsTheRequestPayload) {
    tx[5] = 1;
    EXPECT_EQ(Run(49, "03 04 01 31"), Calls{"Answer: Комплектный нуль отменен"});
    tx[5] = 2;
    EXPECT_EQ(Run(49, "03 04 01 31"), Calls{"Answer: Пользовательская калибровка отменена"});
    tx[5] = 0;
    EXPECT_EQ(Run(49, "03 04 01 31"), Calls{"Answer: "});
}

TEST_F(Decode, CalibrationTextFollowsTheKind) {
    state.CalibrationKind = 1;
    EXPECT_EQ(Run(50, "03 04 01 32"), Calls{"Answer: Автокалибровка прибора"});
    state.CalibrationKind = 2;
    EXPECT_EQ(Run(50, "03 04 01 32"), Calls{"Answer: Установка нулей по текущему пределу"});
    state.CalibrationKind = 3;
    EXPECT_EQ(Run(50, "03 04 01 32"), Calls{"Answer: Установка всех нулей"});
    state.CalibrationKind = 0;
    EXPECT_EQ(Run(50, "03 04 01 32"), Calls{"Answer: "});
}

TEST_F(Decode, UserCalibrationWithOutputOnMarksTheCalibrator) {
    state.Mode = PanelMode::OutputOn;
    EXPECT_EQ(Run(52, "03 04 01 34"), (Calls{"Answer: Пользовательская калибровка активирована",
                                             "UserCalibration Calibrator", "PrintMode"}));
    EXPECT_EQ(state.CoefCalibr, 1);
    EXPECT_EQ(state.CoefComp, 0);
}

TEST_F(Decode, UserCalibrationInMeasurementMarksTheVoltmeter) {
    state.Mode = PanelMode::Measurement;
    EXPECT_EQ(Run(52, "03 04 01 34"), (Calls{"Answer: Пользовательская калибровка активирована",
                                             "UserCalibration Voltmeter", "PrintMode"}));
    EXPECT_EQ(state.CoefCalibr, 0);
    EXPECT_EQ(state.CoefComp, 1);
}

TEST_F(Decode, UserCalibrationInOutputEntryMarksNothing) {
    EXPECT_EQ(Run(52, "03 04 01 34"),
              (Calls{"Answer: Пользовательская калибровка активирована", "PrintMode"}));
    EXPECT_EQ(state.CoefCalibr, 0);
    EXPECT_EQ(state.CoefComp, 0);
}

TEST_F(Decode, ACodeOutsideTheTableDoesNothing) {
    const InstrumentState before = state;
    EXPECT_TRUE(Run(2, "03 04 01 02").empty());
    EXPECT_EQ(state.OutputDigits, before.OutputDigits);
}

TEST_F(Decode, EveryCodeOfTheTableRoundTripsThroughEncodeValidateDecode) {
    for (const CommandInfo& command : CommandTable) {
        InstrumentState s;
        s.CommandCode = command.Code;
        s.CalibrationKind = 1;
        FrameBytes frame{};
        PacketRecord request;
        EncoderInputs in;
        in.CancelHint = "1";
        ASSERT_TRUE(EncodeRequest(s, in, frame, request));
        // The instrument echoes the code; the payload of every answer is zeros with range 2.
        std::vector<uint8_t> message{10, 0x04, 0x01, command.Code, 0, 0, 0, 0, 2, 0, 0};
        const PacketRecord rx = AnswerPacket(0x00, message);
        const AnswerContext answer{rx, frame, false};
        RecordingView view;
        ASSERT_TRUE(ValidateAnswer(0, answer, s, view)) << int(command.Code);
        DecodeAnswer(answer, s, view);
        ASSERT_FALSE(view.Calls.empty()) << int(command.Code);
        bool text = false;
        for (const auto& call : view.Calls) {
            text = text || (call.rfind("Answer: ", 0) == 0 && call.size() > 8);
        }
        EXPECT_TRUE(text) << int(command.Code);
    }
}

} // namespace
} // namespace vr410
