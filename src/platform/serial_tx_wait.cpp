#include "platform/serial_tx_wait.h"

#include <algorithm>

namespace vr410 {

bool WaitTransmitterEmpty(TransmitterProbe& probe, TransmitterProbe::Clock::time_point lineFreeAt,
                          std::chrono::nanoseconds characterTime) {
    using namespace std::chrono_literals;
    const auto giveUp = std::max(probe.Now(), lineFreeAt) + 1s;
    // A quarter of a character (48 us at 57600 baud) between checks of the shift register: the
    // line changes at most that long after the last stop bit, plus the sleep's own slack.
    const auto step = std::max<std::chrono::nanoseconds>(characterTime / 4, 10us);

    int queued = 0;
    ProbeResult result = probe.OutputQueueBytes(queued);
    if (result == ProbeResult::Failed) {
        return false;
    }
    if (result == ProbeResult::Missing) {
        if (!probe.Drain()) {
            return false;
        }
    }
    while (result == ProbeResult::Answered && queued > 0) {
        if (probe.Now() > giveUp) {
            return false;
        }
        // The bytes still queued cannot leave faster than the line carries them.
        probe.SleepFor(std::max<std::chrono::nanoseconds>(characterTime * queued, step));
        result = probe.OutputQueueBytes(queued);
        if (result != ProbeResult::Answered) {
            return false;
        }
    }

    // The queue is empty; the UART's FIFO and shift register may still be sending.
    bool empty = false;
    result = probe.TransmitterEmpty(empty);
    if (result == ProbeResult::Failed) {
        return false;
    }
    if (result == ProbeResult::Missing) {
        // Nothing to ask (a USB adapter's own FIFO, a pty): the computed line time.
        const auto now = probe.Now();
        if (lineFreeAt > now) {
            probe.SleepFor(lineFreeAt - now);
        }
        return true;
    }
    while (!empty) {
        if (probe.Now() > giveUp) {
            return false;
        }
        probe.SleepFor(step);
        if (probe.TransmitterEmpty(empty) != ProbeResult::Answered) {
            return false;
        }
    }
    return true;
}

} // namespace vr410
