// The adapter library on Windows: the vendor's ftd2xx.dll, loaded at run time by name, so the
// build needs neither the vendor's header nor its import library. The few entry points used are
// declared here from the library's published ABI: every function takes and returns plain
// integers, pointers and char buffers, returns FT_STATUS (a 32-bit ULONG) and uses the WINAPI
// calling convention. A machine without the DLL (no adapter driver installed) lists no adapters
// and says so once on the standard error stream.
#ifdef _WIN32

#include "platform/ftdi_api.h"
#include "platform/win32_api.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

namespace vr410 {

namespace {

using D2xxHandle = void*; // FT_HANDLE of the library: an opaque pointer, never null when open
using D2xxStatus = ULONG;

// Flags of FT_ListDevices and FT_OpenEx.
constexpr DWORD FT_LIST_NUMBER_ONLY = 0x80000000;
constexpr DWORD FT_LIST_BY_INDEX = 0x40000000;
constexpr DWORD FT_OPEN_BY_SERIAL_NUMBER = 1;
constexpr DWORD FT_OPEN_BY_DESCRIPTION = 2;

// The string buffers the listing and device-info calls fill: 16 bytes for a serial number and
// 64 for a description, NUL included. Both get the larger size, so a long string never runs
// past the buffer.
constexpr size_t D2xxStringBuffer = 64;

using FT_ListDevices_t = D2xxStatus(WINAPI*)(PVOID arg1, PVOID arg2, DWORD flags);
using FT_OpenEx_t = D2xxStatus(WINAPI*)(PVOID arg, DWORD flags, D2xxHandle* handle);
using FT_Close_t = D2xxStatus(WINAPI*)(D2xxHandle handle);
using FT_GetDeviceInfo_t = D2xxStatus(WINAPI*)(D2xxHandle handle, ULONG* type, DWORD* id,
                                               char* serialNumber, char* description,
                                               PVOID reserved);
using FT_Read_t = D2xxStatus(WINAPI*)(D2xxHandle handle, PVOID buffer, DWORD count, DWORD* read);
using FT_Write_t = D2xxStatus(WINAPI*)(D2xxHandle handle, PVOID buffer, DWORD count,
                                       DWORD* written);
using FT_ResetDevice_t = D2xxStatus(WINAPI*)(D2xxHandle handle);
using FT_SetBaudRate_t = D2xxStatus(WINAPI*)(D2xxHandle handle, ULONG baud);
using FT_SetDataCharacteristics_t = D2xxStatus(WINAPI*)(D2xxHandle handle, UCHAR wordLength,
                                                        UCHAR stopBits, UCHAR parity);
using FT_Purge_t = D2xxStatus(WINAPI*)(D2xxHandle handle, ULONG mask);
using FT_SetTimeouts_t = D2xxStatus(WINAPI*)(D2xxHandle handle, ULONG readMs, ULONG writeMs);
using FT_GetQueueStatus_t = D2xxStatus(WINAPI*)(D2xxHandle handle, DWORD* bytes);

struct D2xxEntryPoints {
    FT_ListDevices_t ListDevices = nullptr;
    FT_OpenEx_t OpenEx = nullptr;
    FT_Close_t Close = nullptr;
    FT_GetDeviceInfo_t GetDeviceInfo = nullptr;
    FT_Read_t Read = nullptr;
    FT_Write_t Write = nullptr;
    FT_ResetDevice_t ResetDevice = nullptr;
    FT_SetBaudRate_t SetBaudRate = nullptr;
    FT_SetDataCharacteristics_t SetDataCharacteristics = nullptr;
    FT_Purge_t Purge = nullptr;
    FT_SetTimeouts_t SetTimeouts = nullptr;
    FT_GetQueueStatus_t GetQueueStatus = nullptr;
};

// Looks `name` up in `module` into `entry`; false when the DLL lacks it.
template <class Function> bool Resolve(HMODULE module, const char* name, Function& entry) {
    const FARPROC address = GetProcAddress(module, name);
    // Through the generic function pointer type, which every function pointer casts to and
    // from without a warning about the signatures differing.
    entry = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
    return address != nullptr;
}

// Says why the program lists no adapters, once per run however often the library is created.
void TellOnce(const std::string& text) {
    static bool told = false;
    if (told)
        return;
    told = true;
    std::fprintf(stderr, "%s\n", text.c_str());
}

D2xxHandle ToD2xx(FtHandle handle) {
    return reinterpret_cast<D2xxHandle>(handle);
}

// The text of a filled string buffer: up to its first NUL, cut to `limit` characters.
std::string BufferText(const std::array<char, D2xxStringBuffer>& buffer, size_t limit) {
    const size_t length = strnlen(buffer.data(), buffer.size());
    return std::string(buffer.data(), std::min(length, limit));
}

class D2xxApi final : public FtdiApi {
  public:
    D2xxApi() { Load(); }

