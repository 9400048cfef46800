// The manual clock: due timers fire in order at their due time, waits nest, time spent in a
// blocking call makes timers late, and timers may be stopped, restarted or destroyed by handlers.
#include "engine/manual_clock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vr410::engine::test {
namespace {

class ManualClockTest : public testing::Test {
  protected:
    // A timer that writes "name@ms" each time it fires.
    std::unique_ptr<Timer> Make(const std::string& name, int intervalMs, bool singleShot = true) {
        auto timer = Clock.CreateTimer(
            name, intervalMs, [this, name] { Log(name + "@" + std::to_string(Clock.NowMs())); });
        timer->SetSingleShot(singleShot);
        return timer;
    }
    void Log(const std::string& line) { Fired.push_back(line); }

    ManualClock Clock;
    std::vector<std::string> Fired;
};

TEST_F(ManualClockTest, DueTimersFireInOrderOfDueTimeThenOfStart) {
    auto late = Make("late", 30);
    auto b = Make("b", 10);
    auto a = Make("a", 10);
    auto never = Make("never", 5); // made but not started
    late->Start();
    b->Start();
    a->Start();
    Clock.Advance(29);
    EXPECT_EQ(Fired, (std::vector<std::string>{"b@10", "a@10"}));
    Clock.Advance(1);
    EXPECT_EQ(Fired.back(), "late@30");
    EXPECT_EQ(Clock.NowMs(), 30);
    EXPECT_EQ(Clock.NextDueMs(), -1);
}

TEST_F(ManualClockTest, PeriodicTimerRunsOnAndRestartsWithANewInterval) {
    auto tick = Make("tick", 10, false);
    tick->Start();
    Clock.Advance(25);
    EXPECT_EQ(Fired, (std::vector<std::string>{"tick@10", "tick@20"}));
    tick->SetInterval(100); // counts again from 25
    EXPECT_EQ(Clock.NextDueMs(), 125);
    tick->Stop();
    Clock.Advance(200);
    EXPECT_EQ(Fired.size(), 2u);
}

TEST_F(ManualClockTest, WaitInsideAHandlerRunsTheOtherTimersAndTheOuterAdvanceGoesOn) {
    auto inner = Make("inner", 15);
    auto after = Make("after", 40);
    auto outer = Clock.CreateTimer("outer", 10, [&] {
        Log("outer@" + std::to_string(Clock.NowMs()));
        inner->Start(); // due at 25
        Clock.Wait(20); // returns at 30
        Log("back@" + std::to_string(Clock.NowMs()));
    });
    outer->SetSingleShot(true);
    outer->Start();
    after->Start();
    Clock.Advance(50);
    EXPECT_EQ(Fired, (std::vector<std::string>{"outer@10", "inner@25", "back@30", "after@40"}));
    EXPECT_EQ(Clock.NowMs(), 50);
}

TEST_F(ManualClockTest, TimeSpentInABlockingCallMakesTimersFireLate) {
    auto timer = Make("timer", 10);
    auto blocking = Clock.CreateTimer("blocking", 5, [&] { Clock.Spend(20); });
    blocking->SetSingleShot(true);
    timer->Start();
    blocking->Start();
    Clock.Advance(5);
    EXPECT_TRUE(Fired.empty()); // due at 10, the clock at 25 now
    EXPECT_EQ(Clock.NowMs(), 25);
    Clock.RunDue();
    EXPECT_EQ(Fired, (std::vector<std::string>{"timer@25"}));
}

TEST_F(ManualClockTest, HandlersMayDestroyTimersTheirOwnIncluded) {
    std::unique_ptr<Timer> victim = Make("victim", 10);
    std::unique_ptr<Timer> self;
    self = Clock.CreateTimer("self", 10, [&] {
        Log("self");
        victim.reset();
        self.reset();
    });
    self->Start();
    victim->Start(); // due together, started after
    Clock.Advance(100);
    EXPECT_EQ(Fired, (std::vector<std::string>{"self"}));
}

} // namespace
} // namespace vr410::engine::test
