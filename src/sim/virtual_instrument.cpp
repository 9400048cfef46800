#include "sim/virtual_instrument.h"

#include "protocol/commands.h"
#include "protocol/range_table.h"

#include <cmath>
#include <random>

namespace vr410::sim {

namespace {

constexpr uint16_t LowestFrequency = 45;
constexpr uint16_t HighestFrequency = 1000;
constexpr size_t MaxErrorListEntries = MaxMessageLength - 6; // M[7..37], the longest answer

// Message byte M[k] of a request frame (address byte at 0).
uint8_t M(const FrameBytes& frame, size_t k) {
    return frame[k + 1];
}

// Eight digits from four packed BCD bytes starting at M[first]; nothing when a nibble is not a
// decimal digit.
std::optional<std::array<uint8_t, 8>> DigitsFromBcd(const FrameBytes& frame, size_t first) {
    std::array<uint8_t, 8> digits{};
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t b = M(frame, first + i);
        digits[2 * i] = b >> 4;
        digits[2 * i + 1] = b & 0x0F;
    }
    for (uint8_t d : digits) {
        if (d > 9) {
            return std::nullopt;
        }
    }
    return digits;
}

int64_t DigitsValue(const std::array<uint8_t, 8>& digits, size_t count) {
    int64_t value = 0;
    for (size_t i = 0; i < count; ++i) {
        value = value * 10 + digits[i];
    }
    return value;
}

// True when the digits are within the row's maximum. AC rows carry seven digits, compared with
// MaxDigits / 10; row 24 (AC 700 V) keeps its table values in seven digits already.
bool WithinMaximum(const RangeRow& row, bool ac, const std::array<uint8_t, 8>& digits) {
    if (!ac) {
        return DigitsValue(digits, 8) <= row.MaxDigits;
    }
    const int64_t limit = row.MaxDigits >= 10'000'000 ? row.MaxDigits / 10 : row.MaxDigits;
    return DigitsValue(digits, 7) <= limit;
}

VoltmeterSettings SettingsFromByte(uint8_t b) {
    return {.Range = static_cast<uint8_t>(b & VoltmeterRangeMask),
            .Input = static_cast<uint8_t>((b & VoltmeterInputBit) != 0 ? 1 : 0),
            .Auto = (b & VoltmeterAutoBit) != 0,
            .Delta = (b & VoltmeterDeltaBit) != 0,
            .Percent = (b & VoltmeterPercentBit) != 0};
}

uint32_t SeedOf(const VirtualInstrumentConfig& config) {
    if (config.Seed) {
        return *config.Seed;
    }
    std::random_device device;
    return device();
}

} // namespace

VirtualInstrument::VirtualInstrument(const VirtualInstrumentConfig& config)
    : Voltmeter_({.ReadingPeriod = config.ReadingPeriod,
                  .NoiseCounts = config.NoiseCounts,
                  .Seed = SeedOf(config)}) {
    State_.Address = config.Address;
}

double VirtualInstrument::OutputVolts() const {
    if (!State_.OutputLive || State_.RangeIndex >= RangeCount) {
        return 0.0;
    }
    const RangeRow& row = RangeTable[State_.RangeIndex];
    if (row.Unit != u'V' || row.Kind == u'~') {
        return 0.0; // a DC voltmeter sees no voltage from a current or AC output
    }
    // Eight digits with the point after PointPos - 1 of them.
    double value = static_cast<double>(DigitsValue(State_.OutputDigits, 8)) /
                   std::pow(10.0, 8 - (row.PointPos - 1));
    if (row.Prefix == u'm') {
        value /= 1000.0;
    }
    return row.Kind == u'-' ? -value : value;
}

double VirtualInstrument::InputVolts() const {
    return Voltmeter_.Settings().Input == 0 ? OutputVolts() : State_.U2Volts;
}

std::optional<FrameBytes> VirtualInstrument::HandleRequest(const FrameBytes& request,
                                                           SimClock::time_point at) {
    if (!IsRequestControl(M(request, 1))) {
        return std::nullopt; // another station's answer, or a device type of another family
    }
    const CommandInfo* command = FindCommand(M(request, 3));
    if (command == nullptr || command->L != M(request, 0)) {
        return std::nullopt; // not a function of this instrument, or not its layout
    }
    Voltmeter_.Advance(at, InputVolts());
    return Answer(request, at);
}

