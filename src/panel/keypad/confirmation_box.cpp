#include "panel/keypad/confirmation_box.h"

#include <QMessageBox>
#include <QPushButton>

namespace vr410 {

QString ConfirmationText(ConfirmKind kind) {
    switch (kind) {
    case ConfirmKind::AutoCalibration:
        return QStringLiteral("Начать процесс автокалибровки?\n\rЭто займет некоторое время.");
    case ConfirmKind::ZeroSetting:
        return QStringLiteral("Вы действительно хотите начать процесс\n\r"
                              "установки нулей? Это займет некоторое время.");
    }
    return {};
}

ConfirmAnswer ConfirmationBox::Ask(ConfirmKind kind) {
    if (Answer) {
        return Answer(kind);
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("Подтверждаете?"), ConfirmationText(kind),
                    QMessageBox::NoButton, Parent);
    box.setObjectName(QStringLiteral("ConfirmationBox"));
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    if (kind == ConfirmKind::AutoCalibration) {
        yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    } else {
        yes = box.addButton(QStringLiteral("Текущий"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("Полная"), QMessageBox::NoRole);
    }
    QPushButton* cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();

    const auto* clicked = box.clickedButton();
    if (clicked != nullptr && clicked == yes) {
        return ConfirmAnswer::Yes;
    }
    if (clicked != nullptr && clicked == no) {
        return ConfirmAnswer::No;
    }
    return ConfirmAnswer::Cancel;
}

} // namespace vr410
