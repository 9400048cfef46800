#include "engine/manual_clock.h"

#include <algorithm>
#include <utility>

namespace vr410::engine {

class ManualClock::ManualTimer final : public Timer {
  public:
    ManualTimer(ManualClock& clock, std::string name, int intervalMs,
                std::function<void()> onTimeout)
        : Clock_(clock), Name_(std::move(name)), Interval_(intervalMs),
          OnTimeout_(std::move(onTimeout)) {
        Clock_.Timers_.push_back(this);
    }
    ~ManualTimer() override { std::erase(Clock_.Timers_, this); }
    ManualTimer(const ManualTimer&) = delete;
    ManualTimer& operator=(const ManualTimer&) = delete;

    void Start() override {
        Active_ = true;
        Due_ = Clock_.Now_ + Interval_;
        Order_ = Clock_.Starts_++;
    }
    void Stop() override { Active_ = false; }
    bool Active() const override { return Active_; }
    void SetInterval(int ms) override {
        Interval_ = ms;
        if (Active_) {
            Start();
        }
    }
    int Interval() const override { return Interval_; }
    void SetSingleShot(bool singleShot) override { SingleShot_ = singleShot; }
    const std::string& Name() const override { return Name_; }

    bool DueBefore(const ManualTimer& other) const {
        return Due_ != other.Due_ ? Due_ < other.Due_ : Order_ < other.Order_;
    }

    ManualClock& Clock_;
    std::string Name_;
    int Interval_;
    std::function<void()> OnTimeout_;
    bool SingleShot_ = false;
    bool Active_ = false;
    int64_t Due_ = 0;
    uint64_t Order_ = 0;
};

std::unique_ptr<Timer> ManualClock::CreateTimer(std::string name, int intervalMs,
                                                std::function<void()> onTimeout) {
    return std::make_unique<ManualTimer>(*this, std::move(name), intervalMs, std::move(onTimeout));
}

void ManualClock::Advance(int64_t ms) {
    const int64_t target = Now_ + ms;
    for (;;) {
        ManualTimer* next = nullptr;
        for (ManualTimer* timer : Timers_) {
            if (timer->Active_ && timer->Due_ <= target &&
                (next == nullptr || timer->DueBefore(*next))) {
                next = timer;
            }
        }
        if (next == nullptr) {
            break;
        }
        Now_ = std::max(Now_, next->Due_);
        if (next->SingleShot_) {
            next->Active_ = false;
        } else {
            // A periodic timer of interval 0 comes round again 1 ms later, so that an advance
            // always ends.
            next->Due_ = Now_ + std::max(next->Interval_, 1);
            next->Order_ = Starts_++;
        }
        // The handler may destroy its own timer: it runs from a copy.
        const std::function<void()> handler = next->OnTimeout_;
        handler();
    }
    Now_ = std::max(Now_, target);
}

int64_t ManualClock::NextDueMs() const {
    const ManualTimer* next = nullptr;
    for (const ManualTimer* timer : Timers_) {
        if (timer->Active_ && (next == nullptr || timer->DueBefore(*next))) {
            next = timer;
        }
    }
    return next != nullptr ? next->Due_ : -1;
}

} // namespace vr410::engine