FrameBytes VirtualInstrument::Ok(const FrameBytes& request, Payload payload, uint8_t control) {
    return MakeAnswer(M(request, 2), State_.Address, M(request, 3), payload, control);
}

FrameBytes VirtualInstrument::Error(const FrameBytes& request, InstrumentError error) {
    return MakeErrorAnswer(M(request, 2), State_.Address, error);
}

FrameBytes VirtualInstrument::Answer(const FrameBytes& request, SimClock::time_point at) {
    switch (M(request, 3)) {
    case FunctionCode::Reset: // reset: output off, voltmeter stopped
        State_.Mode = PanelMode::OutputEntry;
        State_.OutputLive = false;
        Voltmeter_.Stop();
        return Ok(request);
    case FunctionCode::ReadParameters:
        return ReadParameters(request);
    case FunctionCode::SetParameters:
        return SetParameters(request);
    case FunctionCode::ExchangeTest: {
        const uint8_t control =
            AnswerControlByte |
            (State_.Mode == PanelMode::Measurement && Voltmeter_.Fresh() ? FreshValueBit : 0);
        return Ok(request, {}, control);
    }
    case FunctionCode::Screen:
        State_.ScreenOn = M(request, 4) != 0;
        return Ok(request);
    case FunctionCode::PollState: {
        const VoltmeterSettings& v = Voltmeter_.Settings();
        const uint8_t flags = static_cast<uint8_t>(
            (State_.ScreenOn ? StateScreenOnBit : 0) | (State_.OkCalibr ? StateOkCalibrBit : 0) |
            (State_.OkInput1 ? StateOkInput1Bit : 0) | (State_.OkInput2 ? StateOkInput2Bit : 0) |
            (v.Input ? StateInputBit : 0) | (v.Auto ? StateAutoBit : 0) |
            (v.Delta ? StateDeltaBit : 0) | (v.Percent ? StatePercentBit : 0));
        return Ok(request, Payload(&flags, 1));
    }
    case FunctionCode::SetOutput:
        return SetOutput(request);
    case FunctionCode::ReadOutput:
        return ReadOutput(request);
    case FunctionCode::CalibratorZero:
        State_.CalibratorZero = static_cast<int16_t>((M(request, 4) << 8) | M(request, 5));
        State_.OkCalibr = true;
        return Ok(request);
    case FunctionCode::Measure:
        if (State_.Mode != PanelMode::Measurement) {
            State_.Mode = PanelMode::Measurement;
            Voltmeter_.Start(at);
        }
        return Ok(request);
    case FunctionCode::MeasuredValue: {
        const VoltmeterReading reading = Voltmeter_.Read();
        const uint32_t v = static_cast<uint32_t>(reading.Value);
        const std::array<uint8_t, 5> payload{
            static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v), reading.Status};
        return Ok(request, payload);
    }
    case FunctionCode::VoltmeterZero:
        (Voltmeter_.Settings().Input == 0 ? State_.OkInput1 : State_.OkInput2) = true;
        return Ok(request);
    case FunctionCode::VoltmeterControl:
        return SetVoltmeter(request);
    case FunctionCode::CancelZeroOrCalibration:
        return Cancel(request);
    case FunctionCode::Calibrate:
        State_.LastCalibrationKind = M(request, 4);
        return Ok(request);
    case FunctionCode::UserCalibration:
        return UserCalibration(request);
    default:
        return Ok(request);
    }
}

FrameBytes VirtualInstrument::ReadParameters(const FrameBytes& request) {
    std::vector<uint8_t> payload{
        State_.ParamA, State_.ParamB,
        static_cast<uint8_t>((State_.CoefCalibr ? 0x10 : 0) | (State_.CoefComp ? 0x01 : 0))};
    // The error list follows from M[7]; an empty list is sent as a single 0.
    if (State_.ErrorList.empty()) {
        payload.push_back(0);
    } else {
        const size_t n = std::min(State_.ErrorList.size(), MaxErrorListEntries);
        payload.insert(payload.end(), State_.ErrorList.begin(), State_.ErrorList.begin() + n);
    }
    return Ok(request, payload);
}

