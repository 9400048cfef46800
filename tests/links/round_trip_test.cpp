// Every command code the whole way: encoder, serial driver, simulated line, virtual instrument,
// validation and decoding, including the instrument's error answers and the accessory.
#include "exchange_fixture.h"

namespace vr410::test {
namespace {

struct RoundTripCase {
    const char* Name;
    uint8_t Code;
    // Prepares the PC's state and inputs and the instrument before the exchange; may be null.
    void (*Setup)(InstrumentState&, EncoderInputs&, sim::VirtualInstrumentState&);
    const char* AnswerText;
    bool Accepted;
    // What the decoded answer or the request left behind; may be null.
    bool (*Holds)(const InstrumentState&, const sim::VirtualInstrumentState&);
};

void PrintTo(const RoundTripCase& c, std::ostream* out) {
    *out << c.Name;
}

using PcState = InstrumentState;
using DeviceState = sim::VirtualInstrumentState;

// clang-format off
const RoundTripCase RoundTripCases[] = {
    {.Name = "Reset", .Code = 1, .Setup = nullptr,
     .AnswerText = "Прибор в режиме сброса", .Accepted = true, .Holds = nullptr},
    {.Name = "PollStateReadsTheFlags", .Code = 10,
     .Setup = [](PcState&, EncoderInputs&, DeviceState& d) { d.OkCalibr = true; d.ScreenOn = false; },
     .AnswerText = "Состояние прибора считано", .Accepted = true,
     .Holds = [](const PcState& s, const DeviceState&) {
         return s.OkCalibr == 1 && s.ScreenOn == 0 && s.VoltmeterAuto == 1; }},
    {.Name = "ReadParametersReadsBytesAndErrorList", .Code = 5,
     .Setup = [](PcState&, EncoderInputs&, DeviceState& d) { d.ParamA = 0x0B; d.ErrorList = {4, 9}; },
     .AnswerText = "Считаны параметры прибора", .Accepted = true,
     .Holds = [](const PcState& s, const DeviceState&) {
         return s.Sound == 1 && s.Brightness == 6 && s.TimeInd == 0 && s.ViewMode == 1; }},
    {.Name = "SetParametersWritesBothBytes", .Code = 6,
     .Setup = [](PcState& s, EncoderInputs& in, DeviceState&) { s.Brightness = 3; s.Blanking = 1; in.NewAddress = 1; },
     .AnswerText = "Параметры прибора установлены", .Accepted = true,
     .Holds = [](const PcState&, const DeviceState& d) { return d.ParamA == 0x14 && d.ParamB == 0xD0; }},
    {.Name = "SetParametersRefusesAddress241", .Code = 6,
     .Setup = [](PcState&, EncoderInputs& in, DeviceState&) { in.NewAddress = 241; },
     .AnswerText = "Допустимый адрес от 0 до 240", .Accepted = false,
     .Holds = [](const PcState&, const DeviceState& d) { return d.Address == 1; }},
    {.Name = "DisplayOff", .Code = 9,
     .Setup = [](PcState& s, EncoderInputs&, DeviceState&) { s.ScreenOn = 0; },
     .AnswerText = "Экран не подключен", .Accepted = true,
     .Holds = [](const PcState&, const DeviceState& d) { return !d.ScreenOn; }},
    {.Name = "ExchangeTest", .Code = 8, .Setup = nullptr,
     .AnswerText = "Тест обмена - ОК", .Accepted = true, .Holds = nullptr},
    {.Name = "SetOutputTenVoltRange", .Code = 16,
     .Setup = [](PcState& s, EncoderInputs&, DeviceState&) { s.OutputDigits = "01000000"; },
     .AnswerText = "Выходное напряжение калибратора установлено", .Accepted = true,
     .Holds = [](const PcState& s, const DeviceState& d) {
         return s.OutputSetDone == 1 && d.Mode == PanelMode::OutputOn && d.RangeIndex == 2; }},
    {.Name = "SetOutputAboveTheMaximum", .Code = 16,
     .Setup = [](PcState& s, EncoderInputs&, DeviceState&) { s.OutputDigits = "10200001"; },
     .AnswerText = "Недопустимое значение в устанавливаемом значении", .Accepted = false, .Holds = nullptr},
    {.Name = "SetOutputAcAtAFrequencyTooLow", .Code = 16,
     .Setup = [](PcState& s, EncoderInputs& in, DeviceState&) { s.RangeIndex = 22; s.OutputDigits = "0100000"; in.Frequency = 44; },
     .AnswerText = "Неверное значение частоты", .Accepted = false, .Holds = nullptr},
    {.Name = "SetOutputWhileMeasuring", .Code = 16,
     .Setup = [](PcState&, EncoderInputs&, DeviceState& d) { d.Mode = PanelMode::Measurement; },
     .AnswerText = "Прибор находится в другом режиме!", .Accepted = false, .Holds = nullptr},
    {.Name = "ReadOutputOfAnAcRow", .Code = 17,
     .Setup = [](PcState&, EncoderInputs&, DeviceState& d) { d.RangeIndex = 21; d.OutputDigits = {0, 5, 0, 0, 0, 0, 0, 0}; d.Frequency = 400; },
     .AnswerText = "Считано значение калибратора", .Accepted = true,
     .Holds = [](const PcState& s, const DeviceState&) { return s.RangeIndex == 21 && s.OutputDigits == "0500000"; }},
    {.Name = "CalibratorCompleteZero", .Code = 18,
     .Setup = [](PcState&, EncoderInputs& in, DeviceState&) { in.OkValue = -0.5; in.OkDigits = 3; },
     .AnswerText = "Комплектный нуль калибратора установлен", .Accepted = true,
     .Holds = [](const PcState&, const DeviceState& d) { return d.OkCalibr && d.CalibratorZero == -500; }},
    {.Name = "SwitchToMeasurement", .Code = 32, .Setup = nullptr,
     .AnswerText = "Режим измерение постоянного напряжения", .Accepted = true,
     .Holds = [](const PcState&, const DeviceState& d) { return d.Mode == PanelMode::Measurement; }},
    {.Name = "MeasuredValue", .Code = 33,
     .Setup = [](PcState& s, EncoderInputs&, DeviceState&) { s.Mode = PanelMode::Measurement; },
     .AnswerText = "Считано измеренное значение", .Accepted = true,
     .Holds = [](const PcState& s, const DeviceState&) {
         return s.MeasuredDigits == "0000000000" && s.VoltmeterAuto == 1 && s.VoltmeterRange == 2; }},
    {.Name = "VoltmeterCompleteZero", .Code = 34, .Setup = nullptr,
     .AnswerText = "Комплектный нуль вольтметра установлен", .Accepted = true,
     .Holds = [](const PcState&, const DeviceState& d) { return d.OkInput1; }},
    {.Name = "VoltmeterControl", .Code = 36,
     .Setup = [](PcState& s, EncoderInputs&, DeviceState&) { s.VoltmeterAuto = 0; s.VoltmeterRange = 3; s.VoltmeterInput = 1; },
     .AnswerText = "Параметры вольтметра установлены", .Accepted = true, .Holds = nullptr},
    {.Name = "VoltmeterRangeTheInstrumentDoesNotHave", .Code = 36,
     .Setup = [](PcState& s, EncoderInputs&, DeviceState&) { s.VoltmeterAuto = 0; s.VoltmeterRange = 6; },
     .AnswerText = "Предел не установлен", .Accepted = false, .Holds = nullptr},
    {.Name = "CancelCompleteZero", .Code = 49,
     .Setup = [](PcState&, EncoderInputs& in, DeviceState& d) { in.CancelHint = "1"; d.OkCalibr = true; },
     .AnswerText = "Комплектный нуль отменен", .Accepted = true,
     .Holds = [](const PcState&, const DeviceState& d) { return !d.OkCalibr; }},
    {.Name = "CancelUserCalibration", .Code = 49,
     .Setup = [](PcState&, EncoderInputs& in, DeviceState& d) { in.CancelHint = "2"; d.CoefCalibr = true; },
     .AnswerText = "Пользовательская калибровка отменена", .Accepted = true,
     .Holds = [](const PcState&, const DeviceState& d) { return !d.CoefCalibr; }},
    {.Name = "AutoCalibration", .Code = 50,
     .Setup = [](PcState& s, EncoderInputs&, DeviceState&) { s.CalibrationKind = 1; },
     .AnswerText = "Автокалибровка прибора", .Accepted = true,
     .Holds = [](const PcState&, const DeviceState& d) { return d.LastCalibrationKind == 0; }},
    {.Name = "UserCalibration", .Code = 52,
     .Setup = [](PcState& s, EncoderInputs&, DeviceState&) { s.Mode = PanelMode::OutputOn; s.CalibrationDigits = "01000020"; },
     .AnswerText = "Пользовательская калибровка активирована", .Accepted = true,
     .Holds = [](const PcState& s, const DeviceState& d) { return s.CoefCalibr == 1 && d.CoefCalibr; }},
};
// clang-format on

class RoundTrip : public ExchangeFixture, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTrip, RequestIsAnsweredAndDecoded) {
    const RoundTripCase& c = GetParam();
    if (c.Setup) {
        c.Setup(State, Inputs, Instrument.MutableState());
    }
    EXPECT_EQ(Exchange(c.Code), c.Accepted);
    EXPECT_EQ(View.AnswerText, c.AnswerText);
    EXPECT_EQ(Bus.RequestCount(c.Code), 1u);
    if (c.Holds) {
        EXPECT_TRUE(c.Holds(State, Instrument.State()));
    }
    EXPECT_TRUE(System.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryCode, RoundTrip, ::testing::ValuesIn(RoundTripCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(ExchangeFixture, AccessorySetAndReadBack) {
    Inputs.AccessoryMode = true;
    EXPECT_TRUE(Exchange(17));
    EXPECT_EQ(View.AnswerText, "Прибор в режиме сброса");
    State.AccessoryBand = 3;
    State.AccessoryFactor = 5;
    EXPECT_TRUE(Exchange(16));
    EXPECT_EQ(Accessory.BandFactor(), 0x35);
    State.AccessoryBand = 0;
    State.AccessoryFactor = 0;
    EXPECT_TRUE(Exchange(17));
    EXPECT_EQ(View.AnswerText, "Считано состояние VR410C");
    EXPECT_EQ(State.AccessoryBand, 3);
    EXPECT_EQ(State.AccessoryFactor, 5);
    EXPECT_EQ(Instrument.State().Mode, PanelMode::OutputEntry) << "the instrument heard none";
}

TEST_F(ExchangeFixture, AccessoryBandClickedBeforeAnyFactorIsTakenInReset) {
    // At start the factor is 0, the window's "Сброс": a band click sends (band, 0).
    Inputs.AccessoryMode = true;
    State.AccessoryBand = 3;
    State.AccessoryFactor = 5;
    ASSERT_TRUE(Exchange(16));
    State.AccessoryBand = 2;
    State.AccessoryFactor = 0;
    EXPECT_TRUE(Exchange(16)) << View.AnswerText;
    EXPECT_EQ(View.AnswerText, "Выходное напряжение калибратора установлено");
    EXPECT_EQ(Accessory.BandFactor(), 0xFF) << "factor 0 is the accessory's reset";
}

TEST_F(ExchangeFixture, MeasuringShowsTheOutputTheUserSet) {
    State.OutputDigits = "01000000"; // 1 V on the 10 V range
    ASSERT_TRUE(Exchange(16));
    ASSERT_TRUE(Exchange(32));
    State.Mode = PanelMode::Measurement;
    // Poll as the cycle does until the instrument reports a fresh reading.
    for (int poll = 0; poll < 100 && !View.ReadAdcTimer; ++poll) {
        Api.Sleep(10);
        ASSERT_TRUE(Exchange(8));
    }
    ASSERT_TRUE(View.ReadAdcTimer) << "a reading comes a few times per second";
    ASSERT_TRUE(Exchange(33));
    EXPECT_EQ(State.MeasuredDigits, "0100000000") << "the panel prints +1.00000000 on 1 V";
    EXPECT_EQ(State.VoltmeterRange, 1);
    EXPECT_EQ(View.ReadingsPrinted, 1);
}

} // namespace
} // namespace vr410::test
