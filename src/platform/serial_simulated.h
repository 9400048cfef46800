// The simulated serial backend: an in-memory line from the PC's UART to a LinePeer (the virtual
// instrument bus). Characters carry nine bits, take the real character time of the line to leave
// and to arrive, and raise the same error flags a UART raises. Every change of the line (settings,
// RTS, writes, characters sent) is recorded with its time so tests can check the driver's order
// of steps.
//
// Time is the real steady clock; the port sleeps instead of spinning. Everything runs on the
// caller's thread: the peer is called from inside the port's calls and must not call back into
// the port.
#pragma once

#include "platform/line_peer.h"
#include "platform/serial_api.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vr410 {

// The ninth bit a UART sends with `data` under `parity`: MARK 1, SPACE 0, Odd and Even so that
// the count of ones including it is odd or even. None sends no ninth bit (false).
bool NinthBitFor(uint8_t data, ParityMode parity);

// The calls of a port, for fault injection.
enum class SerialCall : uint8_t {
    GetTimeouts,
    SetTimeouts,
    SetupQueues,
    GetState,
    SetState,
    GetEventMask,
    SetEventMask,
    WaitEvent,
    SetRts,
    Purge,
    Write,
    ClearError,
    Read,
};

// One entry of the line log.
struct LineEvent {
    enum class Kind : uint8_t {
        Opened,
        Closed,
        SettingsChanged, // SetState; Parity holds the new parity
        RtsRaised,
        RtsDropped,
        Written,       // Data holds the block handed to the transmitter
        CharacterSent, // one character left the PC: Data[0], NinthBit; At is its stop bit's end
        TxEmpty,       // WaitEvent returned with EV_TXEMPTY
        Purged,        // PurgeFlags
        CallFailed,    // an injected failure; FailedCall names the call
    };
    Kind What = Kind::Opened;
    SimClock::time_point At{};
    std::string Port;
    ParityMode Parity = ParityMode::None; // the parity in force after the event
    bool Rts = false;                     // RTS after the event
    bool NinthBit = false;
    uint32_t PurgeFlags = 0;
    SerialCall FailedCall = SerialCall::Read;
    std::vector<uint8_t> Data;
};

// What a freshly opened port reports before anyone configures it.
struct SimulatedPortDefaults {
    LineSettings Settings{};
    CommTimeouts Timeouts{};
    uint32_t EventMask = 0;
    uint32_t InputQueueBytes = 4096;
    // false: a driver without stick parity (no CMSPAR), which takes MARK as odd and SPACE as even
    // parity and says nothing.
    bool StickParity = true;
};

// What a test can read back of an open port.
struct SimulatedLineState {
    LineSettings Settings{};
    CommTimeouts Timeouts{};
    uint32_t EventMask = 0;
    uint32_t InputQueueBytes = 0;
    uint32_t OutputQueueBytes = 0;
    bool Rts = false;
    bool Dtr = false;
};

class SimulatedSerialApi : public SerialApi {
  public:
    // All ports opened through this object lead to `peer`, which must outlive them.
    explicit SimulatedSerialApi(LinePeer& peer);
    ~SimulatedSerialApi() override;

    // Windows naming: "COM"n up to 9, "\\.\COM"n from 10.
    std::string PortDeviceName(int number) override;
    // Opens a port that was added and is not open already. A missing name gives NotFound (2),
    // an open one AccessDenied (5), a refusal set by RefuseOpen that refusal.
    std::unique_ptr<SerialPort> Open(const std::string& deviceName, OpenError& error) override;
    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;

    // Makes a device name exist. Returns *this so ports can be added in a row.
    SimulatedSerialApi& AddPort(const std::string& deviceName);
    // Unplugs a device: later opens give NotFound and every call of a port open on it fails.
    void RemovePort(const std::string& deviceName);
    // Makes opens of the name fail with `refusal` (Kind None lifts it), e.g. a port another
    // program holds (AccessDenied, 5) or an odd driver error (Other, 31).
    void RefuseOpen(const std::string& deviceName, OpenError refusal);
    // Makes every later `call` of every port fail (return false) until lifted.
    void FailCall(SerialCall call, bool fail = true);
    void SetDefaults(const SimulatedPortDefaults& defaults);

    // The state of the open port of that name, or nothing when none is open.
    std::optional<SimulatedLineState> LineState(const std::string& deviceName) const;
    // The line log, oldest first; past 65536 events the oldest half is dropped.
    const std::vector<LineEvent>& Log() const;
    void ClearLog();

    struct Shared;

  private:
    std::shared_ptr<Shared> Shared_;
};

} // namespace vr410