    ~D2xxApi() override {
        if (Module_ == nullptr)
            return;
        for (const FtHandle handle : Open_)
            Dll_.Close(ToD2xx(handle));
        FreeLibrary(Module_);
    }

    D2xxApi(const D2xxApi&) = delete;
    D2xxApi& operator=(const D2xxApi&) = delete;

    FT_STATUS DeviceCount(uint32_t& count) override {
        count = 0;
        if (Module_ == nullptr)
            return FT_OK; // no driver installed: no adapters
        DWORD devices = 0;
        const D2xxStatus status = Dll_.ListDevices(&devices, nullptr, FT_LIST_NUMBER_ONLY);
        if (status == FT_OK)
            count = devices;
        return status;
    }

    FT_STATUS SerialNumberByIndex(uint32_t index, std::string& serialNumber) override {
        return ListByIndex(index, FT_OPEN_BY_SERIAL_NUMBER, FtSerialNumberChars, serialNumber);
    }

    FT_STATUS DescriptionByIndex(uint32_t index, std::string& description) override {
        return ListByIndex(index, FT_OPEN_BY_DESCRIPTION, FtDescriptionChars, description);
    }

    FT_STATUS OpenBySerialNumber(const char* serialNumber, FtHandle& handle) override {
        handle = 0;
        if (Module_ == nullptr)
            return FT_DEVICE_NOT_FOUND;
        if (serialNumber == nullptr)
            return FT_INVALID_PARAMETER;
        D2xxHandle opened = nullptr;
        // The library only reads the string, but its parameter is not const.
        const D2xxStatus status =
            Dll_.OpenEx(const_cast<char*>(serialNumber), FT_OPEN_BY_SERIAL_NUMBER, &opened);
        if (status == FT_OK && opened != nullptr) {
            handle = reinterpret_cast<FtHandle>(opened);
            Open_.insert(handle);
        }
        return status;
    }

    FT_STATUS Close(FtHandle handle) override {
        if (Module_ == nullptr || handle == 0)
            return FT_INVALID_HANDLE;
        const D2xxStatus status = Dll_.Close(ToD2xx(handle));
        Open_.erase(handle);
        return status;
    }

    FT_STATUS GetDeviceInfo(FtHandle handle, uint32_t& type, uint32_t& id,
                            std::string& serialNumber, std::string& description) override {
        if (Module_ == nullptr || handle == 0)
            return FT_INVALID_HANDLE;
        ULONG deviceType = 0;
        DWORD deviceId = 0;
        std::array<char, D2xxStringBuffer> serial{};
        std::array<char, D2xxStringBuffer> text{};
        const D2xxStatus status = Dll_.GetDeviceInfo(ToD2xx(handle), &deviceType, &deviceId,
                                                     serial.data(), text.data(), nullptr);
        if (status == FT_OK) {
            type = deviceType;
            id = deviceId;
            serialNumber = BufferText(serial, FtSerialNumberChars);
            description = BufferText(text, FtDescriptionChars);
        }
        return status;
    }

    FT_STATUS Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read) override {
        read = 0;
        if (Module_ == nullptr || handle == 0)
            return FT_INVALID_HANDLE;
        DWORD got = 0;
        const D2xxStatus status = Dll_.Read(ToD2xx(handle), buffer, count, &got);
        read = status == FT_OK ? std::min<DWORD>(got, count) : 0;
        return status;
    }

    FT_STATUS Write(FtHandle handle, const uint8_t* buffer, uint32_t count,
                    uint32_t& written) override {
        written = 0;
        if (Module_ == nullptr || handle == 0)
            return FT_INVALID_HANDLE;
        DWORD sent = 0;
        // FT_Write only reads the buffer; its parameter is not const.
        const D2xxStatus status =
            Dll_.Write(ToD2xx(handle), const_cast<uint8_t*>(buffer), count, &sent);
        written = sent;
        return status;
    }

    FT_STATUS ResetDevice(FtHandle handle) override {
        if (Module_ == nullptr || handle == 0)
            return FT_INVALID_HANDLE;
        return Dll_.ResetDevice(ToD2xx(handle));
    }

