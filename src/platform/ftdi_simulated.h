// Simulated FTDI adapters on the virtual instrument bus, for tests and --virtual. Each adapter
// has a description and a serial number and carries a UART on the simulated serial line to the
// bus (the same bus the simulated COM ports lead to), so its characters take the line's real
// time and its ninth bit follows the parity set by SetDataCharacteristics. Received bytes reach
// the host the way a real chip hands them over: at the ticks of its latency timer.
//
// Adapters can be unplugged and plugged back in at any time, also in the middle of an exchange:
// an open handle then fails every call with FT_IO_ERROR, an open finds nothing
// (FT_DEVICE_NOT_FOUND) until the adapter is back, and a replugged adapter needs a new open.
// Every library call is recorded, so tests can check the order of a driver's calls.
#pragma once

#include "platform/ftdi_api.h"
#include "platform/line_peer.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vr410 {

class SimulatedSerialApi;
struct LineEvent;

enum class FtdiCall : uint8_t {
    DeviceCount,
    SerialNumberByIndex,
    DescriptionByIndex,
    OpenBySerialNumber,
    Close,
    GetDeviceInfo,
    Read,
    Write,
    ResetDevice,
    SetBaudRate,
    SetDataCharacteristics,
    Purge,
    SetTimeouts,
    GetQueueStatus,
};

// One entry of the call log.
struct FtdiCallRecord {
    FtdiCall Call = FtdiCall::DeviceCount;
    std::string SerialNumber; // the adapter the call went to ("" for the listing calls)
    FT_STATUS Status = FT_OK;
    uint32_t Value = 0;        // Purge: the mask; SetDataCharacteristics: the parity; Read: bytes
    std::vector<uint8_t> Data; // Write: the bytes written
    SimClock::time_point At{};
};

struct SimulatedAdapter {
    std::string Description;
    std::string SerialNumber;
    bool Plugged = true;
    bool Open = false;
};

class SimulatedFtdiApi : public FtdiApi {
  public:
    // All adapters lead to `bus`, which must outlive this object and the adapters' handles.
    explicit SimulatedFtdiApi(LinePeer& bus);
    ~SimulatedFtdiApi() override;

    // Adds a plugged-in adapter; the listing shows adapters in the order they were added.
    SimulatedFtdiApi& AddAdapter(const std::string& description, const std::string& serialNumber);
    // Pulls an adapter out or puts it back; an unknown serial number does nothing.
    void SetPlugged(const std::string& serialNumber, bool plugged);
    std::vector<SimulatedAdapter> Adapters() const;

    // Makes every later `call` fail with `status` (FT_OK lifts it).
    void FailCall(FtdiCall call, FT_STATUS status);
    // The chip's latency timer: received bytes reach the host at its ticks. 1 ms by default.
    void SetLatency(std::chrono::microseconds latency);

    // The library calls, oldest first, and beneath them the events of the adapters' line (as
    // SimulatedSerialApi logs them). Both are kept for tests up to a bound; ClearLog drops both.
    const std::vector<FtdiCallRecord>& Log() const;
    const std::vector<LineEvent>& LineLog() const;
    void ClearLog();

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
    struct Entry {
        SimulatedAdapter Adapter;
    };
    Entry* Find(const std::string& serialNumber);
    // The open device of the handle when the call may go on; else the status to return.
    FT_STATUS Use(FtdiCall call, FtHandle handle, Device*& device);
    FtdiCallRecord& Record(FtdiCall call, const std::string& serialNumber, FT_STATUS status);
    FT_STATUS Fails(FtdiCall call) const;

    std::unique_ptr<SimulatedSerialApi> Line_;
    std::vector<Entry> Entries_;
    std::map<FtHandle, std::unique_ptr<Device>> Open_;
    FtHandle NextHandle_ = 0x100;
    std::map<FtdiCall, FT_STATUS> Failing_;
    std::chrono::microseconds Latency_{1000};
    std::vector<FtdiCallRecord> Log_;
};

} // namespace vr410
