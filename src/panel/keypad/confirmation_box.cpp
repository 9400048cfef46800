#include "panel/keypad/confirmation_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

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

void FitTitle(QMessageBox& box) {
    // Room for the window menu's icon and the close, minimise and maximise buttons beside the
    // title, which most title bars write in a bold face of the application's font.
    constexpr int TitleBarButtons = 120;
    QFont title = QApplication::font();
    title.setBold(true);
    const int width = QFontMetrics(title).horizontalAdvance(box.windowTitle()) + TitleBarButtons;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

ConfirmAnswer ConfirmationBox::Ask(ConfirmKind kind) {
    if (Answer_) {
        return Answer_(kind);
    }
    // Qt takes a CR as a line break of its own: the LF CR pair would leave an empty line.
    const QString text =
        ConfirmationText(kind).replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Подтверждаете?"), text,
                    QMessageBox::NoButton, Parent_);
    box.setObjectName(QStringLiteral("ConfirmationBox"));
    FitTitle(box);
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