    FT_STATUS SetBaudRate(FtHandle handle, uint32_t baud) override {
        if (Module_ == nullptr || handle == 0)
            return FT_INVALID_HANDLE;
        return Dll_.SetBaudRate(ToD2xx(handle), baud);
    }

    FT_STATUS SetDataCharacteristics(FtHandle handle, uint8_t wordLength, uint8_t stopBits,
                                     uint8_t parity) override {
        if (Module_ == nullptr || handle == 0)
            return FT_INVALID_HANDLE;
        return Dll_.SetDataCharacteristics(ToD2xx(handle), wordLength, stopBits, parity);
    }

    FT_STATUS Purge(FtHandle handle, uint32_t mask) override {
        if (Module_ == nullptr || handle == 0)
            return FT_INVALID_HANDLE;
        return Dll_.Purge(ToD2xx(handle), mask);
    }

    FT_STATUS SetTimeouts(FtHandle handle, uint32_t readMs, uint32_t writeMs) override {
        if (Module_ == nullptr || handle == 0)
            return FT_INVALID_HANDLE;
        return Dll_.SetTimeouts(ToD2xx(handle), readMs, writeMs);
    }

    FT_STATUS GetQueueStatus(FtHandle handle, uint32_t& bytes) override {
        bytes = 0;
        if (Module_ == nullptr || handle == 0)
            return FT_INVALID_HANDLE;
        DWORD waiting = 0;
        const D2xxStatus status = Dll_.GetQueueStatus(ToD2xx(handle), &waiting);
        if (status == FT_OK)
            bytes = waiting;
        return status;
    }

  private:
    // Loads the DLL from the program's folder or the system folder (never the current folder,
    // where a stray DLL could be planted) and resolves every entry point; without the DLL or
    // with an entry point missing the library counts as absent, said once on stderr.
    void Load() {
        Module_ =
            LoadLibraryExW(L"ftd2xx.dll", nullptr,
                           LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (Module_ == nullptr) {
            TellOnce("ftd2xx.dll not found (error " + std::to_string(GetLastError()) +
                     "): no USB adapters are listed");
            return;
        }
        const bool complete =
            Resolve(Module_, "FT_ListDevices", Dll_.ListDevices) &&
            Resolve(Module_, "FT_OpenEx", Dll_.OpenEx) &&
            Resolve(Module_, "FT_Close", Dll_.Close) &&
            Resolve(Module_, "FT_GetDeviceInfo", Dll_.GetDeviceInfo) &&
            Resolve(Module_, "FT_Read", Dll_.Read) && Resolve(Module_, "FT_Write", Dll_.Write) &&
            Resolve(Module_, "FT_ResetDevice", Dll_.ResetDevice) &&
            Resolve(Module_, "FT_SetBaudRate", Dll_.SetBaudRate) &&
            Resolve(Module_, "FT_SetDataCharacteristics", Dll_.SetDataCharacteristics) &&
            Resolve(Module_, "FT_Purge", Dll_.Purge) &&
            Resolve(Module_, "FT_SetTimeouts", Dll_.SetTimeouts) &&
            Resolve(Module_, "FT_GetQueueStatus", Dll_.GetQueueStatus);
        if (!complete) {
            TellOnce("ftd2xx.dll lacks a function the program needs: no USB adapters are listed");
            FreeLibrary(Module_);
            Module_ = nullptr;
            Dll_ = {};
        }
    }

    // FT_ListDevices by index: the index itself travels in the pointer argument.
    FT_STATUS ListByIndex(uint32_t index, DWORD what, size_t limit, std::string& text) {
        if (Module_ == nullptr)
            return FT_DEVICE_NOT_FOUND;
        std::array<char, D2xxStringBuffer> buffer{};
        const D2xxStatus status =
            Dll_.ListDevices(reinterpret_cast<PVOID>(static_cast<uintptr_t>(index)), buffer.data(),
                             FT_LIST_BY_INDEX | what);
        if (status == FT_OK)
            text = BufferText(buffer, limit);
        return status;
    }

    HMODULE Module_ = nullptr;
    D2xxEntryPoints Dll_;
    std::set<FtHandle> Open_; // closed when the program ends
};

} // namespace

std::unique_ptr<FtdiApi> CreateSystemFtdiApi() {
    return std::make_unique<D2xxApi>();
}

} // namespace vr410

#endif // _WIN32
