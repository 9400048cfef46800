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
