// The serial backends the program can run on.
#include "shell/line_backend.h"

#ifdef _WIN32
#include "platform/serial_win32.h"
#else
#include "platform/serial_posix.h"
#endif

namespace vr410 {

LineBackend MakeVirtualLine() {
    LineBackend line;
    line.Bus = std::make_unique<sim::VirtualBus>();
    line.Instrument = &line.Bus->AddDevice<sim::VirtualInstrument>();
    line.Accessory = &line.Bus->AddDevice<sim::VirtualAccessory>();
    auto api = std::make_unique<SimulatedSerialApi>(*line.Bus);
    for (int number = 1; number <= 255; ++number) {
        api->AddPort(api->PortDeviceName(number));
    }
    line.Simulated = api.get();
    line.Api = std::move(api);
    auto usb = std::make_unique<SimulatedFtdiApi>(*line.Bus);
    usb->AddAdapter("USB-RS485", "VR000001").AddAdapter("USB-RS485", "VR000002");
    line.SimulatedUsb = usb.get();
    line.Usb = std::move(usb);
    return line;
}

LineBackend MakeSystemLine() {
    LineBackend line;
#ifdef _WIN32
    line.Api = std::make_unique<Win32SerialApi>();
#else
    line.Api = std::make_unique<PosixSerialApi>();
#endif
    line.Usb = CreateSystemFtdiApi();
    return line;
}

std::filesystem::path SettingsPathFor(const LineBackend& line,
                                      const std::filesystem::path& realIni) {
    if (line.Bus == nullptr) {
        return realIni;
    }
    std::filesystem::path own = realIni;
    return own.replace_filename("VR410-virtual.ini");
}

} // namespace vr410
