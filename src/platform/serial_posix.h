// The Linux serial backend over termios. MARK and SPACE parity are the stick parity of
// PARENB|CMSPAR; receive errors come from PARMRK marks in the byte stream and from the driver's
// error counters (TIOCGICOUNT); transmit-empty is the driver's queue (TIOCOUTQ) and the
// transmitter's own report (TIOCSERGETLSR) or, where the driver gives none, the line time of the
// bytes written (serial_tx_wait.h).
// Ports are opened exclusively (flock, the UUCP lock file and TIOCEXCL) and without becoming a
// controlling tty.
#pragma once

#include "platform/port_naming.h"
#include "platform/serial_api.h"
#include "platform/serial_lock_file.h"

#include <functional>

namespace vr410 {

// Whether the open tty `fd` is a pseudo-terminal, by its device's major number.
bool IsPseudoTerminalDevice(int fd);

// Raises or drops the modem lines `lines` (TIOCM_RTS, TIOCM_DTR) of `fd`; 0 or the errno.
int SetModemLinesIoctl(int fd, int lines, bool raised);

// What differs between the ttys the backend meets. The defaults are the running system's; tests
// replace them to make a pty stand for a real port.
struct PosixSerialOptions {
    // A pseudo-terminal carries no parity bit and has no modem lines: there the parity reads back
    // as asked and a refused modem-line call is no failure. On any other tty both are failures.
    std::function<bool(int fd)> IsPseudoTerminal = IsPseudoTerminalDevice;
    std::function<int(int fd, int lines, bool raised)> SetModemLines = SetModemLinesIoctl;
    // Folder of the UUCP lock files (LCK..ttyUSB0). Where it is missing or not writable, ports
    // are opened without one.
    std::filesystem::path LockDir = DefaultLockDir();
};

class PosixSerialApi : public SerialApi {
  public:
    // Ports numbered from the system's /dev and /sys/class/tty and the settings file beside
    // the executable.
    PosixSerialApi();
    explicit PosixSerialApi(LinuxPortSources sources, PosixSerialOptions options = {});

    // COM port n by the Linux naming rule (LinuxPortDeviceName).
    std::string PortDeviceName(int number) override;
    // Opens the device exclusively. A missing device gives NotFound; one another program holds
    // (by flock, by TIOCEXCL or by a lock file whose process lives) gives AccessDenied; anything
    // else Other with the errno (EACCES, a missing permission, included).
    std::unique_ptr<SerialPort> Open(const std::string& deviceName, OpenError& error) override;
    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;

  private:
    LinuxPortSources Sources_;
    PosixSerialOptions Options_;
};

} // namespace vr410
