// The exchange engine's clock on Qt's event loop: QTimer timers (precise, since the polling
// cadence is counted in tens of milliseconds) and a wait that runs a nested event loop, so
// timers, keys and windows act while it lasts. It needs only the clock's header, not the engine
// library.
#pragma once

#include "engine/clock.h"

#include <QElapsedTimer>

namespace vr410 {

class QtClock final : public engine::Clock {
  public:
    QtClock();

    int64_t NowMs() const override;
    // A QTimer named name (its objectName), precise, periodic until SetSingleShot(true).
    std::unique_ptr<engine::Timer> CreateTimer(std::string name, int intervalMs,
                                               std::function<void()> onTimeout) override;
    // Runs a nested event loop for ms milliseconds.
    void Wait(int ms) override;

  private:
    QElapsedTimer Elapsed_;
};

} // namespace vr410
