#include "sim/bus_device.h"

#include <algorithm>
#include <cassert>

namespace vr410::sim {

namespace {
// M[1..3] come before the payload, and M[0] counts the bytes after itself.
constexpr size_t HeaderBytesAfterLength = 3;
constexpr size_t MaxPayload = MaxMessageLength - HeaderBytesAfterLength;
} // namespace

FrameBytes MakeAnswer(uint8_t to, uint8_t from, uint8_t code, std::span<const uint8_t> payload,
                      uint8_t control) {
    assert(payload.size() <= MaxPayload);
    const size_t n = std::min(payload.size(), MaxPayload);
    FrameBytes frame{};
    frame[0] = to;
    frame[1] = static_cast<uint8_t>(HeaderBytesAfterLength + n);
    frame[2] = control;
    frame[3] = from;
    frame[4] = code;
    std::copy_n(payload.begin(), n, frame.begin() + 5);
    return frame;
}

FrameBytes MakeErrorAnswer(uint8_t to, uint8_t from, InstrumentError error) {
    const uint8_t code = static_cast<uint8_t>(error);
    return MakeAnswer(to, from, FunctionCode::ErrorAnswer, std::span<const uint8_t>(&code, 1));
}

} // namespace vr410::sim
