// A clock whose time moves only when its owner says so: tests and benchmarks run the exchange
// engine through it at the speed of the code, with every interval exact.
#pragma once

#include "engine/clock.h"

#include <cstdint>
#include <vector>

namespace vr410::engine {

class ManualClock final : public Clock {
  public:
    ManualClock() = default;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;
    // Every timer it made must be gone before it.
    ~ManualClock() override = default;

    int64_t NowMs() const override { return Now_; }
    std::unique_ptr<Timer> CreateTimer(std::string name, int intervalMs,
                                       std::function<void()> onTimeout) override;
    // Advance(ms): a wait inside a timer's handler runs the other timers as the loop would.
    void Wait(int ms) override { Advance(ms); }

    // Moves the time on by ms, firing each timer that falls due on the way at its due time, in
    // the order of the due times (timers due together in the order they were started). Timers
    // started meanwhile fire too when they fall due within the ms. Calls may nest.
    void Advance(int64_t ms);
    // Fires what is due now, a started timer of interval 0 among them.
    void RunDue() { Advance(0); }
    // Time passes and no timer fires, as in a call that holds the loop (the serial receive);
    // timers that fell due meanwhile fire late, at the next Advance.
    void Spend(int64_t ms) { Now_ += ms; }
    // When the next active timer is due, or -1 when none is active.
    int64_t NextDueMs() const;

  private:
    class ManualTimer;

    std::vector<ManualTimer*> Timers_;
    int64_t Now_ = 0;
    uint64_t Starts_ = 0; // orders timers that fall due together
};

} // namespace vr410::engine
