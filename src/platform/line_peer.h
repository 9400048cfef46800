// The far end of a simulated serial line: the virtual instrument bus. The simulated serial
// backend hands it every character the PC finishes sending and gets back the characters the
// bus puts on the line in reply, each with the moment it is complete at the PC's receiver.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

namespace vr410 {

using SimClock = std::chrono::steady_clock;

// One character on the line: eight data bits and the ninth bit (carried as the parity bit).
struct LineCharacter {
    uint8_t Data = 0;
    bool NinthBit = false;
    SimClock::time_point Arrival{}; // when its stop bit ends at the receiver
    uint32_t LineErrors = 0;        // CE_FRAME, CE_OVERRUN, CE_BREAK seen with it
};

class LinePeer {
  public:
    virtual ~LinePeer() = default;
    // The PC finished sending a character at `sent` with its RTS (transmit enable) as given.
    // Returns the characters the bus sends back in reply, in order of arrival (often none).
    virtual std::vector<LineCharacter> OnCharacterFromPc(const LineCharacter& sent,
                                                         bool rtsRaised) = 0;
    // The PC's transmit enable changed. A bus device answering while the PC still drives the
    // line would collide; peers may use this to model that.
    virtual void OnRtsChanged(bool /*raised*/, SimClock::time_point /*at*/) {}
};

// Time one character takes on the line at 57600 baud: start, 8 data, ninth bit, stop = 11 bits.
constexpr std::chrono::nanoseconds CharacterTime57600{11'000'000'000LL / 57600};

} // namespace vr410
