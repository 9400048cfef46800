// The adapter library on Linux: libftdi1 over libusb. Adapters are found by the vendor's ids,
// opened by serial number with the kernel's serial driver detached while open (and given back on
// close), and set up with the chip's latency timer at its minimum so that a 20 ms read window is
// not stretched by the chip holding bytes back for 16 ms. Failures come back as the library's
// FT_STATUS codes; a vanished device gives FT_DEVICE_NOT_FOUND or FT_IO_ERROR.
#pragma once

#include "platform/ftdi_api.h"

#include <map>
#include <memory>

namespace vr410 {

// The libftdi1 calls whose failures are mapped, each with its own meaning of the negative codes.
enum class LibftdiCall : uint8_t {
    FindAll,      // ftdi_usb_find_all
    GetStrings,   // ftdi_usb_get_strings
    OpenDev,      // ftdi_usb_open_dev
    ReadData,     // ftdi_read_data: libusb codes, -666 when the device is not open
    WriteData,    // ftdi_write_data: libusb codes, -666 when the device is not open
    SetBaudrate,  // ftdi_set_baudrate
    LineProperty, // ftdi_set_line_property
    Reset,        // ftdi_usb_reset
    Flush,        // ftdi_tciflush, ftdi_tcoflush
    LatencyTimer, // ftdi_set_latency_timer
};

// The FT_STATUS a libftdi1 call's negative result stands for (FT_OK for 0 and above).
FT_STATUS FtStatusFromLibftdi(LibftdiCall call, int result);

class LibftdiApi : public FtdiApi {
  public:
    LibftdiApi();
    ~LibftdiApi() override; // closes every device still open
    LibftdiApi(const LibftdiApi&) = delete;
    LibftdiApi& operator=(const LibftdiApi&) = delete;

    FT_STATUS DeviceCount(uint32_t& count) override;
    FT_STATUS SerialNumberByIndex(uint32_t index, std::string& serialNumber) override;
    FT_STATUS DescriptionByIndex(uint32_t index, std::string& description) override;
    FT_STATUS OpenBySerialNumber(const char* serialNumber, FtHandle& handle) override;
    FT_STATUS Close(FtHandle handle) override;
    FT_STATUS GetDeviceInfo(FtHandle handle, uint32_t& type, uint32_t& id,
                            std::string& serialNumber, std::string& description) override;
    FT_STATUS Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read) override;
    FT_STATUS Write(FtHandle handle, const uint8_t* buffer, uint32_t count,
                    uint32_t& written) override;
    FT_STATUS ResetDevice(FtHandle handle) override;
    FT_STATUS SetBaudRate(FtHandle handle, uint32_t baud) override;
    FT_STATUS SetDataCharacteristics(FtHandle handle, uint8_t wordLength, uint8_t stopBits,
                                     uint8_t parity) override;
    FT_STATUS Purge(FtHandle handle, uint32_t mask) override;
    FT_STATUS SetTimeouts(FtHandle handle, uint32_t readMs, uint32_t writeMs) override;
    FT_STATUS GetQueueStatus(FtHandle handle, uint32_t& bytes) override;

    struct Device;

  private:
    Device* Find(FtHandle handle);
    std::map<FtHandle, std::unique_ptr<Device>> Open_;
    FtHandle NextHandle_ = 1;
};

} // namespace vr410
