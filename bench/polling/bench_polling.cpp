// Runs the program's main window in DC measurement on the virtual instrument for a
// while and reports how fast readings come, how exactly the poll timers keep their delays and
// how much CPU the process uses.
//
//   bench_polling [--seconds N]   (default 60)
//
// Delays are taken from the end of an exchange (the answer handled) to the moment the next
// request is issued: 120 ms to the exchange test after any answer, 30 ms to the value request
// after a test answer that reports a new value. The time the issued request then needs to reach
// the line (two 1 ms timer ticks, up to the exchange's start) is reported on its own line. The
// steps come from the exchange engine's events.
#include "main_window_access.h"
#include "platform/system_facilities.h"
#include "shell/form_main.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Stats {
    std::vector<double> Values;
    double Mean() const {
        double sum = 0;
        for (double v : Values) {
            sum += v;
        }
        return Values.empty() ? 0.0 : sum / static_cast<double>(Values.size());
    }
    double Stddev() const {
        if (Values.size() < 2) {
            return 0.0;
        }
        const double mean = Mean();
        double sum = 0;
        for (double v : Values) {
            sum += (v - mean) * (v - mean);
        }
        return std::sqrt(sum / static_cast<double>(Values.size() - 1));
    }
    void Print(const char* name) const {
        double low = Values.empty() ? 0 : Values.front(), high = low;
        for (double v : Values) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
        std::printf("%s: n=%zu mean=%.2f stddev=%.2f min=%.2f max=%.2f ms\n", name, Values.size(),
                    Mean(), Stddev(), low, high);
    }
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    int seconds = 60;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atoi(argv[++i]);
        }
    }
    if (seconds < 1) {
        std::fprintf(stderr, "usage: bench_polling [--seconds N]\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTemporaryDir dir;

    vr410::StartOptions options;
    options.Line = vr410::MakeVirtualLine();
    options.SettingsPath = dir.filePath(QStringLiteral("VR410.ini")).toStdString();
    options.Facilities = std::make_unique<vr410::RecordingSystemFacilities>();
    vr410::TFormMain window(std::move(options));
    window.show();
    vr410::test::MainWindowAccess inside{window};
    vr410::engine::ExchangeEngine& engine = inside.Engine();

    bool measuring = false;
    Clock::time_point answerAt{};
    uint8_t answerCode = 0;
    bool answerFresh = false;
    bool issuedSinceAnswer = true;
    Clock::time_point issuedAt{};
    bool valueIssued = false;
    Stats testDelays, valueDelays, testToLine, valueToLine;
    int readings = 0;

    const auto answerHandled = [&](uint8_t code, bool accepted) {
        answerAt = Clock::now();
        answerCode = code;
        answerFresh = engine.TimerReadADC().Active();
        issuedSinceAnswer = false;
        if (measuring && code == 33 && accepted) {
            ++readings;
        }
    };
    const auto transmitGiven = [&](uint8_t code) {
        issuedAt = Clock::now();
        valueIssued = code == 33;
        if (!measuring || issuedSinceAnswer || answerCode == 32) {
            issuedSinceAnswer = true;
            return;
        }
        issuedSinceAnswer = true;
        const double delay = Ms(issuedAt - answerAt);
        if (code == 33 && answerCode == 8 && answerFresh) {
            valueDelays.Values.push_back(delay);
        } else if (code == 8 && !answerFresh) {
            testDelays.Values.push_back(delay);
        }
    };
    const auto exchangeStarted = [&](uint8_t code) {
        if (measuring && (code == 8 || code == 33)) {
            (valueIssued ? valueToLine : testToLine).Values.push_back(Ms(Clock::now() - issuedAt));
        }
    };
    engine.Events().Subscribe([&](const vr410::engine::EngineEvent& event) {
        const uint8_t code = inside.State().CommandCode;
        if (const auto* ended = std::get_if<vr410::engine::ExchangeEnded>(&event)) {
            answerHandled(ended->Code, ended->Accepted);
        } else if (const auto* changed = std::get_if<vr410::engine::StateChanged>(&event)) {
            if (vr410::test::TransmitGiven(*changed)) {
                transmitGiven(code);
            } else if (changed->To == vr410::engine::CycleState::Exchanging) {
                exchangeStarted(code); // the request goes on the wire next
            }
        }
    });

    // The measure key: Measurement, a first wait of 4000 ms, then polling at its steady pace.
    inside.Keypad().Press(vr410::PanelKey::SB_Meas);
    std::printf("measure key pressed; polling starts after 4 s, then %d s of measurement\n",
                seconds);
    Wait(4300);

    measuring = true;
    const Clock::time_point wallStart = Clock::now();
    const double cpuStart = CpuSeconds();
    Wait(seconds * 1000);
    const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
    const double cpu = CpuSeconds() - cpuStart;
    measuring = false;

    testDelays.Print("answer -> exchange test issued (120 ms)");
    valueDelays.Print("new value -> value request issued (30 ms)");
    testToLine.Print("exchange test issued -> on the line");
    valueToLine.Print("value request issued -> on the line");
    std::printf("readings=%d wall_s=%.2f cpu_s=%.3f\n", readings, wall, cpu);
    std::printf("readings_per_s=%.2f test_delay_ms=%.2f value_delay_ms=%.2f delay_stddev_ms=%.2f "
                "cpu_percent=%.2f\n",
                readings / wall, testDelays.Mean(), valueDelays.Mean(),
                std::max(testDelays.Stddev(), valueDelays.Stddev()), 100.0 * cpu / wall);
    return 0;
}
