// The serial line the program talks through: the system's serial ports, or with --virtual a
// simulated line to the virtual instrument bus.
#pragma once

#include "platform/serial_api.h"
#include "platform/serial_simulated.h"
#include "sim/virtual_accessory.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <memory>

namespace vr410 {

struct LineBackend {
    std::unique_ptr<sim::VirtualBus> Bus; // only on the virtual line; outlives Api
    std::unique_ptr<SerialApi> Api;
    SimulatedSerialApi* Simulated = nullptr;      // Api, when it is the simulated line
    sim::VirtualInstrument* Instrument = nullptr; // on Bus, at address 1
    sim::VirtualAccessory* Accessory = nullptr;   // on Bus, at address 251
};

// A virtual bus with one instrument at address 1 and the accessory at 251; every COM port
// name from COM1 to COM255 opens onto it (COM0 does not exist, as on a real machine).
LineBackend MakeVirtualLine();

// The operating system's serial ports.
LineBackend MakeSystemLine();

} // namespace vr410
