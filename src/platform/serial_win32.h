// The Windows serial backend: the Win32 communications calls, one to one.
#pragma once

#ifdef _WIN32

#include "platform/serial_api.h"

namespace vr410 {

class Win32SerialApi : public SerialApi {
  public:
    // Raises the system timer's resolution to 1 ms for as long as the object lives (the
    // program's life): at the default 15.6 ms a 1 ms sleep of the receive's wait lasts up to
    // 16 ms, and the 30 and 100 ms limits of the receive would be overshot by as much.
    Win32SerialApi();
    ~Win32SerialApi() override;
    Win32SerialApi(const Win32SerialApi&) = delete;
    Win32SerialApi& operator=(const Win32SerialApi&) = delete;

    // "COM"n up to 9, "\\.\COM"n from 10.
    std::string PortDeviceName(int number) override;
    // CreateFileW for reading and writing, not shared, only if the device exists. Error 2
    // gives NotFound, error 5 AccessDenied, any other code Other.
    std::unique_ptr<SerialPort> Open(const std::string& deviceName, OpenError& error) override;
    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;
};

} // namespace vr410

#endif
