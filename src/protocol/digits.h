// Digit strings as the protocol carries them: decimal digit characters without a point,
// travelling as packed BCD, two digits per byte, the first digit in the high nibble.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vr410 {

// Packs the first eight characters of digits into four bytes, each nibble being the character
// code minus 0x30 (no check that it is a digit). Missing characters of a shorter string count
// as '0' at its end, as the seven-digit AC values are completed.
std::array<uint8_t, 4> PackDigits(const std::string& digits);

// The eight characters of four packed bytes, high nibble first, each nibble plus 0x30 (a
// nibble above 9 gives one of ":;<=>?").
std::string UnpackDigits(const std::array<uint8_t, 4>& packed);

} // namespace vr410
