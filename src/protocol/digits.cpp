// Packed BCD digit strings.
#include "protocol/digits.h"

namespace vr410 {

std::array<uint8_t, 4> PackDigits(const std::string& digits) {
    auto nibble = [&digits](size_t i) -> uint8_t {
        const char c = i < digits.size() ? digits[i] : '0';
        return static_cast<uint8_t>((static_cast<uint8_t>(c) - 0x30) & 0x0F);
    };
    std::array<uint8_t, 4> packed{};
    for (size_t i = 0; i < packed.size(); ++i) {
        packed[i] = static_cast<uint8_t>((nibble(2 * i) << 4) | nibble(2 * i + 1));
    }
    return packed;
}

std::string UnpackDigits(const std::array<uint8_t, 4>& packed) {
    std::string digits;
    for (uint8_t b : packed) {
        digits += static_cast<char>((b >> 4) + 0x30);
        digits += static_cast<char>((b & 0x0F) + 0x30);
    }
    return digits;
}

} // namespace vr410
