#include "shell/qt_clock.h"

#include <QEventLoop>
#include <QString>
#include <QTimer>

namespace vr410 {

namespace {

class QtTimer final : public engine::Timer {
  public:
    QtTimer(std::string name, int intervalMs, std::function<void()> onTimeout)
        : Name_(std::move(name)) {
        Timer_.setObjectName(QString::fromStdString(Name_));
        Timer_.setInterval(intervalMs);
        Timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&Timer_, &QTimer::timeout,
                         [handler = std::move(onTimeout)] { handler(); });
    }

    void Start() override { Timer_.start(); }
    void Stop() override { Timer_.stop(); }
    bool Active() const override { return Timer_.isActive(); }
    void SetInterval(int ms) override { Timer_.setInterval(ms); }
    int Interval() const override { return Timer_.interval(); }
    void SetSingleShot(bool singleShot) override { Timer_.setSingleShot(singleShot); }
    const std::string& Name() const override { return Name_; }

  private:
    std::string Name_;
    QTimer Timer_;
};

} // namespace

QtClock::QtClock() {
    Elapsed_.start();
}

int64_t QtClock::NowMs() const {
    return Elapsed_.elapsed();
}

std::unique_ptr<engine::Timer> QtClock::CreateTimer(std::string name, int intervalMs,
                                                    std::function<void()> onTimeout) {
    return std::make_unique<QtTimer>(std::move(name), intervalMs, std::move(onTimeout));
}

void QtClock::Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace vr410
