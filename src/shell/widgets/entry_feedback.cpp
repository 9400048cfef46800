#include "shell/widgets/entry_feedback.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace vr410 {

void EntryBeep(SystemFacilities* facilities) {
    if (facilities != nullptr) {
        facilities->Beep();
    } else {
        QApplication::beep();
    }
}

void EntryMessage(SystemFacilities* facilities, const QString& text, QWidget* owner) {
    if (facilities != nullptr) {
        facilities->ShowMessage(text.toStdString(), MessageKind::Plain);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    owner != nullptr ? owner->window() : nullptr);
    box.exec();
}

} // namespace vr410
