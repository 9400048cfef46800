#include "platform/ftdi_simulated.h"

#include "platform/serial_simulated.h"

#include <algorithm>
#include <deque>
#include <optional>

namespace vr410 {

namespace {

constexpr uint32_t DeviceType232R = 5;
constexpr uint32_t DeviceId232R = 0x04036001;

std::string LinePortName(const std::string& serialNumber) {
    return "FTDI:" + serialNumber;
}

std::optional<ParityMode> ParityOf(uint8_t code) {
    switch (code) {
    case FT_PARITY_NONE:
        return ParityMode::None;
    case FT_PARITY_ODD:
        return ParityMode::Odd;
    case FT_PARITY_EVEN:
        return ParityMode::Even;
    case FT_PARITY_MARK:
        return ParityMode::Mark;
    case FT_PARITY_SPACE:
        return ParityMode::Space;
    default:
        return std::nullopt;
    }
}

} // namespace

struct SimulatedFtdiApi::Device {
    std::string SerialNumber;
    std::unique_ptr<SerialPort> Port; // null once the adapter was pulled out
    LineSettings Settings{};
    uint32_t ReadTimeoutMs = 0;
    SimClock::time_point OpenedAt{};
    struct Arrived {
        uint8_t Byte = 0;
        SimClock::time_point VisibleAt{};
    };
    std::deque<Arrived> Pending; // received by the chip, handed to the host at its ticks
};

SimulatedFtdiApi::SimulatedFtdiApi(LinePeer& bus)
    : Line_(std::make_unique<SimulatedSerialApi>(bus)) {}

SimulatedFtdiApi::~SimulatedFtdiApi() = default;

SimulatedFtdiApi& SimulatedFtdiApi::AddAdapter(const std::string& description,
                                               const std::string& serialNumber) {
    Entry& entry = Entries_.emplace_back();
    entry.Adapter.Description = description;
    entry.Adapter.SerialNumber = serialNumber;
    Line_->AddPort(LinePortName(serialNumber));
    return *this;
}

void SimulatedFtdiApi::SetPlugged(const std::string& serialNumber, bool plugged) {
    Entry* entry = Find(serialNumber);
    if (entry == nullptr || entry->Adapter.Plugged == plugged)
        return;
    entry->Adapter.Plugged = plugged;
    if (plugged) {
        Line_->AddPort(LinePortName(serialNumber));
        return;
    }
    entry->Adapter.Open = false;
    Line_->RemovePort(LinePortName(serialNumber));
    for (auto& [handle, device] : Open_)
        if (device->SerialNumber == serialNumber) {
            device->Port.reset();
            device->Pending.clear();
        }
}

std::vector<SimulatedAdapter> SimulatedFtdiApi::Adapters() const {
    std::vector<SimulatedAdapter> adapters;
    for (const Entry& entry : Entries_)
        adapters.push_back(entry.Adapter);
    return adapters;
}

void SimulatedFtdiApi::FailCall(FtdiCall call, FT_STATUS status) {
    if (status == FT_OK)
        Failing_.erase(call);
    else
        Failing_[call] = status;
}

void SimulatedFtdiApi::SetLatency(std::chrono::microseconds latency) {
    Latency_ = std::max(latency, std::chrono::microseconds{1});
}

const std::vector<FtdiCallRecord>& SimulatedFtdiApi::Log() const {
    return Log_;
}

const std::vector<LineEvent>& SimulatedFtdiApi::LineLog() const {
    return Line_->Log();
}

void SimulatedFtdiApi::ClearLog() {
    Log_.clear();
    Line_->ClearLog();
}

SimulatedFtdiApi::Entry* SimulatedFtdiApi::Find(const std::string& serialNumber) {
    for (Entry& entry : Entries_)
        if (entry.Adapter.SerialNumber == serialNumber)
            return &entry;
    return nullptr;
}

FtdiCallRecord& SimulatedFtdiApi::Record(FtdiCall call, const std::string& serialNumber,
                                         FT_STATUS status) {
    // A virtual run polls for hours; keep the newest half once the log is long.
    constexpr size_t MaxRecords = 1 << 16;
    if (Log_.size() >= MaxRecords)
        Log_.erase(Log_.begin(), Log_.begin() + static_cast<std::ptrdiff_t>(MaxRecords / 2));
    FtdiCallRecord& entry = Log_.emplace_back();
    entry.Call = call;
    entry.SerialNumber = serialNumber;
    entry.Status = status;
    entry.At = SimClock::now();
    return entry;
}

FT_STATUS SimulatedFtdiApi::Fails(FtdiCall call) const {
    const auto failing = Failing_.find(call);
    return failing == Failing_.end() ? FT_OK : failing->second;
}

FT_STATUS SimulatedFtdiApi::Use(FtdiCall call, FtHandle handle, Device*& device) {
    device = nullptr;
    const auto open = Open_.find(handle);
    const std::string serial = open == Open_.end() ? std::string{} : open->second->SerialNumber;
    FT_STATUS status = Fails(call);
    if (status == FT_OK) {
        if (open == Open_.end())
            status = FT_INVALID_HANDLE;
        else if (open->second->Port == nullptr)
            status = FT_IO_ERROR; // the adapter was pulled out under the open handle
    }
    if (status != FT_OK) {
        Record(call, serial, status);
        return status;
    }
    device = open->second.get();
    return FT_OK;
}

namespace {

// The host's side of the chip: bytes the UART received become readable at the next tick of the
// latency timer after they arrive.
SimClock::time_point NextTick(SimClock::time_point openedAt, SimClock::time_point now,
                              std::chrono::microseconds latency) {
    const auto since = std::chrono::duration_cast<std::chrono::microseconds>(now - openedAt);
    return openedAt + latency * (since / latency + 1);
}

} // namespace

// Everything the UART holds goes to the chip's buffer, readable from the next tick; line errors
// are not told through reads. Returns the time of the pull.
static SimClock::time_point PullFromLine(SimulatedFtdiApi::Device& device,
                                         std::chrono::microseconds latency) {
    uint32_t errors = 0;
    uint32_t waiting = 0;
    device.Port->ClearError(errors, waiting);
    const auto now = SimClock::now();
    if (waiting != 0) {
        std::vector<uint8_t> received(waiting);
        size_t got = 0;
        device.Port->Read(received.data(), received.size(), got);
        const auto visibleAt = NextTick(device.OpenedAt, now, latency);
        for (size_t i = 0; i < got; ++i)
            device.Pending.push_back({received[i], visibleAt});
    }
    return now;
}

FT_STATUS SimulatedFtdiApi::DeviceCount(uint32_t& count) {
    count = 0;
    if (const FT_STATUS status = Fails(FtdiCall::DeviceCount); status != FT_OK)
        return Record(FtdiCall::DeviceCount, "", status).Status;
    count = static_cast<uint32_t>(std::count_if(Entries_.begin(), Entries_.end(),
                                                [](const Entry& e) { return e.Adapter.Plugged; }));
    Record(FtdiCall::DeviceCount, "", FT_OK).Value = count;
    return FT_OK;
}

namespace {

template <class Entries>
auto PluggedAt(Entries& entries, uint32_t index) -> decltype(&entries.front()) {
    for (auto& entry : entries)
        if (entry.Adapter.Plugged && index-- == 0)
            return &entry;
    return nullptr;
}

} // namespace

FT_STATUS SimulatedFtdiApi::SerialNumberByIndex(uint32_t index, std::string& serialNumber) {
    FT_STATUS status = Fails(FtdiCall::SerialNumberByIndex);
    const Entry* entry = PluggedAt(Entries_, index);
    if (status == FT_OK && entry == nullptr)
        status = FT_DEVICE_NOT_FOUND;
    if (status == FT_OK)
        serialNumber = entry->Adapter.SerialNumber.substr(0, FtSerialNumberChars);
    return Record(FtdiCall::SerialNumberByIndex, "", status).Status;
}

FT_STATUS SimulatedFtdiApi::DescriptionByIndex(uint32_t index, std::string& description) {
    FT_STATUS status = Fails(FtdiCall::DescriptionByIndex);
    const Entry* entry = PluggedAt(Entries_, index);
    if (status == FT_OK && entry == nullptr)
        status = FT_DEVICE_NOT_FOUND;
    if (status == FT_OK)
        description = entry->Adapter.Description.substr(0, FtDescriptionChars);
    return Record(FtdiCall::DescriptionByIndex, "", status).Status;
}

FT_STATUS SimulatedFtdiApi::OpenBySerialNumber(const char* serialNumber, FtHandle& handle) {
    handle = 0;
    const std::string serial = serialNumber == nullptr ? std::string{} : serialNumber;
    FT_STATUS status = Fails(FtdiCall::OpenBySerialNumber);
    Entry* entry = Find(serial);
    if (status == FT_OK && (entry == nullptr || !entry->Adapter.Plugged))
        status = FT_DEVICE_NOT_FOUND;
    else if (status == FT_OK && entry->Adapter.Open)
        status = FT_DEVICE_NOT_OPENED; // the library opens a device once
    std::unique_ptr<SerialPort> port;
    if (status == FT_OK) {
        OpenError error;
        port = Line_->Open(LinePortName(serial), error);
        if (port == nullptr)
            status = FT_DEVICE_NOT_OPENED;
    }
    if (status == FT_OK) {
        auto device = std::make_unique<Device>();
        device->SerialNumber = serial;
        device->Port = std::move(port);
        device->Settings.BaudRate = 9600;
        device->Settings.Parity = ParityMode::None;
        device->Port->SetState(device->Settings);
        device->OpenedAt = SimClock::now();
        handle = NextHandle_++;
        Open_[handle] = std::move(device);
        entry->Adapter.Open = true;
    }
    return Record(FtdiCall::OpenBySerialNumber, serial, status).Status;
}

FT_STATUS SimulatedFtdiApi::Close(FtHandle handle) {
    const auto open = Open_.find(handle);
    FT_STATUS status = Fails(FtdiCall::Close);
    if (status == FT_OK && open == Open_.end())
        status = FT_INVALID_HANDLE;
    const std::string serial = open == Open_.end() ? std::string{} : open->second->SerialNumber;
    if (status == FT_OK) {
        if (open->second->Port != nullptr)
            if (Entry* entry = Find(serial))
                entry->Adapter.Open = false;
        Open_.erase(open);
    }
    return Record(FtdiCall::Close, serial, status).Status;
}

FT_STATUS SimulatedFtdiApi::GetDeviceInfo(FtHandle handle, uint32_t& type, uint32_t& id,
                                          std::string& serialNumber, std::string& description) {
    Device* device = nullptr;
    if (const FT_STATUS status = Use(FtdiCall::GetDeviceInfo, handle, device); status != FT_OK)
        return status;
    const Entry* entry = Find(device->SerialNumber);
    type = DeviceType232R;
    id = DeviceId232R;
    serialNumber = device->SerialNumber.substr(0, FtSerialNumberChars);
    description = entry->Adapter.Description.substr(0, FtDescriptionChars);
    return Record(FtdiCall::GetDeviceInfo, device->SerialNumber, FT_OK).Status;
}

FT_STATUS SimulatedFtdiApi::Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read) {
    read = 0;
    Device* device = nullptr;
    if (const FT_STATUS status = Use(FtdiCall::Read, handle, device); status != FT_OK)
        return status;
    const auto deadline = SimClock::now() + std::chrono::milliseconds{device->ReadTimeoutMs};
    for (;;) {
        const auto now = PullFromLine(*device, Latency_);
        while (read < count && !device->Pending.empty() &&
               device->Pending.front().VisibleAt <= now) {
            buffer[read++] = device->Pending.front().Byte;
            device->Pending.pop_front();
        }
        if (read == count || now >= deadline)
            break;
        // Waits for the next tick, and meanwhile takes in every byte as it reaches the UART:
        // a byte that comes while the read waits for a tick is handed over at that tick, as the
        // chip does, not one latency period after it.
        const auto wake = device->Pending.empty()
                              ? deadline
                              : std::min(deadline, device->Pending.front().VisibleAt);
        device->Port->WaitForInput(wake);
    }
    Record(FtdiCall::Read, device->SerialNumber, FT_OK).Value = read;
    return FT_OK;
}

