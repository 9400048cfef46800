#ifdef _WIN32

#include "platform/serial_win32.h"

#include "platform/port_naming.h"
#include "platform/receive_queue.h"
#include "platform/win32_api.h"

// After windows.h, which leaves the multimedia timer out under WIN32_LEAN_AND_MEAN.
#include <mmsystem.h>

namespace vr410 {

namespace {

constexpr BYTE ParityCodes[] = {NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY};

std::wstring Widen(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

class Win32SerialPort final : public SerialPort {
  public:
    explicit Win32SerialPort(HANDLE handle) : Handle_(handle) {}
    ~Win32SerialPort() override { CloseHandle(Handle_); }

    bool GetTimeouts(CommTimeouts& timeouts) override {
        COMMTIMEOUTS t{};
        if (!GetCommTimeouts(Handle_, &t))
            return Fail();
        timeouts = {.ReadIntervalTimeout = t.ReadIntervalTimeout,
                    .ReadTotalTimeoutMultiplier = t.ReadTotalTimeoutMultiplier,
                    .ReadTotalTimeoutConstant = t.ReadTotalTimeoutConstant,
                    .WriteTotalTimeoutMultiplier = t.WriteTotalTimeoutMultiplier,
                    .WriteTotalTimeoutConstant = t.WriteTotalTimeoutConstant};
        return true;
    }

    bool SetTimeouts(const CommTimeouts& timeouts) override {
        COMMTIMEOUTS t{.ReadIntervalTimeout = timeouts.ReadIntervalTimeout,
                       .ReadTotalTimeoutMultiplier = timeouts.ReadTotalTimeoutMultiplier,
                       .ReadTotalTimeoutConstant = timeouts.ReadTotalTimeoutConstant,
                       .WriteTotalTimeoutMultiplier = timeouts.WriteTotalTimeoutMultiplier,
                       .WriteTotalTimeoutConstant = timeouts.WriteTotalTimeoutConstant};
        return SetCommTimeouts(Handle_, &t) != FALSE || Fail();
    }

    bool SetupQueues(uint32_t inputBytes, uint32_t outputBytes) override {
        return SetupComm(Handle_, inputBytes, outputBytes) != FALSE || Fail();
    }

    bool GetState(LineSettings& settings) override {
        DCB dcb{};
        if (!ReadDcb(dcb))
            return false;
        settings.BaudRate = dcb.BaudRate;
        settings.DataBits = dcb.ByteSize;
        settings.StopBits = dcb.StopBits == TWOSTOPBITS ? 2 : 1;
        settings.Parity =
            dcb.Parity <= SPACEPARITY ? static_cast<ParityMode>(dcb.Parity) : ParityMode::None;
        settings.Binary = dcb.fBinary;
        settings.ParityCheck = dcb.fParity;
        settings.DtrEnable = dcb.fDtrControl == DTR_CONTROL_ENABLE;
        settings.RtsManual = dcb.fRtsControl == RTS_CONTROL_DISABLE;
        settings.OutxCtsFlow = dcb.fOutxCtsFlow;
        settings.OutxDsrFlow = dcb.fOutxDsrFlow;
        settings.DsrSensitivity = dcb.fDsrSensitivity;
        settings.TxContinueOnXoff = dcb.fTXContinueOnXoff;
        settings.OutX = dcb.fOutX;
        settings.InX = dcb.fInX;
        settings.ErrorChar = dcb.fErrorChar;
        settings.Null = dcb.fNull;
        settings.AbortOnError = dcb.fAbortOnError;
        return true;
    }

    // Every DCB field the settings do not name keeps what the port reported.
    bool SetState(const LineSettings& settings) override {
        DCB dcb{};
        if (!ReadDcb(dcb))
            return false;
        dcb.BaudRate = settings.BaudRate;
        dcb.ByteSize = settings.DataBits;
        dcb.StopBits = settings.StopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
        dcb.Parity = ParityCodes[static_cast<size_t>(settings.Parity)];
        dcb.fBinary = settings.Binary;
        dcb.fParity = settings.ParityCheck;
        dcb.fDtrControl = settings.DtrEnable ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
        if (settings.RtsManual)
            dcb.fRtsControl = RTS_CONTROL_DISABLE;
        dcb.fOutxCtsFlow = settings.OutxCtsFlow;
        dcb.fOutxDsrFlow = settings.OutxDsrFlow;
        dcb.fDsrSensitivity = settings.DsrSensitivity;
        dcb.fTXContinueOnXoff = settings.TxContinueOnXoff;
        dcb.fOutX = settings.OutX;
        dcb.fInX = settings.InX;
        dcb.fErrorChar = settings.ErrorChar;
        dcb.fNull = settings.Null;
        dcb.fAbortOnError = settings.AbortOnError;
        return SetCommState(Handle_, &dcb) != FALSE || Fail();
    }

    bool GetEventMask(uint32_t& mask) override {
        DWORD m = 0;
        if (!GetCommMask(Handle_, &m))
            return Fail();
        mask = m;
        return true;
    }

    bool SetEventMask(uint32_t mask) override {
        return SetCommMask(Handle_, mask) != FALSE || Fail();
    }

    bool WaitEvent(uint32_t& event) override {
        DWORD e = 0;
        if (!WaitCommEvent(Handle_, &e, nullptr))
            return Fail();
        event = e;
        return true;
    }

    bool SetRts(bool raised) override {
        return EscapeCommFunction(Handle_, raised ? SETRTS : CLRRTS) != FALSE || Fail();
    }

    bool Purge(uint32_t flags) override { return PurgeComm(Handle_, flags) != FALSE || Fail(); }

    bool Write(const uint8_t* data, size_t count, size_t& written) override {
        DWORD n = 0;
        const BOOL ok = WriteFile(Handle_, data, static_cast<DWORD>(count), &n, nullptr);
        written = n;
        if (!ok)
            return Fail();
        return n == count;
    }

    bool ClearError(uint32_t& errors, uint32_t& inputQueueBytes) override {
        DWORD e = 0;
        COMSTAT status{};
        if (!ClearCommError(Handle_, &e, &status))
            return Fail();
        errors = e | Held_.TakeErrors();
        inputQueueBytes = status.cbInQue;
        return true;
    }

    // Returns at once when asked only for bytes that are waiting; the read interval timeout
    // the driver sets ends the read after them.
    bool Read(uint8_t* data, size_t count, size_t& read) override {
        DWORD n = 0;
        const BOOL ok = ReadFile(Handle_, data, static_cast<DWORD>(count), &n, nullptr);
        read = n;
        return ok != FALSE || Fail();
    }

    // Windows has no wait for "a byte or an error" on a synchronous handle, so this polls; each
    // 1 ms sleep lasts about 1 ms because Win32SerialApi holds the timer at 1 ms resolution.
    // Flags seen here are held for the next ClearError, which would otherwise never see them.
    void WaitForInput(std::chrono::steady_clock::time_point deadline) override {
        for (;;) {
            DWORD e = 0;
            COMSTAT status{};
            if (!ClearCommError(Handle_, &e, &status)) {
                Fail();
                return;
            }
            Held_.RaiseErrors(e);
            if (status.cbInQue != 0 || Held_.Errors() != 0 ||
                std::chrono::steady_clock::now() >= deadline)
                return;
            ::Sleep(1);
        }
    }

    bool Lost() const override { return Lost_; }

  private:
    // The port's line settings as the driver holds them.
    bool ReadDcb(DCB& dcb) {
        dcb.DCBlength = sizeof dcb;
        return GetCommState(Handle_, &dcb) != FALSE || Fail();
    }

    // Every failed call ends here: notes a device that is gone and returns false. The USB serial
    // drivers answer an unplugged adapter's open handle with one of these codes.
    bool Fail() {
        switch (GetLastError()) {
        case ERROR_BAD_COMMAND:          // 22: Prolific and others
        case ERROR_ACCESS_DENIED:        // 5: FTDI's virtual COM port
        case ERROR_GEN_FAILURE:          // 31
        case ERROR_DEVICE_NOT_CONNECTED: // 1167
        case ERROR_DEVICE_REMOVED:       // 1617
            Lost_ = true;
            break;
        default:
            break;
        }
        return false;
    }

    HANDLE Handle_;
    bool Lost_ = false;
    // The driver keeps the bytes; only the flags seen while waiting are held here.
    ReceiveQueue Held_;
};

} // namespace

Win32SerialApi::Win32SerialApi() {
    timeBeginPeriod(1);
}

Win32SerialApi::~Win32SerialApi() {
    timeEndPeriod(1);
}

std::string Win32SerialApi::PortDeviceName(int number) {
    return WindowsPortDeviceName(number);
}

std::unique_ptr<SerialPort> Win32SerialApi::Open(const std::string& deviceName, OpenError& error) {
    error = {};
    const HANDLE handle = CreateFileW(Widen(deviceName).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        const OpenFailure kind = code == ERROR_FILE_NOT_FOUND  ? OpenFailure::NotFound
                                 : code == ERROR_ACCESS_DENIED ? OpenFailure::AccessDenied
                                                               : OpenFailure::Other;
        error = {.Kind = kind, .Code = static_cast<int>(code)};
        return nullptr;
    }
    return std::make_unique<Win32SerialPort>(handle);
}

uint32_t Win32SerialApi::TickCount() {
    return GetTickCount();
}

void Win32SerialApi::Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

std::unique_ptr<SerialApi> CreateSystemSerialApi() {
    return std::make_unique<Win32SerialApi>();
}

} // namespace vr410

#endif
