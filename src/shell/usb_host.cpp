#include "shell/usb_host.h"

#include "platform/system_facilities.h"
#include "shell/form_message.h"

#include <QCoreApplication>
#include <QLabel>
#include <QWidget>

Q_LOGGING_CATEGORY(LogUsb, "vr410.usb")

namespace vr410 {

QtUsbHost::QtUsbHost(QWidget& owner, SystemFacilities& facilities, QLabel& receivePanel)
    : Facilities_(facilities), ReceivePanel_(receivePanel), Notice_(new TFormMessage(&owner)) {
    Notice_->setObjectName(QStringLiteral("FormMessage"));
}

std::optional<std::string> QtUsbHost::UsbMenuItemCaption() {
    return Caption_ ? Caption_() : std::nullopt;
}

void QtUsbHost::ShowNotice(const std::string& text) {
    Notice_->ShowNotice(QString::fromStdString(text));
}

void QtUsbHost::RestoreCursor() {
    Facilities_.SetBusyCursor(false);
}

void QtUsbHost::LogFailure(const std::string& text) {
    qCWarning(LogUsb).noquote() << QString::fromStdString(text);
}

void QtUsbHost::ProcessMessages() {
    QCoreApplication::processEvents();
}

void QtUsbHost::ClearReceivePanel() {
    ReceivePanel_.clear();
}

} // namespace vr410
