#include "links/usb_port.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace vr410 {

namespace {

// The library of a system without one: no adapters, nothing to open.
class NoFtdiApi final : public FtdiApi {
  public:
    FT_STATUS DeviceCount(uint32_t& count) override {
        count = 0;
        return FT_OK;
    }
    FT_STATUS SerialNumberByIndex(uint32_t, std::string&) override { return FT_DEVICE_NOT_FOUND; }
    FT_STATUS DescriptionByIndex(uint32_t, std::string&) override { return FT_DEVICE_NOT_FOUND; }
    FT_STATUS OpenBySerialNumber(const char*, FtHandle& handle) override {
        handle = 0;
        return FT_DEVICE_NOT_FOUND;
    }
    FT_STATUS Close(FtHandle) override { return FT_INVALID_HANDLE; }
    FT_STATUS GetDeviceInfo(FtHandle, uint32_t&, uint32_t&, std::string&, std::string&) override {
        return FT_INVALID_HANDLE;
    }
    FT_STATUS Read(FtHandle, uint8_t*, uint32_t, uint32_t& read) override {
        read = 0;
        return FT_INVALID_HANDLE;
    }
    FT_STATUS Write(FtHandle, const uint8_t*, uint32_t, uint32_t& written) override {
        written = 0;
        return FT_INVALID_HANDLE;
    }
    FT_STATUS ResetDevice(FtHandle) override { return FT_INVALID_HANDLE; }
    FT_STATUS SetBaudRate(FtHandle, uint32_t) override { return FT_INVALID_HANDLE; }
    FT_STATUS SetDataCharacteristics(FtHandle, uint8_t, uint8_t, uint8_t) override {
        return FT_INVALID_HANDLE;
    }
    FT_STATUS Purge(FtHandle, uint32_t) override { return FT_INVALID_HANDLE; }
    FT_STATUS SetTimeouts(FtHandle, uint32_t, uint32_t) override { return FT_INVALID_HANDLE; }
    FT_STATUS GetQueueStatus(FtHandle, uint32_t& bytes) override {
        bytes = 0;
        return FT_INVALID_HANDLE;
    }
};

bool MeansDeviceGone(FT_STATUS status) {
    return status == FT_INVALID_HANDLE || status == FT_DEVICE_NOT_FOUND || status == FT_IO_ERROR ||
           status == FT_FAILED_TO_WRITE_DEVICE;
}

// Copies text into a fixed field, cut to leave room for the NUL.
template <size_t N> void CopyField(std::array<char, N>& field, const std::string& text) {
    field.fill('\0');
    std::memcpy(field.data(), text.data(), std::min(text.size(), N - 1));
}

template <size_t N> std::string FieldText(const std::array<char, N>& field) {
    return std::string(field.data(), strnlen(field.data(), N));
}

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds{ms});
}

} // namespace

std::string DeviceGoneText(const std::optional<std::string>& caption) {
    return "Устройство " + caption.value_or("USB") + " отключено!";
}

std::string StatusReason(FT_STATUS status) {
    static const char* const reasons[] = {
        "",
        " - Неверный обработчик",
        " - Устройство не найдено",
        " - Устройство не открыто",
        " - Ошибка ввода-вывода",
        " - Недостаточно ресурсов",
        " - Неверный параметр",
        " - Неверная скорость",
        " Устройство не открыто для стирания",
        " Устройство не открыто для записи",
        " - Запись не удалась",
        " - Ошибка чтения EEPROM",
        " - Ошибка записи EEPROM",
        " - Ошибка стирания EEPROM",
        " - EEPROM отсутствует",
        " - EEPROM не запрограммирован",
        " - Неверные агрументы",
        " - Другие ошибки",
    };
    return status < std::size(reasons) ? reasons[status] : "";
}

TUSB::TUSB(FtdiApi* api, UsbHost* host) : Api_(api), Host_(host) {}

FtdiApi& TUSB::Api() {
    static NoFtdiApi none;
    return Api_ != nullptr ? *Api_ : none;
}

void TUSB::ReportError(const std::string& operation, FT_STATUS status) {
    if (!FT_Enable_Error_Report || status == FT_OK)
        return;
    if (Host_ != nullptr) {
        Host_->LogFailure(operation + StatusReason(status));
        if (MeansDeviceGone(status))
            Host_->ShowNotice(DeviceGoneText(Host_->UsbMenuItemCaption()));
        Host_->RestoreCursor();
    }
    FT_Enable_Error_Report = false;
}

FT_STATUS TUSB::Checked(const std::string& operation, FT_STATUS status) {
    if (MeansDeviceGone(status) && FT_HANDLE != 0)
        DeviceGone = true;
    ReportError(operation, status);
    return status;
}

void TUSB::SetDeviceStringBuffer(const std::string& text) {
    CopyField(FT_Device_String_Buffer, text); // the first 49 characters and a NUL
}

FT_STATUS TUSB::GetFTDeviceCount() {
    return Checked("GetFTDeviceCount", Api().DeviceCount(FT_Device_Count));
}

