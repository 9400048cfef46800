#include "shell/form_ok_cal.h"

#include "shell/widgets/float_edit.h"
#include "shell/window_placement.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vr410 {

TFormOkCal::TFormOkCal(DialogModel& dialogs, QWidget* owner) : QDialog(owner), Dialogs_(dialogs) {
    setObjectName(QStringLiteral("FormOkCal"));
    setWindowTitle(QStringLiteral("Ноль комплектный (Ок)"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("Ноль комплектный (Ок)"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    FE_Ok = new TFloatEdit(this);
    FE_Ok->setObjectName(QStringLiteral("FE_Ok"));
    FE_Ok->SetMin(-100.0);
    FE_Ok->SetMax(100.0);
    FE_Ok->SetDigits(1);
    FE_Ok->SetAdditionalDecimalSeparator(u'.');
    LabelLetters = new QLabel(QStringLiteral("uV"), this);
    LabelLetters->setObjectName(QStringLiteral("LabelLetters"));
    ButtonOk = new QPushButton(QStringLiteral("ОК"), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonCancel = new QPushButton(QStringLiteral("Отмена"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    // Enter belongs to the field; only a click or Space on a button closes the dialog.
    for (QPushButton* button : {ButtonOk, ButtonCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    // Reached with Tab, but a mouse click leaves the focus in the field (see ButtonOkClick).
    ButtonOk->setFocusPolicy(Qt::TabFocus);

    // The field holds "-100" and three decimals whatever the font.
    FE_Ok->setMinimumWidth(FE_Ok->fontMetrics().horizontalAdvance(QStringLiteral("-100.0000")) +
                           12);
    auto* value = new QHBoxLayout;
    value->addWidget(Label1);
    value->addWidget(FE_Ok, 1);
    value->addWidget(LabelLetters);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonCancel);
    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(6, 6, 6, 6);
    form->addLayout(value);
    form->addLayout(buttons);
    // The stated client size, or larger where the fonts need more room; never resizable.
    const QSize needed = form->totalMinimumSize();
    setFixedSize(std::max(ClientWidth, needed.width()), std::max(ClientHeight, needed.height()));

    for (QWidget* control : findChildren<QWidget*>()) {
        control->installEventFilter(this);
    }
    connect(ButtonOk, &QPushButton::clicked, this, &TFormOkCal::ButtonOkClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    if (owner != nullptr) {
        CentreOnFirstShow(*this, *owner);
    }
}

OkCalResult TFormOkCal::ShowModal(int digits, const std::string& letters) {
    FE_Ok->SetDigits(static_cast<uint8_t>(digits));
    LabelLetters->setText(QString::fromStdString(letters));
    const bool accepted = exec() == QDialog::Accepted;
    const OkCalResult result{.Accepted = accepted, .Value = static_cast<double>(FE_Ok->Value())};
    Dialogs_.OkValue = result.Value;
    Dialogs_.OkDigits = digits;
    return result;
}

void TFormOkCal::ButtonOkClick() {
    // The field keeps the focus through a click on "ОК", so its leave check runs here, on the
    // text the operator saw when confirming. When the check puts back the value the field had on
    // entry (a value below the minimum, a text that is no number, an empty field), the dialog
    // stays open with that value in view: nothing goes out that the operator has not seen.
    const QString seen = FE_Ok->text();
    if (FE_Ok->hasFocus() && !FE_Ok->CheckOnExit()) {
        return;
    }
    bool number = false;
    const double seenValue = QLocale().toDouble(seen, &number);
    if (!number || seenValue != static_cast<double>(FE_Ok->Value())) {
        return;
    }
    accept();
}

bool TFormOkCal::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        ButtonCancel->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vr410