FT_STATUS SimulatedFtdiApi::Write(FtHandle handle, const uint8_t* buffer, uint32_t count,
                                  uint32_t& written) {
    written = 0;
    Device* device = nullptr;
    if (const FT_STATUS status = Use(FtdiCall::Write, handle, device); status != FT_OK)
        return status;
    size_t sent = 0;
    const bool ok = device->Port->Write(buffer, count, sent);
    written = static_cast<uint32_t>(sent);
    FtdiCallRecord& entry =
        Record(FtdiCall::Write, device->SerialNumber, ok ? FT_OK : FT_FAILED_TO_WRITE_DEVICE);
    entry.Data.assign(buffer, buffer + count);
    return entry.Status;
}

FT_STATUS SimulatedFtdiApi::ResetDevice(FtHandle handle) {
    Device* device = nullptr;
    if (const FT_STATUS status = Use(FtdiCall::ResetDevice, handle, device); status != FT_OK)
        return status;
    device->Pending.clear();
    device->Port->Purge(PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_TXABORT | PURGE_RXABORT);
    return Record(FtdiCall::ResetDevice, device->SerialNumber, FT_OK).Status;
}

FT_STATUS SimulatedFtdiApi::SetBaudRate(FtHandle handle, uint32_t baud) {
    Device* device = nullptr;
    if (const FT_STATUS status = Use(FtdiCall::SetBaudRate, handle, device); status != FT_OK)
        return status;
    FT_STATUS status = FT_INVALID_BAUD_RATE;
    if (baud >= 183 && baud <= 3'000'000) {
        device->Settings.BaudRate = baud;
        device->Port->SetState(device->Settings);
        status = FT_OK;
    }
    Record(FtdiCall::SetBaudRate, device->SerialNumber, status).Value = baud;
    return status;
}