FT_STATUS TUSB::GetFTDeviceSerialNo(uint32_t index) {
    std::string serial;
    const FT_STATUS status = Api().SerialNumberByIndex(index, serial);
    if (status == FT_OK) {
        CopyField(SerialNumber, serial);
        FT_Device_String = FieldText(SerialNumber);
    }
    return Checked("GetFTDeviceSerialNo", status);
}

FT_STATUS TUSB::GetFTDeviceDescription(uint32_t index) {
    std::string description;
    const FT_STATUS status = Api().DescriptionByIndex(index, description);
    if (status == FT_OK) {
        CopyField(Description, description);
        FT_Device_String = FieldText(Description);
    }
    return Checked("GetFTDeviceDescription", status);
}

FT_STATUS TUSB::Open_USB_Device_By_Serial_Number(const std::string& serial) {
    SetDeviceStringBuffer(serial);
    DeviceGone = false;
    return Checked(serial, Api().OpenBySerialNumber(FT_Device_String_Buffer.data(), FT_HANDLE));
}

FT_STATUS TUSB::Close_USB_Device() {
    const FT_STATUS status = Api().Close(FT_HANDLE);
    DeviceGone = false;
    ReportError("FT_Close", status);
    return status;
}

FT_STATUS TUSB::USB_FT_GetDeviceInfo(char* serialBuffer, size_t serialSize, char* descriptionBuffer,
                                     size_t descriptionSize) {
    uint32_t type = 0;
    uint32_t id = 0;
    std::string serial;
    std::string description;
    const FT_STATUS status = Api().GetDeviceInfo(FT_HANDLE, type, id, serial, description);
    if (status == FT_OK) {
        if (serialBuffer != nullptr && serialSize > 0) {
            const size_t n = std::min(serial.size(), serialSize - 1);
            std::memcpy(serialBuffer, serial.data(), n);
            serialBuffer[n] = '\0';
        }
        if (descriptionBuffer != nullptr && descriptionSize > 0) {
            const size_t n = std::min(description.size(), descriptionSize - 1);
            std::memcpy(descriptionBuffer, description.data(), n);
            descriptionBuffer[n] = '\0';
        }
    }
    return Checked("FT_GetDeviceInfo ", status);
}

uint32_t TUSB::Read_USB_Device_Buffer(uint32_t count) {
    uint32_t read = 0;
    count = std::min<uint32_t>(count, static_cast<uint32_t>(FT_In_Buffer.size()));
    FT_IO_Status = Api().Read(FT_HANDLE, FT_In_Buffer.data(), count, read);
    Checked("FT_Read", FT_IO_Status);
    return FT_IO_Status == FT_OK ? std::min(read, count) : 0;
}

uint32_t TUSB::Write_USB_Device_Buffer(uint32_t count) {
    uint32_t written = 0;
    count = std::min<uint32_t>(count, static_cast<uint32_t>(FT_Out_Buffer.size()));
    FT_IO_Status = Api().Write(FT_HANDLE, FT_Out_Buffer.data(), count, written);
    Checked("FT_Write", FT_IO_Status);
    return written;
}

FT_STATUS TUSB::Reset_USB_Device() {
    return Checked("FT_ResetDevice", Api().ResetDevice(FT_HANDLE));
}

FT_STATUS TUSB::Set_USB_Device_BaudRate() {
    return Checked("FT_SetBaudRate", Api().SetBaudRate(FT_HANDLE, FT_Current_Baud));
}

FT_STATUS TUSB::Set_USB_Device_DataCharacteristics() {
    return Checked("FT_SetDataCharacteristics",
                   Api().SetDataCharacteristics(FT_HANDLE, FT_Current_DataBits, FT_Current_StopBits,
                                                FT_Current_Parity));
}

FT_STATUS TUSB::Purge_USB_Device_Out() {
    return Checked("FT_Purge RX", Api().Purge(FT_HANDLE, FT_PURGE_RX));
}

FT_STATUS TUSB::Purge_USB_Device_In() {
    return Checked("FT_Purge TX", Api().Purge(FT_HANDLE, FT_PURGE_TX));
}

FT_STATUS TUSB::Set_USB_Device_TimeOuts(uint32_t readMs, uint32_t writeMs) {
    return Checked("FT_SetTimeouts", Api().SetTimeouts(FT_HANDLE, readMs, writeMs));
}

FT_STATUS TUSB::Get_USB_Device_QueueStatus() {
    return Checked("FT_GetQueueStatus", Api().GetQueueStatus(FT_HANDLE, FT_Q_Bytes));
}

UsbAdapterLink::UsbAdapterLink(FtdiApi* api, UsbHost& host) : UsbPort(api, &host), Host_(host) {}

