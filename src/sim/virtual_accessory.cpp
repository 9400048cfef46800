#include "sim/virtual_accessory.h"

namespace vr410::sim {

namespace {
constexpr uint8_t HighestBand = 6;
constexpr uint8_t HighestFactor = 5;
// The factor of the window's "Сброс" button; the PC sends it with a band chosen before any
// factor (at start both are 0), and the accessory then stays in reset.
constexpr uint8_t ResetFactor = 0;
} // namespace

std::optional<FrameBytes> VirtualAccessory::HandleRequest(const FrameBytes& request,
                                                          SimClock::time_point /*at*/) {
    // Message byte M[k] is request[k + 1].
    const uint8_t length = request[1];
    const uint8_t control = request[2];
    const uint8_t pc = request[3];
    const uint8_t code = request[4];
    if (!IsRequestControl(control)) {
        return std::nullopt;
    }
    switch (code) {
    case FunctionCode::Reset:
        if (length != 3) {
            return std::nullopt;
        }
        BandFactor_ = AccessoryResetByte;
        return MakeAnswer(pc, AccessoryAddress, code, {});
    case FunctionCode::ExchangeTest:
        if (length != 3) {
            return std::nullopt;
        }
        return MakeAnswer(pc, AccessoryAddress, code, {});
    case FunctionCode::SetOutput: {
        if (length != 4) {
            return std::nullopt;
        }
        const uint8_t value = request[5];
        const uint8_t band = value >> 4;
        const uint8_t factor = value & 0x0F;
        if (band > HighestBand || factor > HighestFactor) {
            return MakeErrorAnswer(pc, AccessoryAddress, InstrumentError::ValueOutOfRange);
        }
        BandFactor_ = factor == ResetFactor ? AccessoryResetByte : value;
        return MakeAnswer(pc, AccessoryAddress, code, {});
    }
    case FunctionCode::ReadOutput:
        if (length != 3) {
            return std::nullopt;
        }
        return MakeAnswer(pc, AccessoryAddress, code, std::span<const uint8_t>(&BandFactor_, 1));
    default:
        return std::nullopt;
    }
}

} // namespace vr410::sim
