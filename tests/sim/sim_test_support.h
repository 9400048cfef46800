// Helpers of the virtual instrument tests: hex literals (from common/hex.h), request frames built
// by hand, and the message bytes of an answer frame.
#pragma once

#include "common/hex.h"
#include "protocol/frame.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vr410::sim::test {

// Hex literals are shared with the protocol tests.
using vr410::test::Hex;

// A request frame from the PC at `pc` to `address`: length, control 0x44, source, code, payload.
inline FrameBytes Request(uint8_t address, uint8_t code, const std::vector<uint8_t>& payload = {},
                          uint8_t pc = 0) {
    FrameBytes frame{};
    frame[0] = address;
    frame[1] = static_cast<uint8_t>(3 + payload.size());
    frame[2] = 0x44;
    frame[3] = pc;
    frame[4] = code;
    std::copy(payload.begin(), payload.end(), frame.begin() + 5);
    return frame;
}

// M[0..L] of a frame (address byte at 0).
inline std::vector<uint8_t> MessageOf(const FrameBytes& frame) {
    return {frame.begin() + 1, frame.begin() + 2 + frame[1]};
}

} // namespace vr410::sim::test