void UsbAdapterLink::UsbSendPacket(const PacketRecord& TxPacket) {
    if (UsbPort.DeviceGone)
        return; // reported once already; the link selection gives the device up
    UsbPort.FT_Enable_Error_Report = true;
    if (TxPacket.HeadLength == 0)
        return;
    UsbPort.Reset_USB_Device();
    UsbPort.Purge_USB_Device_Out();
    UsbPort.Purge_USB_Device_In();
    UsbPort.FT_Current_Parity = FT_PARITY_MARK;
    UsbPort.Set_USB_Device_DataCharacteristics();
    UsbPort.FT_Out_Buffer[0] = TxPacket.Head[0];
    UsbPort.Write_USB_Device_Buffer(1);
    SleepMs(1);
    UsbPort.FT_Current_Parity = FT_PARITY_SPACE;
    UsbPort.Set_USB_Device_DataCharacteristics();
    SleepMs(1);
    const size_t bodyLength = std::min<size_t>(TxPacket.BodyLength, TxPacket.Body.size());
    std::copy_n(TxPacket.Body.begin(), bodyLength, UsbPort.FT_Out_Buffer.begin());
    Host_.ProcessMessages();
    if (!IsOpen())
        return; // another link was chosen meanwhile: nothing more goes to a closed device
    if (bodyLength != 0)
        UsbPort.Write_USB_Device_Buffer(static_cast<uint32_t>(bodyLength));
}

void UsbAdapterLink::Keep(uint32_t count) {
    const size_t room = UsbPort.FT_In_Buffer.size() - Answer_.size();
    const size_t kept = std::min<size_t>(count, room);
    Answer_.insert(Answer_.end(), UsbPort.FT_In_Buffer.begin(),
                   UsbPort.FT_In_Buffer.begin() + static_cast<std::ptrdiff_t>(kept));
    AnswerTotal_ += count;
}

uint32_t UsbAdapterLink::UsbReceivePacket(PacketRecord& RxPacket) {
    RxPacket.HeadLength = 0;
    RxPacket.BodyLength = 0;
    if (UsbPort.DeviceGone)
        return 0;
    UsbTimedOut_ = false;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds{FirstByteLimitMs};
    Answer_.clear();
    AnswerTotal_ = 0;

    // The first byte: each step waits in the library's read for up to one read window.
    for (;;) {
        Host_.ProcessMessages();
        if (!IsOpen())
            return 0;
        if (const FT_STATUS status = UsbPort.Get_USB_Device_QueueStatus(); status != FT_OK) {
            Host_.ClearReceivePanel();
            return status;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            UsbTimedOut_ = true;
            Host_.ClearReceivePanel();
            return 0;
        }
        const uint32_t got =
            UsbPort.Read_USB_Device_Buffer(UsbPort.FT_Q_Bytes > 0 ? UsbPort.FT_Q_Bytes : 1);
        if (got > 0) {
            Keep(got);
            break;
        }
    }
    // The rest: the answer ends with the first read window that brings no new byte.
    for (;;) {
        Host_.ProcessMessages();
        if (!IsOpen())
            return 0;
        const uint32_t got = UsbPort.Read_USB_Device_Buffer(1);
        if (got == 0)
            break;
        Keep(got);
        if (UsbPort.Get_USB_Device_QueueStatus() == FT_OK && UsbPort.FT_Q_Bytes > 0)
            Keep(UsbPort.Read_USB_Device_Buffer(UsbPort.FT_Q_Bytes));
    }

    RxPacket.HeadLength = 1;
    RxPacket.Head[0] = Answer_[0];
    const uint32_t bodyTotal = AnswerTotal_ - 1;
    RxPacket.BodyLength = static_cast<uint8_t>(std::min<uint32_t>(bodyTotal, 255));
    const size_t stored = std::min<size_t>(Answer_.size() - 1, RxPacket.Body.size());
    std::copy_n(Answer_.begin() + 1, stored, RxPacket.Body.begin());
    return 0;
}

void UsbAdapterLink::ResetDevice() {
    if (IsOpen() && !UsbPort.DeviceGone)
        UsbPort.Reset_USB_Device();
}

bool UsbAdapterLink::OpenBySerialNumber(const std::string& serialNumber) {
    if (IsOpen())
        Close();
    return UsbPort.Open_USB_Device_By_Serial_Number(serialNumber) == FT_OK;
}

void UsbAdapterLink::SetUpLine() {
    UsbPort.FT_Current_Baud = 57600;
    UsbPort.Set_USB_Device_BaudRate();
    UsbPort.FT_Current_DataBits = FT_BITS_8;
    UsbPort.FT_Current_StopBits = FT_STOP_BITS_1;
    UsbPort.FT_Current_Parity = FT_PARITY_NONE;
    UsbPort.Set_USB_Device_DataCharacteristics();
    UsbPort.Reset_USB_Device();
    UsbPort.Set_USB_Device_TimeOuts(ReadWindowMs, ReadWindowMs);
}

void UsbAdapterLink::DeviceVanished() {
    // The reporter's own switch keeps it to one notice per exchange; the open serial number
    // names the device in the log.
    if (IsOpen())
        UsbPort.ReportError(std::string(UsbPort.FT_Device_String_Buffer.data()),
                            FT_DEVICE_NOT_FOUND);
}

void UsbAdapterLink::Close() {
    if (IsOpen())
        UsbPort.Close_USB_Device();
    UsbPort.FT_HANDLE = 0;
    UsbPort.DeviceGone = false;
}

} // namespace vr410
