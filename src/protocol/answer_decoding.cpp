// Answer decoding: an accepted answer written into the state and, through AnswerView, the
// windows. The command selected (state.CommandCode), not the answer's code, picks the decoding.
#include "protocol/answer.h"

#include "protocol/digits.h"
#include "protocol/function_codes.h"
#include "protocol/range_table.h"
#include "protocol/wire_constants.h"

#include <algorithm>
#include <limits>

namespace vr410 {

namespace {

// The exchange test's answer carries no version; the about box shows this one once the
// instrument has answered.
constexpr const char* FirmwareVersion = "2.06";

uint8_t Bit(uint8_t byte, int bit) {
    return static_cast<uint8_t>((byte >> bit) & 1);
}

// 1 when the byte has the flag (a one-bit mask) set, else 0.
uint8_t Flag(uint8_t byte, uint8_t flag) {
    return (byte & flag) != 0 ? 1 : 0;
}

std::array<uint8_t, 4> MessageBytes4(const PacketRecord& rx, size_t first) {
    return {MessageByte(rx, first), MessageByte(rx, first + 1), MessageByte(rx, first + 2),
            MessageByte(rx, first + 3)};
}

void DecodeParameters(const PacketRecord& rx, InstrumentState& s, AnswerView& view) {
    const uint8_t a = MessageByte(rx, 4);
    const uint8_t b = MessageByte(rx, 5);
    const uint8_t c = MessageByte(rx, 6);
    InstrumentParameters p;
    p.Sound = Bit(a, 0);
    p.Brightness = static_cast<uint8_t>(((a >> 1) & 7) + 1);
    p.TimeInd = (a >> 4) & 7;
    p.DigitalFilter = b & 3;
    p.NumDigits = (b >> 2) & 3;
    p.ViewMode = (b >> 4) & 3;
    p.MoveCursor = Bit(b, 6);
    p.Blanking = Bit(b, 7);
    p.CoefCalibr = (c >> 4) != 0;
    p.CoefComp = (c & 0x0F) != 0;
    s.Sound = p.Sound;
    s.Brightness = p.Brightness;
    s.TimeInd = p.TimeInd;
    s.DigitalFilter = p.DigitalFilter;
    s.NumDigits = p.NumDigits;
    s.ViewMode = p.ViewMode;
    s.MoveCursor = p.MoveCursor;
    s.Blanking = p.Blanking;
    s.CoefCalibr = p.CoefCalibr;
    s.CoefComp = p.CoefComp;
    view.ShowParameters(p);

    // The error list: M[7..L], read past the check bytes when it runs beyond block 0. Only an
    // answer longer than L = 7 carries a list; at L = 7 the one byte M[7] is not listed.
    const size_t L = MessageByte(rx, 0);
    std::vector<uint8_t> errors;
    if (L > 7) {
        for (size_t k = 7; k <= L; ++k) {
            errors.push_back(MessageByte(rx, k));
        }
    }
    view.ShowErrorList(errors);
    view.SetAnswerText("Считаны параметры прибора");
}

void DecodeState(const PacketRecord& rx, InstrumentState& s, AnswerView& view) {
    view.SetAnswerText("Состояние прибора считано");
    const uint8_t m = MessageByte(rx, 4);
    s.ScreenOn = Flag(m, StateScreenOnBit);
    s.OkCalibr = Flag(m, StateOkCalibrBit);
    s.OkInput1 = Flag(m, StateOkInput1Bit);
    s.OkInput2 = Flag(m, StateOkInput2Bit);
    s.VoltmeterInput = Flag(m, StateInputBit);
    s.VoltmeterAuto = Flag(m, StateAutoBit);
    s.VoltmeterDelta = Flag(m, StateDeltaBit);
    s.VoltmeterPercent = Flag(m, StatePercentBit);
    view.PrintMode();
}

// A range byte past the table is ignored: RangeIndex keeps its row, and the frequency and the
// frequency panel follow that row, so the table is never indexed with it.
// An AC row carries seven digits: the eighth on the wire is the 0 the request padded with, and
// keeping it would make the value read ten times too large wherever it is taken as a number.
void DecodeSetOutput(const PacketRecord& rx, InstrumentState& s, AnswerView& view) {
    std::string digits = UnpackDigits(MessageBytes4(rx, 4));
    const uint8_t range = MessageByte(rx, 8);
    if (range < RangeCount) {
        s.RangeIndex = range;
    }
    const bool ac = IsAcRow(s.RangeIndex);
    if (ac) {
        view.SetFrequencyField(MessageByte(rx, 9) * 256 + MessageByte(rx, 10));
    }
    view.SetFrequencyPanelVisible(ac);
    if (ac) {
        digits.resize(7);
    }
    s.OutputDigits = digits;
    view.SetOutputField(digits);
    view.SetAnswerText("Считано значение калибратора");
}

// A band of 0..6 with a factor of 1..5 is a setting; anything else is reported as reset. Unless
// the accessory sent its own reset byte (0xFF), a band past 6 is taken as 0 and a factor outside
// 1..5 as 1. The window shows the band and factor as they came.
void DecodeAccessory(const PacketRecord& rx, InstrumentState& s, AnswerView& view) {
    const uint8_t m = MessageByte(rx, 4);
    const auto band = static_cast<uint8_t>(m >> 4);
    const auto factor = static_cast<uint8_t>(m & 0x0F);
    s.AccessoryBand = band;
    s.AccessoryFactor = factor;
    view.ShowAccessory(band, factor);
    const bool factorValid = factor >= 1 && factor <= 5;
    if (band <= 6 && factorValid) {
        view.SetAnswerText("Считано состояние VR410C");
        return;
    }
    if (m != AccessoryResetByte) {
        if (band > 6) {
            s.AccessoryBand = 0;
        }
        if (!factorValid) {
            s.AccessoryFactor = 1;
        }
    }
    view.SetAnswerText("Прибор в режиме сброса");
}

// The decimal digits of a magnitude with leading zeros up to at least ten digits, as the
// panel's zero-padded digits of width 10 give them.
std::string TenDigits(uint32_t magnitude) {
    std::string digits = std::to_string(magnitude);
    if (digits.size() < 10) {
        digits.insert(0, 10 - digits.size(), '0');
    }
    return digits;
}

// Marks changed when the new value differs from the old one.
void Take(uint8_t& variable, uint8_t value, bool& changed) {
    changed = changed || variable != value;
    variable = value;
}

void UpdateReading(const PacketRecord& rx, InstrumentState& s, AnswerView& view) {
    const uint8_t status = MessageByte(rx, 8);
    if (Flag(status, VoltmeterOverloadBit) && !s.OverloadShown) {
        view.CLRDisp(1);
        view.PrintText(1, 1, 9, "Перегрузка");
        s.OverloadShown = 1;
        return; // the next overloaded answer shows the value again
    }
    s.OverloadShown = 0;
    bool changed = false;
    Take(s.VoltmeterDelta, Flag(status, VoltmeterDeltaBit), changed);
    Take(s.VoltmeterPercent, Flag(status, VoltmeterPercentBit), changed);
    if (s.VoltmeterDelta || s.VoltmeterPercent) {
        s.VoltmeterAuto = 0;
        Take(s.VoltmeterRange, status & VoltmeterRangeMask, changed);
    } else {
        Take(s.VoltmeterAuto, Flag(status, VoltmeterAutoBit), changed);
        if (s.VoltmeterAuto == 0) {
            Take(s.VoltmeterRange, status & VoltmeterRangeMask, changed);
        } else {
            s.VoltmeterRange =
                status & VoltmeterRangeMask; // auto ranging: a new range alone is no change
        }
        Take(s.VoltmeterInput, Flag(status, VoltmeterInputBit), changed);
    }
    if (changed) {
        view.PrintMode();
    }

    const auto bytes = MessageBytes4(rx, 4);
    const uint32_t raw = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) |
                         (uint32_t{bytes[2]} << 8) | bytes[3];
    const auto value = static_cast<int32_t>(raw);
    uint32_t magnitude = raw;
    if (value < 0) {
        view.PrintText(1, 1, 4, "-");
        magnitude = 0u - raw;
    } else {
        view.PrintText(1, 1, 4, "+");
    }
    // The one magnitude without a positive int32, 2^31, is kept as the largest int32 in
    // MeasuredValue while its digits stay exact.
    s.MeasuredValue =
        static_cast<int32_t>(std::min<uint32_t>(magnitude, std::numeric_limits<int32_t>::max()));
    s.MeasuredDigits = TenDigits(magnitude);
    if (s.VoltmeterPercent) {
        view.PrintUperc();
    } else {
        view.PrintUin();
    }
}

const char* CalibrationText(int32_t kind) {
    switch (kind) {
    case 1:
        return "Автокалибровка прибора";
    case 2:
        return "Установка нулей по текущему пределу";
    case 3:
        return "Установка всех нулей";
    default:
        return "";
    }
}

const char* CancelText(uint8_t what) {
    switch (static_cast<CancelTarget>(what)) {
    case CancelTarget::CompleteZero:
        return "Комплектный нуль отменен";
    case CancelTarget::UserCalibration:
        return "Пользовательская калибровка отменена";
    case CancelTarget::Nothing:
        break;
    }
    return ""; // nothing cancelled, or a payload the request never carries
}

} // namespace

