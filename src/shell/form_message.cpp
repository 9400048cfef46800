#include "shell/form_message.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace vr410 {

TFormMessage::TFormMessage(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Ошибка!"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setFixedSize(ClientWidth, ClientHeight);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, 16, 41, 41);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(41, 41));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(64, 24, 264, 16);
    Label1->setAlignment(Qt::AlignCenter);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(64, 44, 264, 16);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->hide();

    B_Exit = new QPushButton(QStringLiteral("ОК"), this);
    B_Exit->setObjectName(QStringLiteral("B_Exit"));
    B_Exit->setGeometry((ClientWidth - 75) / 2, 80, 75, 25);
    B_Exit->setDefault(true);
    connect(B_Exit, &QPushButton::clicked, this, &QDialog::close);

    TimerMessageOff = new QTimer(this);
    TimerMessageOff->setObjectName(QStringLiteral("TimerMessageOff"));
    TimerMessageOff->setInterval(CloseAfterMs);
    TimerMessageOff->setSingleShot(false);
    connect(TimerMessageOff, &QTimer::timeout, this, &TFormMessage::TimerMessageOffTimer);
}

void TFormMessage::ShowNotice(const QString& text) {
    Label1->setText(text);
    if (!Placed_ && parentWidget() != nullptr) {
        const QRect owner = parentWidget()->window()->frameGeometry();
        move(owner.center() - rect().center());
        Placed_ = true;
    }
    show();
    raise();
    TimerMessageOff->start();
}

void TFormMessage::TimerMessageOffTimer() {
    TimerMessageOff->stop();
    close();
}

void TFormMessage::hideEvent(QHideEvent* event) {
    TimerMessageOff->stop();
    QDialog::hideEvent(event);
}

} // namespace vr410
