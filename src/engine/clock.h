// The clock seam of the exchange engine: the time in milliseconds, timers that call back when
// they are due, and a wait that keeps other due timers running, as a window message loop does.
// The program runs on Qt's event loop (shell/qt_clock.h); tests and benchmarks drive a manual
// clock (engine/manual_clock.h) whose time moves only when they say so.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vr410::engine {

// A timer of the clock that made it. A new timer is stopped. Destroying it stops it.
class Timer {
  public:
    virtual ~Timer() = default;
    // (Re)starts the count: the timer is due Interval() ms from now, whether or not it ran.
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool Active() const = 0;
    // Takes the new interval; an active timer starts its count again with it.
    virtual void SetInterval(int ms) = 0;
    virtual int Interval() const = 0;
    // A single-shot timer stops itself when it fires; a periodic one (the default) runs on.
    virtual void SetSingleShot(bool singleShot) = 0;
    virtual const std::string& Name() const = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since the clock was made; never goes back.
    virtual int64_t NowMs() const = 0;
    // A stopped periodic timer with that interval; onTimeout runs each time it fires, from the
    // loop (never from inside Start). The timer must not outlive the clock.
    virtual std::unique_ptr<Timer> CreateTimer(std::string name, int intervalMs,
                                               std::function<void()> onTimeout) = 0;
    // Returns after ms milliseconds; timers that fall due meanwhile fire inside the wait, so a
    // caller must expect anything a timer does to have happened when it returns.
    virtual void Wait(int ms) = 0;
};

} // namespace vr410::engine
