// Helpers shared by the test rooms: byte strings written as hex literals.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace vr410::test {

// "02 4a ff" -> {0x02, 0x4a, 0xff}: whitespace-separated hex bytes, read until the first
// token that is not one.
inline std::vector<uint8_t> Hex(const std::string& text) {
    std::istringstream in(text);
    std::vector<uint8_t> bytes;
    unsigned v = 0;
    while (in >> std::hex >> v) {
        bytes.push_back(static_cast<uint8_t>(v));
    }
    return bytes;
}

} // namespace vr410::test
