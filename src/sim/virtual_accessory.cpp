#include "sim/virtual_accessory.h"

namespace vr410::sim {

namespace {
constexpr uint8_t HighestBand = 6;
constexpr uint8_t LowestFactor = 1;
constexpr uint8_t HighestFactor = 5;
} // namespace

std::optional<FrameBytes> VirtualAccessory::HandleRequest(const FrameBytes& request,
                                                          SimClock::time_point /*at*/) {
    // Message byte M[k] is request[k + 1].
    const uint8_t length = request[1];
    const uint8_t control = request[2];
    const uint8_t pc = request[3];
    const uint8_t code = request[4];
    if ((control & 0x40) == 0 || (control & 0x0F) != 0x04) {
        return std::nullopt;
    }
    switch (code) {
    case 1:
        if (length != 3) {
            return std::nullopt;
        }
        bandFactor_ = AccessoryResetByte;
        return MakeAnswer(pc, AccessoryAddress, code, {});
    case 8:
        if (length != 3) {
            return std::nullopt;
        }
        return MakeAnswer(pc, AccessoryAddress, code, {});
    case 16: {
        if (length != 4) {
            return std::nullopt;
        }
        const uint8_t value = request[5];
        const uint8_t band = value >> 4;
        const uint8_t factor = value & 0x0F;
        if (band > HighestBand || factor < LowestFactor || factor > HighestFactor) {
            return MakeErrorAnswer(pc, AccessoryAddress, DeviceError::ValueOutOfRange);
        }
        bandFactor_ = value;
        return MakeAnswer(pc, AccessoryAddress, code, {});
    }
    case 17:
        if (length != 3) {
            return std::nullopt;
        }
        return MakeAnswer(pc, AccessoryAddress, code, std::span<const uint8_t>(&bandFactor_, 1));
    default:
        return std::nullopt;
    }
}

} // namespace vr410::sim
