// The USB adapter driver: TUSB wraps the FTDI adapter library (one device handle, the line
// settings to apply, 64 KiB input and output buffers and an error reporter that tells the
// operator when the device has gone), and UsbAdapterLink carries the exchange over it: the
// address byte with MARK parity, the body with SPACE parity, switched by the library's
// data-characteristics call, and the answer collected in the library's 20 ms read windows.
// Failures are statuses, a notice window and a log line; nothing throws.
#pragma once

#include "links/link.h"
#include "platform/ftdi_api.h"
#include "protocol/frame.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vr410 {

// What the USB driver needs of the window around it.
class UsbHost {
  public:
    virtual ~UsbHost() = default;
    // The caption of the checked USB device item, or nothing while no USB device is checked.
    virtual std::optional<std::string> UsbMenuItemCaption() = 0;
    // The error notice with `text`, shown without waiting; it closes itself after 10 s.
    virtual void ShowNotice(const std::string& text) = 0;
    // The whole screen's cursor back to the arrow.
    virtual void RestoreCursor() = 0;
    // The operation and the reason of a failed library call, for the program's log.
    virtual void LogFailure(const std::string& text) = 0;
    // Lets the window system handle what is pending (timers, clicks, paints).
    virtual void ProcessMessages() = 0;
    // Clears the third panel of the main window's status bar.
    virtual void ClearReceivePanel() = 0;
};

// The notice text for a vanished device: "Устройство " + caption + " отключено!", with "USB"
// standing for the caption when no USB device is checked.
std::string DeviceGoneText(const std::optional<std::string>& caption);
// The reason a status adds to the operation text in the log (empty for codes without one).
std::string StatusReason(FT_STATUS status);

class TUSB {
  public:
    // `api` may be null (a system without the adapter library): nothing is found or opened.
    // `host` may be null for an instance that never reports (a scanning instance).
    TUSB(FtdiApi* api, UsbHost* host);
    // Destroying does not close the device.

    FtHandle FT_HANDLE = 0;
    uint32_t FT_Current_Baud = 0;
    uint8_t FT_Current_DataBits = 0;
    uint8_t FT_Current_StopBits = 0;
    uint8_t FT_Current_Parity = 0;
    uint32_t FT_Q_Bytes = 0;
    bool FT_Enable_Error_Report = true;
    std::array<char, 64> Description{};
    std::array<char, 16> SerialNumber{};
    std::vector<uint8_t> FT_In_Buffer = std::vector<uint8_t>(65536);
    std::vector<uint8_t> FT_Out_Buffer = std::vector<uint8_t>(65536);
    FT_STATUS FT_IO_Status = FT_OK;
    uint32_t FT_Device_Count = 0;
    std::array<char, 50> FT_Device_String_Buffer{};
    std::string FT_Device_String;
    // A call failed with a status that means the device went away (1, 2, 4 or 10); cleared by
    // the next open or close.
    bool DeviceGone = false;

    FT_STATUS GetFTDeviceCount();
    FT_STATUS GetFTDeviceSerialNo(uint32_t index);
    FT_STATUS GetFTDeviceDescription(uint32_t index);
    FT_STATUS Open_USB_Device_By_Serial_Number(const std::string& serial);
    FT_STATUS Close_USB_Device();
    // The device type and id stay inside; the serial number and description go to the two
    // buffers, each cut to its size and NUL-terminated.
    FT_STATUS USB_FT_GetDeviceInfo(char* serialBuffer, size_t serialSize, char* descriptionBuffer,
                                   size_t descriptionSize);
    uint32_t Read_USB_Device_Buffer(uint32_t count);
    uint32_t Write_USB_Device_Buffer(uint32_t count);
    FT_STATUS Reset_USB_Device();
    FT_STATUS Set_USB_Device_BaudRate();
    FT_STATUS Set_USB_Device_DataCharacteristics();
    FT_STATUS Purge_USB_Device_Out(); // the receive queue
    FT_STATUS Purge_USB_Device_In();  // the transmit queue
    FT_STATUS Set_USB_Device_TimeOuts(uint32_t readMs, uint32_t writeMs);
    FT_STATUS Get_USB_Device_QueueStatus();

    // The error reporter: on a nonzero status while reporting is on, logs the operation and its
    // reason, shows the notice for statuses 1, 2, 4 and 10, puts the cursor back to the arrow
    // and switches reporting off, so each instance reports one failure until switched on again.
    void ReportError(const std::string& operation, FT_STATUS status);

  private:
    FT_STATUS Checked(const std::string& operation, FT_STATUS status);
    void SetDeviceStringBuffer(const std::string& text);
    FtdiApi& Api();

    FtdiApi* Api_;
    UsbHost* Host_;
};

// The USB link: UsbPort, the long-lived TUSB of the run, and the two transfers on top of it.
class UsbAdapterLink : public UsbDeviceLink {
  public:
    static constexpr int FirstByteLimitMs = 1000; // TimerTimeOutUSB
    static constexpr uint32_t ReadWindowMs = 20;

    // Both must outlive the link; api may be null.
    UsbAdapterLink(FtdiApi* api, UsbHost& host);

    TUSB UsbPort;

    // Sends TxPacket: reset, purge both queues, MARK parity, the address byte, 1 ms, SPACE
    // parity, 1 ms, the body. A HeadLength of 0 sends nothing at all.
    void UsbSendPacket(const PacketRecord& TxPacket);
    // Collects one answer into RxPacket. Waits without spinning: each step is a library read of
    // one byte, which returns as soon as a byte comes and at the latest after the 20 ms read
    // time-out, with the window's messages handled between steps. No first byte within 1000 ms:
    // returns 0 with HeadLength 0. The answer ends at the first 20 ms with no new byte. Returns
    // 0, or the status of a failed queue query. At most 41 body bytes are kept; BodyLength
    // counts all of them (up to 255), so validation refuses an answer that is too long. A device
    // closed while the window's messages are handled ends the receive with nothing, silently.
    uint32_t UsbReceivePacket(PacketRecord& RxPacket);
    // True while the receive waited for the first byte past the time limit.
    bool UsbTimedOut() const { return UsbTimedOut_; }

    void SendPacket(const PacketRecord& tx) override { UsbSendPacket(tx); }
    uint32_t ReceivePacket(PacketRecord& rx) override { return UsbReceivePacket(rx); }
    // A call of the current exchange found the device gone: sends and receives do nothing until
    // the device is opened again.
    bool LinkLost() const override { return UsbPort.DeviceGone; }
    void ResetDevice() override;

    bool OpenBySerialNumber(const std::string& serialNumber) override;
    void SetUpLine() override;
    void Close() override;
    bool IsOpen() const override { return UsbPort.FT_HANDLE != 0; }
    void SetErrorReport(bool enabled) override { UsbPort.FT_Enable_Error_Report = enabled; }
    void DeviceVanished() override;

  private:
    void Keep(uint32_t count);

    UsbHost& Host_;
    bool UsbTimedOut_ = false;
    std::vector<uint8_t> Answer_; // the answer's bytes kept so far, at most 65536
    uint32_t AnswerTotal_ = 0;    // every byte received, kept or not
};

} // namespace vr410
