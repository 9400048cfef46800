// Runs a test's steps inside a modal window's own event loop: the window's exec() returns only
// when it closes, so whatever the test does meanwhile must be queued before the window opens.
#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace vr410::test {

// Once window is shown, runs script; a window the script left open is then closed, so a failed
// step never leaves the test waiting on it.
inline void WhenShown(QWidget& window, std::function<void()> script) {
    auto step = std::make_shared<std::function<void()>>();
    *step = [&window, script = std::move(script), step] {
        if (!window.isVisible()) {
            QTimer::singleShot(5, &window, *step);
            return;
        }
        script();
        if (window.isVisible()) {
            window.close();
        }
        *step = nullptr; // breaks the cycle of the step holding itself
    };
    QTimer::singleShot(0, &window, *step);
}

} // namespace vr410::test
