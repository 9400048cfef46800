// What the serial driver needs of the platform's serial communications, as one small
// interface with one backend per file: POSIX termios (serial_posix.cpp), Win32
// (serial_win32.cpp) and the simulated line to the virtual instrument (serial_simulated.cpp).
// Every call is synchronous and returns true on success, as the Win32 calls do.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vr410 {

// Receive error flags, with the values of the Win32 CE_ constants.
constexpr uint32_t CE_RXOVER = 0x1;
constexpr uint32_t CE_OVERRUN = 0x2;
constexpr uint32_t CE_RXPARITY = 0x4;
constexpr uint32_t CE_FRAME = 0x8;
constexpr uint32_t CE_BREAK = 0x10;

// Purge flags, with the values of the Win32 PURGE_ constants.
constexpr uint32_t PURGE_TXABORT = 0x1;
constexpr uint32_t PURGE_RXABORT = 0x2;
constexpr uint32_t PURGE_TXCLEAR = 0x4;
constexpr uint32_t PURGE_RXCLEAR = 0x8;

// Event mask bit: every byte written has left the transmitter.
constexpr uint32_t EV_TXEMPTY = 0x4;

enum class ParityMode : uint8_t { None, Odd, Even, Mark, Space };

// The fields of the line settings (the Win32 DCB) that the driver sets.
struct LineSettings {
    uint32_t BaudRate = 9600;
    uint8_t DataBits = 8;
    uint8_t StopBits = 1; // 1 or 2
    ParityMode Parity = ParityMode::None;
    bool Binary = true;
    bool ParityCheck = false; // off: received parity errors are only reported in the flags
    bool DtrEnable = true;    // DTR raised while open
    bool RtsManual = true;    // RTS driven only by SetRts
    bool OutxCtsFlow = false;
    bool OutxDsrFlow = false;
    bool DsrSensitivity = false;
    bool TxContinueOnXoff = false;
    bool OutX = false;
    bool InX = false;
    bool ErrorChar = false;
    bool Null = false;
    bool AbortOnError = false;
};

// Time one character takes with `settings`: start bit, data bits, parity bit if any, stop bits.
// 57600 baud, 8 data bits, MARK or SPACE parity and one stop bit make 11 bits, about 191 us.
constexpr std::chrono::nanoseconds CharacterTime(const LineSettings& settings) {
    const int64_t bits =
        1 + settings.DataBits + (settings.Parity == ParityMode::None ? 0 : 1) + settings.StopBits;
    const int64_t baud = settings.BaudRate == 0 ? 1 : settings.BaudRate;
    return std::chrono::nanoseconds{bits * 1'000'000'000LL / baud};
}

// The Win32 COMMTIMEOUTS fields, in milliseconds.
struct CommTimeouts {
    uint32_t ReadIntervalTimeout = 0;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 0;
};

// Why an open failed. NotFound and AccessDenied are told apart because the link status shows
// them as "отсутствует" and "занят"; anything else carries the system's own code.
enum class OpenFailure : uint8_t { None, NotFound, AccessDenied, Other };

struct OpenError {
    OpenFailure Kind = OpenFailure::None;
    int Code = 0; // GetLastError() on Windows, errno elsewhere
};

// One open port. Closing is destroying.
class SerialPort {
  public:
    virtual ~SerialPort() = default;
    virtual bool GetTimeouts(CommTimeouts& timeouts) = 0;
    virtual bool SetTimeouts(const CommTimeouts& timeouts) = 0;
    virtual bool SetupQueues(uint32_t inputBytes, uint32_t outputBytes) = 0;
    virtual bool GetState(LineSettings& settings) = 0;
    virtual bool SetState(const LineSettings& settings) = 0;
    virtual bool GetEventMask(uint32_t& mask) = 0;
    virtual bool SetEventMask(uint32_t mask) = 0;
    // Blocks until an event of the mask happens; with EV_TXEMPTY, until every byte written
    // has left the transmitter (the last stop bit included).
    virtual bool WaitEvent(uint32_t& event) = 0;
    virtual bool SetRts(bool raised) = 0;
    virtual bool Purge(uint32_t flags) = 0;
    virtual bool Write(const uint8_t* data, size_t count, size_t& written) = 0;
    // Returns and clears the receive error flags (CE_*) and tells how many bytes are waiting.
    virtual bool ClearError(uint32_t& errors, uint32_t& inputQueueBytes) = 0;
    // Reads at most count bytes that are waiting; never waits for more.
    virtual bool Read(uint8_t* data, size_t count, size_t& read) = 0;
    // Blocks without spinning until a byte or a receive error is waiting, or the deadline
    // passes. Returns at once when something is already waiting.
    virtual void WaitForInput(std::chrono::steady_clock::time_point deadline) = 0;
    // True once a call has failed because the device is gone (an unplugged USB adapter, a
    // hung-up tty): every later call fails too, and only closing and opening again can help.
    virtual bool Lost() const { return false; }
};

// The facility: opening ports by name, the port naming rule and the millisecond clock.
class SerialApi {
  public:
    virtual ~SerialApi() = default;
    // Device name of COM port number n (on Windows "COM"n up to 9, "\\.\COM"n from 10).
    virtual std::string PortDeviceName(int number) = 0;
    // Opens for reading and writing, exclusively, only if the device exists.
    virtual std::unique_ptr<SerialPort> Open(const std::string& deviceName, OpenError& error) = 0;
    virtual uint32_t TickCount() = 0; // milliseconds, wraps like GetTickCount
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// The backend of the system the program runs on: Win32 on Windows, termios on Linux.
std::unique_ptr<SerialApi> CreateSystemSerialApi();

} // namespace vr410
