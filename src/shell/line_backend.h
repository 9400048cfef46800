// The serial line the program talks through: the system's serial ports, or with --virtual a
// simulated line to the virtual instrument bus.
#pragma once

#include "platform/ftdi_api.h"
#include "platform/ftdi_simulated.h"
#include "platform/serial_api.h"
#include "platform/serial_simulated.h"
#include "sim/virtual_accessory.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <filesystem>
#include <memory>

namespace vr410 {

struct LineBackend {
    std::unique_ptr<sim::VirtualBus> Bus; // only on the virtual line; outlives Api
    std::unique_ptr<SerialApi> Api;
    SimulatedSerialApi* Simulated = nullptr;      // Api, when it is the simulated line
    sim::VirtualInstrument* Instrument = nullptr; // on Bus, at address 1
    sim::VirtualAccessory* Accessory = nullptr;   // on Bus, at address 251
    // The FTDI adapter library: the system's, or on the virtual line two simulated adapters
    // on Bus, "USB-RS485" with the serial numbers "VR000001" and "VR000002".
    std::unique_ptr<FtdiApi> Usb;
    SimulatedFtdiApi* SimulatedUsb = nullptr; // Usb, when it is simulated
};

// A virtual bus with one instrument at address 1 and the accessory at 251; every COM port
// name from COM1 to COM255 opens onto it (COM0 does not exist, as on a real machine), and so
// do the two simulated USB adapters.
LineBackend MakeVirtualLine();

// The operating system's serial ports and FTDI adapter library.
LineBackend MakeSystemLine();

// The settings file a run on `line` reads and writes: `realIni` on the system's serial ports;
// on the virtual line a file of its own beside it, "VR410-virtual.ini", so that what a virtual
// run saves (its start on COM1 among it) never reaches the next run on the real ports.
std::filesystem::path SettingsPathFor(const LineBackend& line,
                                      const std::filesystem::path& realIni);

} // namespace vr410