FT_STATUS SimulatedFtdiApi::SetDataCharacteristics(FtHandle handle, uint8_t wordLength,
                                                   uint8_t stopBits, uint8_t parity) {
    Device* device = nullptr;
    if (const FT_STATUS status = Use(FtdiCall::SetDataCharacteristics, handle, device);
        status != FT_OK)
        return status;
    const std::optional<ParityMode> mode = ParityOf(parity);
    FT_STATUS status = FT_INVALID_PARAMETER;
    if (mode && (wordLength == FT_BITS_7 || wordLength == FT_BITS_8) &&
        (stopBits == FT_STOP_BITS_1 || stopBits == FT_STOP_BITS_2)) {
        device->Settings.DataBits = wordLength;
        device->Settings.StopBits = stopBits == FT_STOP_BITS_2 ? 2 : 1;
        device->Settings.Parity = *mode;
        device->Port->SetState(device->Settings);
        status = FT_OK;
    }
    Record(FtdiCall::SetDataCharacteristics, device->SerialNumber, status).Value = parity;
    return status;
}

FT_STATUS SimulatedFtdiApi::Purge(FtHandle handle, uint32_t mask) {
    Device* device = nullptr;
    if (const FT_STATUS status = Use(FtdiCall::Purge, handle, device); status != FT_OK)
        return status;
    if (mask & FT_PURGE_RX) {
        device->Pending.clear();
        device->Port->Purge(PURGE_RXCLEAR | PURGE_RXABORT);
    }
    if (mask & FT_PURGE_TX)
        device->Port->Purge(PURGE_TXCLEAR | PURGE_TXABORT);
    Record(FtdiCall::Purge, device->SerialNumber, FT_OK).Value = mask;
    return FT_OK;
}

FT_STATUS SimulatedFtdiApi::SetTimeouts(FtHandle handle, uint32_t readMs, uint32_t writeMs) {
    Device* device = nullptr;
    if (const FT_STATUS status = Use(FtdiCall::SetTimeouts, handle, device); status != FT_OK)
        return status;
    device->ReadTimeoutMs = readMs;
    (void)writeMs; // the simulated transmitter never holds a write back
    Record(FtdiCall::SetTimeouts, device->SerialNumber, FT_OK).Value = readMs;
    return FT_OK;
}

FT_STATUS SimulatedFtdiApi::GetQueueStatus(FtHandle handle, uint32_t& bytes) {
    bytes = 0;
    Device* device = nullptr;
    if (const FT_STATUS status = Use(FtdiCall::GetQueueStatus, handle, device); status != FT_OK)
        return status;
    const auto now = PullFromLine(*device, Latency_);
    for (const Device::Arrived& arrived : device->Pending)
        if (arrived.VisibleAt <= now)
            ++bytes;
    Record(FtdiCall::GetQueueStatus, device->SerialNumber, FT_OK).Value = bytes;
    return FT_OK;
}

} // namespace vr410
