// The VR410С accessory on its fixed bus address 251: a band (0..6) and a factor (1..5) set and
// read as one byte, band in the high nibble; 0xFF while it is in reset. A set with factor 0 puts
// it in reset; a band above 6 or a factor above 5 is refused with error 17.
#pragma once

#include "sim/bus_device.h"

namespace vr410::sim {

class VirtualAccessory : public BusDevice {
  public:
    uint8_t Address() const override { return AccessoryAddress; }
    // Answers reset (1), exchange test (8), set (16, one byte) and read (17); silent otherwise.
    std::optional<FrameBytes> HandleRequest(const FrameBytes& request,
                                            SimClock::time_point at) override;

    // The band and factor byte, AccessoryResetByte in reset.
    uint8_t BandFactor() const { return BandFactor_; }

  private:
    uint8_t BandFactor_ = AccessoryResetByte;
};

} // namespace vr410::sim
