// What the USB driver asks of the program, the Qt way: the error notice TFormMessage, the
// cursor back to the arrow, the window's messages handled during a transfer, the third status
// panel cleared, and the reason of a failed library call written to the logging category
// "vr410.usb" (a user running the program from a terminal sees why the device failed).
#pragma once

#include "links/usb_port.h"

#include <QLoggingCategory>

#include <functional>
#include <optional>
#include <string>

class QLabel;
class QWidget;

Q_DECLARE_LOGGING_CATEGORY(LogUsb)

namespace vr410 {

class SystemFacilities;
class TFormMessage;

class QtUsbHost final : public UsbHost {
  public:
    // The notice is a window of `owner`, centred on it; the references must outlive the host.
    QtUsbHost(QWidget& owner, SystemFacilities& facilities, QLabel& receivePanel);

    // Where the caption of the checked USB device item comes from (the link selection).
    void SetCaptionSource(std::function<std::optional<std::string>()> source) {
        Caption_ = std::move(source);
    }
    TFormMessage& Notice() { return *Notice_; }

    std::optional<std::string> UsbMenuItemCaption() override;
    void ShowNotice(const std::string& text) override;
    void RestoreCursor() override;
    void LogFailure(const std::string& text) override;
    void ProcessMessages() override;
    void ClearReceivePanel() override;

  private:
    SystemFacilities& Facilities_;
    QLabel& ReceivePanel_;
    TFormMessage* Notice_; // owned by the owner window
    std::function<std::optional<std::string>()> Caption_;
};

} // namespace vr410
