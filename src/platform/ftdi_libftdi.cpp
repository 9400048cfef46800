#include "platform/ftdi_libftdi.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace vr410 {

namespace {

constexpr int LibftdiDeviceUnavailable = -666;

FT_STATUS FromLibusb(int code) {
    switch (code) {
    case LIBUSB_ERROR_IO:
    case LIBUSB_ERROR_PIPE:
    case LIBUSB_ERROR_OVERFLOW:
    case LIBUSB_ERROR_INTERRUPTED:
    case LIBUSB_ERROR_TIMEOUT:
        return FT_IO_ERROR;
    case LIBUSB_ERROR_INVALID_PARAM:
        return FT_INVALID_PARAMETER;
    case LIBUSB_ERROR_ACCESS:
    case LIBUSB_ERROR_BUSY:
        return FT_DEVICE_NOT_OPENED;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
        return FT_DEVICE_NOT_FOUND;
    case LIBUSB_ERROR_NO_MEM:
        return FT_INSUFFICIENT_RESOURCES;
    case LIBUSB_ERROR_NOT_SUPPORTED:
        return FT_NOT_SUPPORTED;
    case LibftdiDeviceUnavailable:
        return FT_INVALID_HANDLE;
    default:
        return FT_OTHER_ERROR;
    }
}

} // namespace

FT_STATUS FtStatusFromLibftdi(LibftdiCall call, int result) {
    if (result >= 0)
        return FT_OK;
    switch (call) {
    case LibftdiCall::ReadData:
        return FromLibusb(result);
    case LibftdiCall::WriteData:
        // A write the device did not take: the library's own code, unless the device is gone.
        if (result == LIBUSB_ERROR_NO_DEVICE || result == LibftdiDeviceUnavailable)
            return FromLibusb(result);
        return FT_FAILED_TO_WRITE_DEVICE;
    case LibftdiCall::FindAll:
        // -3 out of memory, -5 and -6 the device list or a descriptor could not be read.
        return result == -3 ? FT_INSUFFICIENT_RESOURCES : FT_IO_ERROR;
    case LibftdiCall::GetStrings:
        // -1 wrong arguments, -4 the device could not be opened (gone, or no permission),
        // -7 to -9 a string descriptor could not be read.
        if (result == -1)
            return FT_INVALID_ARGS;
        if (result == -4)
            return FT_DEVICE_NOT_FOUND;
        return FT_IO_ERROR;
    case LibftdiCall::OpenDev:
        // -3 configuration, -4 open, -5 claim (the device is busy or the kernel driver stayed),
        // -6 reset, -7 baud rate, -8 and -9 strings, -10 close, -11 bad context, -12 device list.
        if (result == -11)
            return FT_INVALID_HANDLE;
        if (result == -12)
            return FT_IO_ERROR;
        return FT_DEVICE_NOT_OPENED;
    case LibftdiCall::SetBaudrate:
        // -1 a rate the chip cannot make, -2 the control transfer failed, -3 not open.
        if (result == -1)
            return FT_INVALID_BAUD_RATE;
        return result == -3 ? FT_INVALID_HANDLE : FT_IO_ERROR;
    case LibftdiCall::LineProperty:
    case LibftdiCall::Reset:
    case LibftdiCall::Flush:
        // -1 the control transfer failed, -2 not open.
        return result == -2 ? FT_INVALID_HANDLE : FT_IO_ERROR;
    case LibftdiCall::LatencyTimer:
        // -1 out of range, -2 the control transfer failed, -3 not open.
        if (result == -1)
            return FT_INVALID_PARAMETER;
        return result == -3 ? FT_INVALID_HANDLE : FT_IO_ERROR;
    }
    return FT_OTHER_ERROR;
}

struct LibftdiApi::Device {
    ftdi_context* Context = nullptr;
    std::string SerialNumber;
    std::string Description;
    uint32_t ReadTimeoutMs = 0;
    std::vector<uint8_t> Received; // fetched from the chip by a queue query, not yet read
};

namespace {

struct Strings {
    std::string SerialNumber;
    std::string Description;
};

// One listing of the FTDI devices on the buses, each with its strings (empty when unreadable).
class Listing {
  public:
    Listing() : Context_(ftdi_new()) {
        if (Context_ == nullptr)
            return; // no USB subsystem to ask (libusb did not start): no adapters
        const int found = ftdi_usb_find_all(Context_, &List_, 0, 0);
        Status = FtStatusFromLibftdi(LibftdiCall::FindAll, found);
        for (ftdi_device_list* item = List_; Status == FT_OK && item != nullptr; item = item->next)
            Devices.push_back(item->dev);
    }
    ~Listing() {
        if (List_ != nullptr)
            ftdi_list_free(&List_);
        if (Context_ != nullptr)
            ftdi_free(Context_);
    }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;

