// The serial port driver: opens and configures the one COM port, sends a request packet with
// the address byte in MARK parity and the body in SPACE parity while RTS enables the RS485
// transmitter, and collects the answer within 100 ms. Failures are message boxes with fixed
// texts and the link status text; nothing throws.
#pragma once

#include "links/link.h"
#include "links/link_status.h"
#include "platform/serial_api.h"
#include "platform/system_facilities.h"
#include "protocol/frame.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vr410 {

class CommPort : public Link {
  public:
    // Receive time limits, both counted from the entry into the receive.
    static constexpr uint32_t FirstByteLimitMs = 100;
    static constexpr uint32_t AnswerLimitMs = 30;
    // Ten character times at 57600 baud without a byte: the instrument has stopped sending.
    static constexpr uint32_t QuietMs = 2;

    // Both must outlive the driver. No port is open at first and the status text is empty.
    CommPort(SerialApi& api, SystemFacilities& system);
    ~CommPort() override;
    CommPort(const CommPort&) = delete;
    CommPort& operator=(const CommPort&) = delete;

    // Closes the open port, if any, then opens and configures COM port `number` (0 gives the
    // port up: the device COM0 does not exist). True when the port is open and configured, and
    // the status is then Ready. Clears a lost link.
    // A failed open only sets the status (Absent, Busy or OsError with the system's code); a
    // failed configuration shows its message box, keeps the port open and sets NotConfigured,
    // or NoMarkSpace when the parity read back is not the MARK that was set (a driver without
    // stick parity turns MARK and SPACE into odd and even: no exchange could work).
    bool OpenComPort(uint8_t number);

    // Sends the packet: Head[0] in MARK parity, then BodyLength body bytes in SPACE parity with
    // RTS raised, RTS dropped once the last byte has left. Failures are message boxes.
    void ComSendPacket(const PacketRecord& TxPacket);

    // Collects one answer into RxPacket: the first `headLength` bytes into Head, the rest into
    // Body. Waits up to 100 ms from its start for the first byte and stops at the first empty
    // input queue after 30 ms from its start. Returns 0, or the line's error flags when an error
    // other than a lone parity error was seen; such an error returns once the rest of the damaged
    // answer has gone by, unread. At most 41 body bytes are stored; when more came,
    // BodyLength counts them all (up to 255) so that the answer fails its length check.
    // Every return, the early ones included, tries to put the line back to MARK parity with RTS
    // raised, so that the next request's address byte goes out marked.
    uint32_t ComReceivePacket(uint16_t headLength, PacketRecord& RxPacket);

    void SendPacket(const PacketRecord& tx) override { ComSendPacket(tx); }
    uint32_t ReceivePacket(PacketRecord& rx) override { return ComReceivePacket(1, rx); }
    // The port's device went away during a send or a receive (an unplugged USB adapter, a
    // hung-up tty): the port is closed, the status reads "отсутствует", the failure that found it
    // showed its box, and sends and receives do nothing, without boxes, until the next open.
    bool LinkLost() const override { return Lost_; }

    // The port's status: Empty before the first open, then what the last open found, Absent
    // once the device went away.
    LinkStatus Status() const { return Status_; }
    // Its text from LinkStatusTexts ("готов", "отсутствует", "Error=<code>" ...).
    const std::string& PortStatus() const { return StatusText_; }
    bool IsOpen() const { return Port_ != nullptr; }
    const LineSettings& PortSettings() const { return PortSettings_; }

  private:
    void Message(const char* text);
    // After a failed call: when the port's device is gone, closes the port, sets "отсутствует",
    // shows `text` as the one box of the loss and returns true. Otherwise returns false.
    bool GiveUpIfLost(const char* text);
    // Puts the line back to MARK parity with RTS raised after an early end of a receive,
    // without message boxes: the failure that ended it has been reported already.
    void RestoreLineQuietly();
    // After a damaged character the instrument still sends the rest of its answer: reads and
    // drops what comes until the line has been quiet for QuietMs (at most AnswerLimitMs), so
    // that a repeated request neither meets it on the bus nor takes it for its own answer.
    void DiscardRestOfAnswer();
    void SetStatus(LinkStatus status);

    SerialApi& Api_;
    SystemFacilities& System_;
    std::unique_ptr<SerialPort> Port_;
    LinkStatus Status_;
    std::string StatusText_; // LinkStatusText(Status_)
    LineSettings PortSettings_;
    bool Lost_ = false;
};

} // namespace vr410
