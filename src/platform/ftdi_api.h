// What the USB link needs of the FTDI adapter library, as one small interface in the library's
// own terms: D2XX-like calls that return the library's FT_STATUS codes. Three backends: the
// vendor's ftd2xx.dll loaded at run time (ftdi_d2xx_win32.cpp), libftdi1 on Linux
// (ftdi_libftdi.cpp), and simulated adapters on the virtual instrument bus (ftdi_simulated.cpp).
//
// Every call is synchronous. Read waits as FT_Read does: until `count` bytes have come or the
// read time-out set by SetTimeouts has passed, whichever is first, without spinning.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vr410 {

using FT_STATUS = uint32_t;
using FtHandle = uintptr_t; // 0: no device

// FT_STATUS values of the library.
constexpr FT_STATUS FT_OK = 0;
constexpr FT_STATUS FT_INVALID_HANDLE = 1;
constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
constexpr FT_STATUS FT_IO_ERROR = 4;
constexpr FT_STATUS FT_INSUFFICIENT_RESOURCES = 5;
constexpr FT_STATUS FT_INVALID_PARAMETER = 6;
constexpr FT_STATUS FT_INVALID_BAUD_RATE = 7;
constexpr FT_STATUS FT_DEVICE_NOT_OPENED_FOR_ERASE = 8;
constexpr FT_STATUS FT_DEVICE_NOT_OPENED_FOR_WRITE = 9;
constexpr FT_STATUS FT_FAILED_TO_WRITE_DEVICE = 10;
constexpr FT_STATUS FT_EEPROM_READ_FAILED = 11;
constexpr FT_STATUS FT_EEPROM_WRITE_FAILED = 12;
constexpr FT_STATUS FT_EEPROM_ERASE_FAILED = 13;
constexpr FT_STATUS FT_EEPROM_NOT_PRESENT = 14;
constexpr FT_STATUS FT_EEPROM_NOT_PROGRAMMED = 15;
constexpr FT_STATUS FT_INVALID_ARGS = 16;
constexpr FT_STATUS FT_NOT_SUPPORTED = 17;
constexpr FT_STATUS FT_OTHER_ERROR = 18;

// Data characteristics codes.
constexpr uint8_t FT_BITS_8 = 8;
constexpr uint8_t FT_BITS_7 = 7;
constexpr uint8_t FT_STOP_BITS_1 = 0;
constexpr uint8_t FT_STOP_BITS_2 = 2;
constexpr uint8_t FT_PARITY_NONE = 0;
constexpr uint8_t FT_PARITY_ODD = 1;
constexpr uint8_t FT_PARITY_EVEN = 2;
constexpr uint8_t FT_PARITY_MARK = 3;
constexpr uint8_t FT_PARITY_SPACE = 4;

// Purge masks: RX empties what came from the line, TX what waits to go out.
constexpr uint32_t FT_PURGE_RX = 1;
constexpr uint32_t FT_PURGE_TX = 2;

// Longest strings the listing calls give: serial number and description, NUL excluded.
constexpr size_t FtSerialNumberChars = 15;
constexpr size_t FtDescriptionChars = 63;

class FtdiApi {
  public:
    virtual ~FtdiApi() = default;

    // FT_ListDevices with FT_LIST_NUMBER_ONLY.
    virtual FT_STATUS DeviceCount(uint32_t& count) = 0;
    // FT_ListDevices by index with FT_OPEN_BY_SERIAL_NUMBER and FT_OPEN_BY_DESCRIPTION.
    virtual FT_STATUS SerialNumberByIndex(uint32_t index, std::string& serialNumber) = 0;
    virtual FT_STATUS DescriptionByIndex(uint32_t index, std::string& description) = 0;
    // FT_OpenEx with FT_OPEN_BY_SERIAL_NUMBER.
    virtual FT_STATUS OpenBySerialNumber(const char* serialNumber, FtHandle& handle) = 0;
    virtual FT_STATUS Close(FtHandle handle) = 0;
    // FT_GetDeviceInfo: the open device's type, id, serial number and description.
    virtual FT_STATUS GetDeviceInfo(FtHandle handle, uint32_t& type, uint32_t& id,
                                    std::string& serialNumber, std::string& description) = 0;
    virtual FT_STATUS Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read) = 0;
    virtual FT_STATUS Write(FtHandle handle, const uint8_t* buffer, uint32_t count,
                            uint32_t& written) = 0;
    virtual FT_STATUS ResetDevice(FtHandle handle) = 0;
    virtual FT_STATUS SetBaudRate(FtHandle handle, uint32_t baud) = 0;
    virtual FT_STATUS SetDataCharacteristics(FtHandle handle, uint8_t wordLength, uint8_t stopBits,
                                             uint8_t parity) = 0;
    virtual FT_STATUS Purge(FtHandle handle, uint32_t mask) = 0;
    virtual FT_STATUS SetTimeouts(FtHandle handle, uint32_t readMs, uint32_t writeMs) = 0;
    // FT_GetQueueStatus: bytes received and not yet read.
    virtual FT_STATUS GetQueueStatus(FtHandle handle, uint32_t& bytes) = 0;
};

// The adapter library of the system the program runs on: ftd2xx.dll on Windows, libftdi1 on
// Linux (when the build found it). Null when the platform has none.
std::unique_ptr<FtdiApi> CreateSystemFtdiApi();

} // namespace vr410
