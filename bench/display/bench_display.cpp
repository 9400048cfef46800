// Times a full PrintMode redraw (both rows cleared and rewritten, every written cell
// recomposed) and a paint of the whole display. PrintMode alternates between the output entry
// and the output-on screens of the 100 mV range, so the rows swap their wide and narrow
// cells and the cells rebuild their templates as they do when the operator switches modes.
// Prints the medians in microseconds; the last line is "printmode_us=P paint_us=Q".
#include "panel/renderers.h"
#include "panel/text_layer.h"

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rounds = 2000;

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

template <typename Work> double MedianMicroseconds(Work work) {
    std::vector<double> samples;
    samples.reserve(Rounds);
    for (int round = 0; round < Rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        work(round);
        const auto stop = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
        QCoreApplication::processEvents();
    }
    return Median(std::move(samples));
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);

    vr410::InstrumentState state;
    state.RangeIndex = 0;
    state.ViewMode = 2;
    state.OutputDigits = "10123456";
    vr410::Panel4 display;
    vr410::RecordedControls controls;
    vr410::PanelRenderer renderer(state, display, controls);
    display.show();
    vr410::DrawStartupDisplay(display);

    const double printModeUs = MedianMicroseconds([&](int round) {
        state.Mode = round % 2 == 0 ? vr410::PanelMode::OutputEntry : vr410::PanelMode::OutputOn;
        renderer.PrintMode("1000");
    });

    state.Mode = vr410::PanelMode::OutputOn;
    renderer.PrintMode("1000");
    QImage target(display.size(), QImage::Format_RGB32);
    const double paintUs = MedianMicroseconds([&](int) { display.render(&target); });

    std::printf("rounds=%d\n", Rounds);
    std::printf("printmode_us=%.1f paint_us=%.1f\n", printModeUs, paintUs);
    return 0;
}
