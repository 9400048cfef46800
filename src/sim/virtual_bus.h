// The RS485 bus behind the simulated serial line: it assembles the PC's 9-bit characters into
// frames, hands each sound frame to the device with its address, and puts the device's answer
// back on the line after a short turnaround at the line's character time, with the faults
// asked for.
#pragma once

#include "sim/bus_device.h"
#include "sim/line_fault.h"

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace vr410::sim {

class VirtualBus : public LinePeer {
  public:
    explicit VirtualBus(const LineTiming& timing = {});

    // Puts a new device on the bus and returns it; the bus owns it. Devices should have
    // different addresses; when two share one, the one added first takes the frames.
    template <class Device, class... Args> Device& AddDevice(Args&&... args) {
        auto device = std::make_unique<Device>(std::forward<Args>(args)...);
        Device& added = *device;
        Devices_.push_back(std::move(device));
        return added;
    }

    FaultInjector& Faults() { return Faults_; }
    LineTiming& Timing() { return Timing_; }

    // Sound requests taken by a device, by function code (retries count again).
    uint32_t RequestCount(uint8_t code) const { return RequestCounts_[code]; }
    uint32_t TotalRequests() const;
    // Complete frames no device took: another address, bad check bytes or a damaged character.
    uint32_t IgnoredFrames() const { return IgnoredFrames_; }

    std::vector<LineCharacter> OnCharacterFromPc(const LineCharacter& sent,
                                                 bool rtsRaised) override;

  private:
    BusDevice* DeviceAt(uint8_t address) const;
    std::vector<LineCharacter> FrameComplete(SimClock::time_point end);

    LineTiming Timing_;
    FaultInjector Faults_;
    std::vector<std::unique_ptr<BusDevice>> Devices_;
    std::array<uint32_t, 256> RequestCounts_{};
    uint32_t IgnoredFrames_ = 0;

    // The frame being assembled since the last character with the ninth bit set.
    bool Assembling_ = false;
    bool Damaged_ = false;
    BusDevice* Target_ = nullptr;
    PacketRecord Frame_;
    size_t ExpectedBody_ = 0;
};

} // namespace vr410::sim
