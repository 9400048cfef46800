// Receive error marks in the byte stream of a Linux tty with INPCK and PARMRK set (and ISTRIP
// and IGNPAR clear): a character received with a parity or framing error, or a break, comes as
// \377 \0 and the character (a break as \377 \0 \0); a genuine \377 comes doubled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vr410 {

struct ReceivedByte {
    uint8_t Value = 0;
    bool Marked = false; // received with an error
    bool operator==(const ReceivedByte&) const = default;
};

// The receive error a marked character stands for where the driver keeps no error counters
// (ptys, many USB adapters) and a mark says only that something was wrong with the character.
// The answer's first character is marked as a rule: its address byte carries the MARK ninth bit
// while the line is set for SPACE, a parity error that is expected. A mark on any later character
// is taken for a framing error, so that a damaged answer is not passed off as that lone parity
// error. Overruns cannot be seen at all without the counters: the tty marks no character for
// them. `position` counts the characters received since the input was last purged, from 0.
uint32_t MarkedCharacterError(size_t position);

class ParmrkParser {
  public:
    // Appends the characters in `raw` to `out`. A mark cut off at the end of `raw` is kept and
    // completed by the next call.
    void Feed(const uint8_t* raw, size_t count, std::vector<ReceivedByte>& out);
    // Forgets a mark cut off by the last Feed (after the input is purged).
    void Reset() { State_ = State::Plain; }

  private:
    enum class State : uint8_t { Plain, AfterEscape, AfterEscapeZero };
    State State_ = State::Plain;
};

} // namespace vr410
