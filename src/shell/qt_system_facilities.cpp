// Message boxes, beep, cursor and web addresses through Qt.
#include "shell/qt_system_facilities.h"

#include "panel/keypad/confirmation_box.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace vr410 {

QtSystemFacilities::~QtSystemFacilities() {
    SetBusyCursor(false);
}

void QtSystemFacilities::ShowMessage(const std::string& text, MessageKind kind) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (kind == MessageKind::Error) {
        icon = QMessageBox::Critical;
    } else if (kind == MessageKind::Information) {
        icon = QMessageBox::Information;
    }
    QMessageBox box(icon, QApplication::applicationName(), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    FitTitle(box);
    box.exec();
}

void QtSystemFacilities::Beep() {
    QApplication::beep();
}

void QtSystemFacilities::SetBusyCursor(bool busy) {
    if (busy == Busy_) {
        return;
    }
    Busy_ = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

bool QtSystemFacilities::OpenUrl(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

} // namespace vr410
