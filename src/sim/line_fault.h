// Faults the simulated bus can put on an answer, either queued one-shot per exchange or drawn
// at a seeded rate, and the way an answer frame becomes timed 9-bit characters on the line.
#pragma once

#include "platform/line_peer.h"
#include "protocol/frame.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <vector>

namespace vr410::sim {

enum class LineFault : uint8_t {
    NoAnswer,                // the device stays silent
    LateAnswer,              // the answer starts only after LineTiming::LateTurnaround
    CorruptBlock0Bit,        // one bit of block 0 flipped on the line
    CorruptBlock1Bit,        // one bit of block 1 flipped (block 0 when the answer is short)
    CorruptBlock2Bit,        // one bit of block 2 flipped (the last block present otherwise)
    WrongSourceAddress,      // M[2] names another instrument (check bytes consistent)
    WrongDestinationAddress, // the address byte names another PC
    WrongLength,             // M[0] one too large, the body as built
    AddressOnly,             // the address byte comes, nothing after it
    SplitAnswer,             // a pause of LineTiming::SplitPause after half the characters
    FramingError,            // the answer's address byte arrives with CE_FRAME
    OverrunError,            // the answer's address byte arrives with CE_OVERRUN
    ParityErrorFirstByte,    // the address byte arrives with CE_RXPARITY, the rest clean
    RequestFlag,             // control byte with bit 6 set, as a request has
    TransferError,           // control byte with bit 7 set
    WrongDeviceType,         // control byte type 5 instead of 4
    WrongFunctionCode,       // M[3] is not the request's code
};

// Timing of the bus's answers.
struct LineTiming {
    std::chrono::nanoseconds CharacterTime = CharacterTime57600;
    // From the end of the request's last character to the start of the answer.
    std::chrono::nanoseconds Turnaround = std::chrono::milliseconds(1);
    std::chrono::nanoseconds LateTurnaround = std::chrono::milliseconds(150);
    std::chrono::nanoseconds SplitPause = std::chrono::milliseconds(40);
};

// Decides the fault of each answered exchange: queued faults first, in order, then the rate.
class FaultInjector {
  public:
    // The next answered exchange gets `fault`; several queued faults apply one per exchange.
    void Queue(LineFault fault);
    // From now on each exchange without a queued fault gets, with `probability`, one of `kinds`
    // picked uniformly by a generator seeded with `seed`. A probability of 0 switches it off.
    void SetRate(double probability, std::vector<LineFault> kinds, uint32_t seed);
    void Clear();
    size_t QueuedCount() const { return Queued_.size(); }
    // Consumes and returns the fault of the exchange now being answered, if any.
    std::optional<LineFault> NextExchange();

  private:
    std::deque<LineFault> Queued_;
    double Probability_ = 0.0;
    std::vector<LineFault> Kinds_;
    std::mt19937 Random_;
};

// Puts an answer frame (address byte at 0, M[0..L] after it) on the line with `fault` applied:
// characters timed from `requestEnd`, the address byte with the ninth bit set. Empty for
// NoAnswer.
std::vector<LineCharacter> AnswerCharacters(FrameBytes answer, std::optional<LineFault> fault,
                                            SimClock::time_point requestEnd,
                                            const LineTiming& timing);

} // namespace vr410::sim