DecodeOutcome DecodeAnswer(const AnswerContext& answer, InstrumentState& state, AnswerView& view) {
    const PacketRecord& rx = answer.RxPacket;
    DecodeOutcome outcome;
    switch (state.CommandCode) {
    case FunctionCode::Reset:
        view.SetAnswerText("Прибор в режиме сброса");
        break;
    case FunctionCode::ReadParameters:
        DecodeParameters(rx, state, view);
        break;
    case FunctionCode::SetParameters:
        view.SetAnswerText("Параметры прибора установлены");
        break;
    case FunctionCode::ExchangeTest:
        view.SetAnswerText("Тест обмена - ОК");
        outcome.ReadValue =
            state.Mode == PanelMode::Measurement && (MessageByte(rx, 1) & FreshValueBit) != 0
                ? ReadValueAction::Start
                : ReadValueAction::Stop;
        view.ShowFirmwareVersion(FirmwareVersion);
        break;
    case FunctionCode::Screen:
        view.SetAnswerText(state.ScreenOn ? "Экран подключен" : "Экран не подключен");
        break;
    case FunctionCode::PollState:
        DecodeState(rx, state, view);
        break;
    case FunctionCode::SetOutput:
        view.SetAnswerText("Выходное напряжение калибратора установлено");
        state.OutputSetDone = 1;
        break;
    case FunctionCode::ReadOutput:
        if (answer.AccessoryMode) {
            DecodeAccessory(rx, state, view);
        } else {
            DecodeSetOutput(rx, state, view);
        }
        break;
    case FunctionCode::CalibratorZero:
        view.SetAnswerText("Комплектный нуль калибратора установлен");
        break;
    case FunctionCode::Measure:
        view.SetAnswerText("Режим измерение постоянного напряжения");
        break;
    case FunctionCode::MeasuredValue:
        view.SetAnswerText("Считано измеренное значение");
        if (state.Mode == PanelMode::Measurement) {
            UpdateReading(rx, state, view);
        }
        break;
    case FunctionCode::VoltmeterZero:
        view.SetAnswerText("Комплектный нуль вольтметра установлен");
        break;
    case FunctionCode::VoltmeterControl:
        view.SetAnswerText("Параметры вольтметра установлены");
        break;
    case FunctionCode::CancelZeroOrCalibration:
        view.SetAnswerText(CancelText(answer.TxFrame[5]));
        break;
    case FunctionCode::Calibrate:
        view.SetAnswerText(CalibrationText(state.CalibrationKind));
        break;
    case FunctionCode::UserCalibration:
        view.SetAnswerText("Пользовательская калибровка активирована");
        if (state.Mode == PanelMode::OutputOn) {
            state.CoefCalibr = 1;
            view.ShowUserCalibration(CalibratedPart::Calibrator);
        } else if (state.Mode == PanelMode::Measurement) {
            state.CoefComp = 1;
            view.ShowUserCalibration(CalibratedPart::Voltmeter);
        }
        view.PrintMode();
        break;
    default:
        break;
    }
    return outcome;
}

} // namespace vr410
