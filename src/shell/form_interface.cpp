// The packet monitor window.
#include "shell/form_interface.h"

#include <QFont>
#include <QLabel>

namespace vr410 {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(12);
    font.setBold(bold);
    label->setFont(font);
    label->move(left, top);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TFormInterface::TFormInterface(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormInterface"));
    setWindowTitle(QStringLiteral("Посылки через интерфейс"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    resize(684, 31);
    MakeLabel(this, "Label3", QStringLiteral("Посылка в прибор:"), 0, 0, false);
    LabelSend = MakeLabel(this, "LabelSend", QString(), 104, 0, true);
    MakeLabel(this, "Label5", QStringLiteral("Ответ из прибора:"), 0, 15, false);
    LabelReceive = MakeLabel(this, "LabelReceive", QString(), 104, 15, true);
}

void TFormInterface::SetSendLine(const std::string& line) {
    LabelSend->setText(QString::fromStdString(line));
    LabelSend->adjustSize();
}

void TFormInterface::SetReceiveLine(const std::string& line) {
    LabelReceive->setText(QString::fromStdString(line));
    LabelReceive->adjustSize();
}

QString TFormInterface::SendLine() const {
    return LabelSend->text();
}
QString TFormInterface::ReceiveLine() const {
    return LabelReceive->text();
}

void TFormInterface::ShowBelow(const QWidget& main, int width, int height) {
    // The saved size is the outer size, frame included; the frame is known once shown.
    const QRect outer = main.frameGeometry();
    resize(width, height);
    move(outer.left(), outer.top() + outer.height());
    show();
    WasShown_ = true;
    const QSize frame = frameGeometry().size() - geometry().size();
    if (!frame.isEmpty()) {
        resize(width - frame.width(), height - frame.height());
    }
}

} // namespace vr410
