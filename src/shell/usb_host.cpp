#include "shell/usb_host.h"

#include "platform/system_facilities.h"
#include "shell/form_message.h"

#include <QCoreApplication>
#include <QLabel>
#include <QWidget>

Q_LOGGING_CATEGORY(LogUsb, "vr410.usb")

namespace vr410 {

QtUsbHost::QtUsbHost(QWidget& owner, SystemFacilities& facilities, QLabel& receivePanel)
    : facilities_(facilities), receivePanel_(receivePanel), notice_(new TFormMessage(&owner)) {
    notice_->setObjectName(QStringLiteral("FormMessage"));
}

std::optional<std::string> QtUsbHost::UsbMenuItemCaption() {
    return caption_ ? caption_() : std::nullopt;
}

void QtUsbHost::ShowNotice(const std::string& text) {
    notice_->ShowNotice(QString::fromStdString(text));
}

void QtUsbHost::RestoreCursor() {
    facilities_.SetBusyCursor(false);
}

void QtUsbHost::LogFailure(const std::string& text) {
    qCWarning(LogUsb).noquote() << QString::fromStdString(text);
}

void QtUsbHost::ProcessMessages() {
    QCoreApplication::processEvents();
}

void QtUsbHost::ClearReceivePanel() {
    receivePanel_.clear();
}

} // namespace vr410