    FT_STATUS ReadStrings(libusb_device* device, Strings& strings) {
        char description[FtDescriptionChars + 1] = {};
        char serial[64] = {};
        const int result = ftdi_usb_get_strings(Context_, device, nullptr, 0, description,
                                                sizeof description, serial, sizeof serial);
        const FT_STATUS status = FtStatusFromLibftdi(LibftdiCall::GetStrings, result);
        if (status == FT_OK) {
            strings.SerialNumber = serial;
            strings.Description = description;
        }
        return status;
    }

    FT_STATUS Status = FT_OK;
    std::vector<libusb_device*> Devices;

  private:
    ftdi_context* Context_ = nullptr;
    ftdi_device_list* List_ = nullptr;
};

FT_STATUS StringsByIndex(uint32_t index, Strings& strings) {
    Listing listing;
    if (listing.Status != FT_OK)
        return listing.Status;
    if (index >= listing.Devices.size())
        return FT_DEVICE_NOT_FOUND;
    return listing.ReadStrings(listing.Devices[index], strings);
}

} // namespace

LibftdiApi::LibftdiApi() = default;

LibftdiApi::~LibftdiApi() {
    while (!Open_.empty())
        Close(Open_.begin()->first);
}

LibftdiApi::Device* LibftdiApi::Find(FtHandle handle) {
    const auto open = Open_.find(handle);
    return open == Open_.end() ? nullptr : open->second.get();
}

FT_STATUS LibftdiApi::DeviceCount(uint32_t& count) {
    count = 0;
    Listing listing;
    if (listing.Status == FT_OK)
        count = static_cast<uint32_t>(listing.Devices.size());
    return listing.Status;
}

FT_STATUS LibftdiApi::SerialNumberByIndex(uint32_t index, std::string& serialNumber) {
    Strings strings;
    const FT_STATUS status = StringsByIndex(index, strings);
    if (status == FT_OK)
        serialNumber = strings.SerialNumber.substr(0, FtSerialNumberChars);
    return status;
}

FT_STATUS LibftdiApi::DescriptionByIndex(uint32_t index, std::string& description) {
    Strings strings;
    const FT_STATUS status = StringsByIndex(index, strings);
    if (status == FT_OK)
        description = strings.Description.substr(0, FtDescriptionChars);
    return status;
}

FT_STATUS LibftdiApi::OpenBySerialNumber(const char* serialNumber, FtHandle& handle) {
    handle = 0;
    if (serialNumber == nullptr)
        return FT_INVALID_PARAMETER;
    Listing listing;
    if (listing.Status != FT_OK)
        return listing.Status;
    libusb_device* match = nullptr;
    Strings strings;
    for (libusb_device* device : listing.Devices) {
        Strings candidate;
        if (listing.ReadStrings(device, candidate) == FT_OK &&
            candidate.SerialNumber == serialNumber) {
            match = device;
            strings = candidate;
            break;
        }
    }
    if (match == nullptr)
        return FT_DEVICE_NOT_FOUND;

    auto device = std::make_unique<Device>();
    device->Context = ftdi_new();
    if (device->Context == nullptr)
        return FT_INSUFFICIENT_RESOURCES;
    // The kernel's ftdi_sio driver lets go of the interface while the device is open here and
    // takes it back when it is closed.
    device->Context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
    const FT_STATUS opened =
        FtStatusFromLibftdi(LibftdiCall::OpenDev, ftdi_usb_open_dev(device->Context, match));
    if (opened != FT_OK) {
        ftdi_free(device->Context);
        return opened;
    }
    // Bytes are handed over at once instead of after the chip's 16 ms default.
    ftdi_set_latency_timer(device->Context, 1);
    device->SerialNumber = strings.SerialNumber;
    device->Description = strings.Description;
    handle = NextHandle_++;
    Open_[handle] = std::move(device);
    return FT_OK;
}

FT_STATUS LibftdiApi::Close(FtHandle handle) {
    const auto open = Open_.find(handle);
    if (open == Open_.end())
        return FT_INVALID_HANDLE;
    ftdi_usb_close(open->second->Context); // fails harmlessly on a vanished device
    ftdi_free(open->second->Context);
    Open_.erase(open);
    return FT_OK;
}

FT_STATUS LibftdiApi::GetDeviceInfo(FtHandle handle, uint32_t& type, uint32_t& id,
                                    std::string& serialNumber, std::string& description) {
    Device* device = Find(handle);
    if (device == nullptr)
        return FT_INVALID_HANDLE;
    type = static_cast<uint32_t>(device->Context->type);
    id = 0x0403u << 16;
    serialNumber = device->SerialNumber.substr(0, FtSerialNumberChars);
    description = device->Description.substr(0, FtDescriptionChars);
    return FT_OK;
}

