// The wait for an empty transmitter against modelled devices on a manual clock: a UART that
// reports its queue and its shift register, a USB adapter that reports only its queue, a device
// that reports neither, and failures.
#include "platform/serial_tx_wait.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vr410 {
namespace {

using namespace std::chrono_literals;
using Clock = TransmitterProbe::Clock;
using std::chrono::nanoseconds;

constexpr nanoseconds CharacterTime = 11'000'000'000ns / 57600; // 191 us
constexpr nanoseconds Tick = 4ms;                               // a 250 Hz kernel's tick
constexpr int FifoDepth = 16;

// A transmitter sending `Bytes` characters written at Start, FifoDepth of them in the UART and
// the rest in the driver's queue. tcdrain returns at the first scheduler tick after the last
// stop bit, as the UART drivers' wait does.
class ModelledTransmitter : public TransmitterProbe {
  public:
    bool HasQueue = true;
    bool HasLineStatus = true;
    bool QueueFails = false;
    bool Stuck = false; // flow control holds every byte
    int Bytes = 10;
    Clock::time_point Start{};
    Clock::time_point Time{};
    int Drains = 0;

    Clock::time_point LastStopBit() const { return Start + CharacterTime * Bytes; }

    ProbeResult OutputQueueBytes(int& bytes) override {
        if (QueueFails) {
            return ProbeResult::Failed;
        }
        if (!HasQueue) {
            return ProbeResult::Missing;
        }
        bytes = std::max(0, Bytes - FifoDepth - Finished());
        return ProbeResult::Answered;
    }
    ProbeResult TransmitterEmpty(bool& empty) override {
        if (!HasLineStatus) {
            return ProbeResult::Missing;
        }
        empty = Finished() == Bytes;
        return ProbeResult::Answered;
    }
    bool Drain() override {
        ++Drains;
        const auto done = std::max(Time, LastStopBit());
        Time = Clock::time_point{(done.time_since_epoch() / Tick + 1) * Tick};
        return true;
    }
    Clock::time_point Now() override { return Time; }
    void SleepFor(nanoseconds duration) override { Time += duration; }

  private:
    int Finished() const {
        if (Stuck) {
            return 0;
        }
        return static_cast<int>(std::min<int64_t>(Bytes, (Time - Start) / CharacterTime));
    }
};

struct DeviceCase {
    const char* Name;
    bool HasQueue;
    bool HasLineStatus;
    int Bytes;
    nanoseconds LateAtMost; // after the last stop bit
    int Drains;
};

void PrintTo(const DeviceCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const DeviceCase DeviceCases[] = {
    {.Name = "UartAddressByte",       .HasQueue = true,  .HasLineStatus = true,  .Bytes = 1,  .LateAtMost = CharacterTime / 4, .Drains = 0},
    {.Name = "UartLongBody",          .HasQueue = true,  .HasLineStatus = true,  .Bytes = 40, .LateAtMost = CharacterTime / 4, .Drains = 0},
    {.Name = "UsbAdapterWithoutLsr",  .HasQueue = true,  .HasLineStatus = false, .Bytes = 10, .LateAtMost = 0ns,               .Drains = 0},
    {.Name = "DeviceWithNeitherCall", .HasQueue = false, .HasLineStatus = false, .Bytes = 10, .LateAtMost = Tick,              .Drains = 1},
};
// clang-format on

class TransmitterWait : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(TransmitterWait, EndsSoonAfterTheLastStopBitAndDrainsOnlyWithoutTheQueueCall) {
    const DeviceCase& c = GetParam();
    ModelledTransmitter device;
    device.HasQueue = c.HasQueue;
    device.HasLineStatus = c.HasLineStatus;
    device.Bytes = c.Bytes;
    device.Start = Clock::time_point{1s + 1ms}; // between two ticks
    device.Time = device.Start;
    ASSERT_TRUE(WaitTransmitterEmpty(device, device.LastStopBit(), CharacterTime));
    EXPECT_GE(device.Time, device.LastStopBit()) << "never before the last stop bit";
    EXPECT_LE(device.Time - device.LastStopBit(), c.LateAtMost);
    EXPECT_EQ(device.Drains, c.Drains);
}

INSTANTIATE_TEST_SUITE_P(Devices, TransmitterWait, ::testing::ValuesIn(DeviceCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(TransmitterWaitFailure, FailingQueueCallFailsTheWait) {
    ModelledTransmitter device;
    device.QueueFails = true;
    EXPECT_FALSE(WaitTransmitterEmpty(device, device.LastStopBit(), CharacterTime));
}

TEST(TransmitterWaitFailure, TransmitterHeldByFlowControlGivesUpAfterASecond) {
    ModelledTransmitter device;
    device.Stuck = true;
    device.Bytes = 40;
    EXPECT_FALSE(WaitTransmitterEmpty(device, device.LastStopBit(), CharacterTime));
    EXPECT_GE(device.Time - device.LastStopBit(), 1s);
    EXPECT_LT(device.Time - device.LastStopBit(), 2s);
}

} // namespace
} // namespace vr410