FrameBytes VirtualInstrument::SetParameters(const FrameBytes& request) {
    const uint8_t newAddress = M(request, 6);
    if (newAddress > HighestInstrumentAddress) {
        return Error(request, InstrumentError::AddressOutOfRange);
    }
    State_.ParamA = M(request, 4);
    State_.ParamB = M(request, 5);
    // The answer still comes from the old address; the new one holds from the next request.
    FrameBytes answer = Ok(request);
    State_.Address = newAddress;
    return answer;
}

FrameBytes VirtualInstrument::SetOutput(const FrameBytes& request) {
    if (State_.Mode == PanelMode::Measurement) {
        return Error(request, InstrumentError::WrongMode);
    }
    const uint8_t range = M(request, 8);
    if (range >= RangeCount) {
        return Error(request, InstrumentError::RangeNotSet);
    }
    const bool ac = IsAcRow(range);
    const auto digits = DigitsFromBcd(request, 4);
    if (!digits || !WithinMaximum(RangeTable[range], ac, *digits)) {
        return Error(request, InstrumentError::ValueOutOfRange);
    }
    const uint16_t frequency = static_cast<uint16_t>((M(request, 9) << 8) | M(request, 10));
    if (ac && (frequency < LowestFrequency || frequency > HighestFrequency)) {
        return Error(request, InstrumentError::FrequencyOutOfRange);
    }
    State_.RangeIndex = range;
    State_.OutputDigits = *digits;
    if (ac) {
        State_.OutputDigits[7] = 0; // AC values have seven digits
    }
    State_.Frequency = frequency;
    State_.Mode = PanelMode::OutputOn;
    State_.OutputLive = true;
    return Ok(request);
}

FrameBytes VirtualInstrument::ReadOutput(const FrameBytes& request) {
    std::array<uint8_t, 7> payload{};
    for (size_t i = 0; i < 4; ++i) {
        payload[i] = static_cast<uint8_t>((State_.OutputDigits[2 * i] << 4) |
                                          State_.OutputDigits[2 * i + 1]);
    }
    payload[4] = State_.RangeIndex;
    payload[5] = static_cast<uint8_t>(State_.Frequency >> 8);
    payload[6] = static_cast<uint8_t>(State_.Frequency);
    return Ok(request, payload);
}

FrameBytes VirtualInstrument::SetVoltmeter(const FrameBytes& request) {
    const VoltmeterSettings settings = SettingsFromByte(M(request, 4));
    // The range bits count only without automatic ranging; a difference always fixes the range.
    const bool fixedRange = !settings.Auto || settings.Delta || settings.Percent;
    if (fixedRange && settings.Range >= VoltmeterRangeCount) {
        return Error(request, InstrumentError::RangeNotSet);
    }
    VoltmeterSettings applied = settings;
    if (!fixedRange) {
        applied.Range = Voltmeter_.ActiveRange();
    }
    // The input switch comes first, so that a difference starts from the newly chosen input.
    const double input = applied.Input == 0 ? OutputVolts() : State_.U2Volts;
    Voltmeter_.Apply(applied, input);
    return Ok(request);
}

FrameBytes VirtualInstrument::Cancel(const FrameBytes& request) {
    const bool measuring = State_.Mode == PanelMode::Measurement;
    switch (static_cast<CancelTarget>(M(request, 4))) {
    case CancelTarget::CompleteZero:
        if (measuring) {
            (Voltmeter_.Settings().Input == 0 ? State_.OkInput1 : State_.OkInput2) = false;
        } else {
            State_.OkCalibr = false;
        }
        break;
    case CancelTarget::UserCalibration:
        (measuring ? State_.CoefComp : State_.CoefCalibr) = false;
        break;
    case CancelTarget::Nothing:
        break;
    }
    return Ok(request);
}

FrameBytes VirtualInstrument::UserCalibration(const FrameBytes& request) {
    const auto digits = DigitsFromBcd(request, 4);
    if (!digits) {
        return Error(request, InstrumentError::ValueOutOfRange);
    }
    State_.UserCalibrationDigits = *digits;
    (State_.Mode == PanelMode::Measurement ? State_.CoefComp : State_.CoefCalibr) = true;
    return Ok(request);
}

} // namespace vr410::sim