FT_STATUS LibftdiApi::Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read) {
    using Clock = std::chrono::steady_clock;
    read = 0;
    Device* device = Find(handle);
    if (device == nullptr)
        return FT_INVALID_HANDLE;
    const uint32_t kept = std::min<uint32_t>(count, static_cast<uint32_t>(device->Received.size()));
    std::copy_n(device->Received.begin(), kept, buffer);
    device->Received.erase(device->Received.begin(), device->Received.begin() + kept);
    read = kept;
    const auto deadline = Clock::now() + std::chrono::milliseconds{device->ReadTimeoutMs};
    while (read < count) {
        const auto started = Clock::now();
        const int want = static_cast<int>(std::min<uint32_t>(count - read, 1u << 16));
        // Each bulk transfer waits for the chip's next packet, at the latest one latency tick.
        const int got = ftdi_read_data(device->Context, buffer + read, want);
        if (got < 0)
            return FtStatusFromLibftdi(LibftdiCall::ReadData, got);
        read += static_cast<uint32_t>(got);
        const auto now = Clock::now();
        if (now >= deadline)
            break;
        if (got == 0 && now - started < std::chrono::microseconds{500})
            std::this_thread::sleep_for(std::chrono::milliseconds{1});
    }
    return FT_OK;
}

FT_STATUS LibftdiApi::Write(FtHandle handle, const uint8_t* buffer, uint32_t count,
                            uint32_t& written) {
    written = 0;
    Device* device = Find(handle);
    if (device == nullptr)
        return FT_INVALID_HANDLE;
    const int result = ftdi_write_data(device->Context, buffer, static_cast<int>(count));
    if (result < 0)
        return FtStatusFromLibftdi(LibftdiCall::WriteData, result);
    written = static_cast<uint32_t>(result);
    return FT_OK;
}

FT_STATUS LibftdiApi::ResetDevice(FtHandle handle) {
    Device* device = Find(handle);
    if (device == nullptr)
        return FT_INVALID_HANDLE;
    device->Received.clear();
    return FtStatusFromLibftdi(LibftdiCall::Reset, ftdi_usb_reset(device->Context));
}

FT_STATUS LibftdiApi::SetBaudRate(FtHandle handle, uint32_t baud) {
    Device* device = Find(handle);
    if (device == nullptr)
        return FT_INVALID_HANDLE;
    return FtStatusFromLibftdi(LibftdiCall::SetBaudrate,
                               ftdi_set_baudrate(device->Context, static_cast<int>(baud)));
}

FT_STATUS LibftdiApi::SetDataCharacteristics(FtHandle handle, uint8_t wordLength, uint8_t stopBits,
                                             uint8_t parity) {
    Device* device = Find(handle);
    if (device == nullptr)
        return FT_INVALID_HANDLE;
    if ((wordLength != FT_BITS_7 && wordLength != FT_BITS_8) ||
        (stopBits != FT_STOP_BITS_1 && stopBits != FT_STOP_BITS_2) || parity > FT_PARITY_SPACE)
        return FT_INVALID_PARAMETER;
    // The D2XX codes are libftdi1's enum values: 7/8 bits, stop 0/2, parity 0..4 with MARK 3
    // and SPACE 4.
    return FtStatusFromLibftdi(LibftdiCall::LineProperty,
                               ftdi_set_line_property(device->Context,
                                                      static_cast<ftdi_bits_type>(wordLength),
                                                      static_cast<ftdi_stopbits_type>(stopBits),
                                                      static_cast<ftdi_parity_type>(parity)));
}

FT_STATUS LibftdiApi::Purge(FtHandle handle, uint32_t mask) {
    Device* device = Find(handle);
    if (device == nullptr)
        return FT_INVALID_HANDLE;
    FT_STATUS status = FT_OK;
    if (mask & FT_PURGE_RX) {
        device->Received.clear();
        status = FtStatusFromLibftdi(LibftdiCall::Flush, ftdi_tciflush(device->Context));
    }
    if ((mask & FT_PURGE_TX) && status == FT_OK)
        status = FtStatusFromLibftdi(LibftdiCall::Flush, ftdi_tcoflush(device->Context));
    return status;
}

FT_STATUS LibftdiApi::SetTimeouts(FtHandle handle, uint32_t readMs, uint32_t writeMs) {
    Device* device = Find(handle);
    if (device == nullptr)
        return FT_INVALID_HANDLE;
    device->ReadTimeoutMs = readMs;
    device->Context->usb_write_timeout = static_cast<int>(writeMs);
    return FT_OK;
}

FT_STATUS LibftdiApi::GetQueueStatus(FtHandle handle, uint32_t& bytes) {
    bytes = 0;
    Device* device = Find(handle);
    if (device == nullptr)
        return FT_INVALID_HANDLE;
    // What the chip has sent so far: one bulk transfer, which waits at most a latency tick.
    uint8_t chunk[4096];
    const int got = ftdi_read_data(device->Context, chunk, sizeof chunk);
    if (got < 0)
        return FtStatusFromLibftdi(LibftdiCall::ReadData, got);
    device->Received.insert(device->Received.end(), chunk, chunk + got);
    bytes = static_cast<uint32_t>(device->Received.size());
    return FT_OK;
}

std::unique_ptr<FtdiApi> CreateSystemFtdiApi() {
    return std::make_unique<LibftdiApi>();
}

} // namespace vr410
