// Request encoding: the selected command and the instrument state become TxFrame and TxPacket.
#include "protocol/request_encoder.h"

#include "protocol/commands.h"
#include "protocol/digits.h"
#include "protocol/function_codes.h"
#include "protocol/range_table.h"
#include "protocol/wire_constants.h"

#include <cmath>

namespace vr410 {

namespace {

// Message byte M[k] lives at TxFrame[k + 1].
uint8_t& M(FrameBytes& frame, size_t k) {
    return frame[k + 1];
}

uint8_t Flag(uint8_t value, uint8_t bit) {
    return value ? bit : 0;
}

// Field arithmetic is done in unsigned: whatever a field holds, the byte is its low bits and
// nothing overflows.

// Byte A of the parameters: Sound in bit 0, Brightness - 1 in bits 3..1, TimeInd in 6..4.
uint8_t ParameterByteA(const InstrumentState& s) {
    return static_cast<uint8_t>((((s.Brightness - 1u) & 7u) << 1) | ((s.TimeInd & 7u) << 4) |
                                Flag(s.Sound, 0x01));
}

// Byte B: DigitalFilter 1..0, NumDigits 3..2, ViewMode 5..4, MoveCursor 6, Blanking 7.
uint8_t ParameterByteB(const InstrumentState& s) {
    return static_cast<uint8_t>((s.DigitalFilter & 3u) | ((s.NumDigits & 3u) << 2) |
                                ((s.ViewMode & 3u) << 4) | Flag(s.MoveCursor, 0x40) |
                                Flag(s.Blanking, 0x80));
}

uint8_t VoltmeterByte(const InstrumentState& s) {
    return static_cast<uint8_t>(
        (s.VoltmeterRange & VoltmeterRangeMask) | Flag(s.VoltmeterInput == 1, VoltmeterInputBit) |
        Flag(s.VoltmeterDelta, VoltmeterDeltaBit) | Flag(s.VoltmeterAuto, VoltmeterAutoBit) |
        Flag(s.VoltmeterPercent, VoltmeterPercentBit));
}

void PutDigits(FrameBytes& frame, const std::string& digits) {
    const auto packed = PackDigits(digits);
    for (size_t i = 0; i < packed.size(); ++i) {
        M(frame, 4 + i) = packed[i];
    }
}

// value * 10^digits rounded to the nearest integer, ties to even, as a 16-bit two's-complement
// number. Values past 16 bits keep their low 16 bits; the dialog's limits keep them inside.
uint16_t CompleteZeroWord(double value, int digits) {
    const double scaled = std::nearbyint(value * std::pow(10.0, digits));
    if (!std::isfinite(scaled) || std::fabs(scaled) > 1e15) {
        return 0;
    }
    return static_cast<uint16_t>(static_cast<int64_t>(scaled) & 0xFFFF);
}

CancelTarget CancelTargetOf(const std::string& hint) {
    if (hint == "1") {
        return CancelTarget::CompleteZero;
    }
    if (hint == "2") {
        return CancelTarget::UserCalibration;
    }
    return CancelTarget::Nothing;
}

} // namespace

bool EncodeRequest(InstrumentState& state, const EncoderInputs& in, FrameBytes& TxFrame,
                   PacketRecord& TxPacket) {
    TxFrame[0] = in.AccessoryMode ? AccessoryAddress : state.AddrDevice;
    const CommandInfo* command = FindCommand(state.CommandCode);
    if (command == nullptr) {
        return false;
    }
    M(TxFrame, 0) = command->L;
    M(TxFrame, 1) = RequestControlByte;
    M(TxFrame, 2) = state.PCDevice;
    M(TxFrame, 3) = state.CommandCode;

    switch (state.CommandCode) {
    case FunctionCode::SetParameters:
        M(TxFrame, 4) = ParameterByteA(state);
        M(TxFrame, 5) = ParameterByteB(state);
        M(TxFrame, 6) = static_cast<uint8_t>(in.NewAddress);
        break;
    case FunctionCode::Screen:
        M(TxFrame, 4) = state.ScreenOn ? 1 : 0;
        break;
    case FunctionCode::SetOutput: {
        if (IsAcRow(state.RangeIndex) && state.OutputDigits.size() >= 8) {
            state.OutputDigits[7] = '0'; // AC rows carry seven digits; the eighth goes out as 0
        }
        PutDigits(TxFrame, state.OutputDigits);
        const auto hertz = static_cast<uint16_t>(in.Frequency);
        M(TxFrame, 8) = state.RangeIndex;
        M(TxFrame, 9) = static_cast<uint8_t>(hertz >> 8);
        M(TxFrame, 10) = static_cast<uint8_t>(hertz & 0xFF);
        if (in.AccessoryMode) {
            M(TxFrame, 0) = 4;
            M(TxFrame, 4) =
                static_cast<uint8_t>((unsigned{state.AccessoryBand} << 4) | state.AccessoryFactor);
        }
        break;
    }
    case FunctionCode::CalibratorZero: {
        const uint16_t v = CompleteZeroWord(in.OkValue, in.OkDigits);
        M(TxFrame, 4) = static_cast<uint8_t>(v >> 8);
        M(TxFrame, 5) = static_cast<uint8_t>(v & 0xFF);
        break;
    }
    case FunctionCode::VoltmeterControl:
        M(TxFrame, 4) = VoltmeterByte(state);
        break;
    case FunctionCode::CancelZeroOrCalibration:
        M(TxFrame, 4) = static_cast<uint8_t>(CancelTargetOf(in.CancelHint));
        break;
    case FunctionCode::Calibrate:
        // 0 auto-calibration, 1 zeros on the range, 2 all zeros; a kind of 0 gives 0xFF.
        M(TxFrame, 4) = static_cast<uint8_t>(static_cast<uint32_t>(state.CalibrationKind) - 1u);
        break;
    case FunctionCode::UserCalibration:
        PutDigits(TxFrame, state.CalibrationDigits);
        break;
    default:
        break; // no payload
    }

    BuildPacket(TxFrame, TxPacket);
    return true;
}

} // namespace vr410
