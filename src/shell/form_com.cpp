#include "shell/form_com.h"

#include "shell/widgets/num_edit.h"
#include "shell/window_placement.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace vr410 {

TFormCOM::TFormCOM(QWidget* owner, SystemFacilities& facilities) : QDialog(owner) {
    setObjectName(QStringLiteral("FormCOM"));
    setWindowTitle(QStringLiteral("Номер порта"));
    // A fixed dialog border: a title and the close box, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* label = new QLabel(QStringLiteral("COM"), this);
    label->setObjectName(QStringLiteral("Label1"));
    IntEdit1_ = new TIntEdit(this);
    IntEdit1_->setObjectName(QStringLiteral("IntEdit1"));
    IntEdit1_->SetFacilities(&facilities);
    IntEdit1_->SetValue(5);
    // Room for the longest port number the field can hold, in the font in use.
    IntEdit1_->setMinimumWidth(
        QFontMetrics(IntEdit1_->font()).horizontalAdvance(QStringLiteral("00000")) + 12);
    label->setBuddy(IntEdit1_);
    ButtonOK_ = new QPushButton(QStringLiteral("ОК"), this);
    ButtonOK_->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK_->setDefault(true);
    ButtonCancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    ButtonCancel_->setObjectName(QStringLiteral("ButtonCancel"));
    connect(ButtonOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel_, &QPushButton::clicked, this, &QDialog::reject); // Escape as well

    auto* field = new QHBoxLayout;
    field->addWidget(label);
    field->addWidget(IntEdit1_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonOK_);
    buttons->addWidget(ButtonCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (owner != nullptr) {
        CentreOnFirstShow(*this, *owner);
    }
}

std::optional<int64_t> TFormCOM::Ask(int comNumber) {
    ComNumber_ = comNumber;
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return IntEdit1_->Value();
}

void TFormCOM::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TFormCOM::FormActivate() {
    IntEdit1_->SetValue(ComNumber_);
    IntEdit1_->setFocus(Qt::OtherFocusReason);
    IntEdit1_->selectAll();
}

} // namespace vr410
