#include "shell/form_calibration.h"

#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/panel_keypad_host.h"
#include "platform/system_facilities.h"
#include "shell/dialog_model.h"
#include "shell/window_placement.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSignalBlocker>

namespace vr410 {

namespace {

constexpr QSize ClientSize(281, 81);
constexpr QSize FieldLeastSize(124, 21);

} // namespace

TFormCalibration::TFormCalibration(QWidget* parent, InstrumentState& state, DialogModel& dialogs,
                                   SystemFacilities& facilities)
    : QDialog(parent), State_(state), Dialogs_(dialogs), Facilities_(facilities), Entry_(state) {
    setObjectName(QStringLiteral("FormCalibration"));
    setWindowTitle(QStringLiteral("Пользовательская калибровка"));
    // A dialog border: no resizing, no maximise, no help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    Label_ = new QLabel(QStringLiteral("Действительное значение:"), this);
    Label_->setObjectName(QStringLiteral("Label1"));
    M_Real_ = new MaskedDigitEdit(this);
    M_Real_->setObjectName(QStringLiteral("M_Real"));
    M_Real_->SetLeastSize(FieldLeastSize);
    Label_->setBuddy(M_Real_);
    Label_->setMinimumSize(Label_->sizeHint()); // the field's growth never squeezes the label
    B_Apply_ = new QPushButton(QStringLiteral("Принять"), this);
    B_Apply_->setObjectName(QStringLiteral("B_Apply"));
    B_Apply_->setDefault(true); // Enter presses it
    B_Close_ = new QPushButton(QStringLiteral("Выйти"), this);
    B_Close_->setObjectName(QStringLiteral("B_Close"));
    B_Close_->setAutoDefault(false);

    // Laid out rather than placed, so that a larger font or scale never clips a caption.
    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(Label_);
    entryRow->addWidget(M_Real_);
    entryRow->addStretch();
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(B_Apply_);
    buttonRow->addWidget(B_Close_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 10, 8, 8);
    column->addLayout(entryRow);
    column->addStretch();
    column->addLayout(buttonRow);
    FitWindow();
    if (parent != nullptr) {
        CentreOnFirstShow(*this, *parent);
    }

    connect(M_Real_, &MaskedDigitEdit::KeyDown, this, [this](bool deleting) {
        KeyWasDelete_ = deleting;
        CaretBeforeKey_ = M_Real_->CaretIndex();
    });
    connect(M_Real_, &MaskedDigitEdit::Changed, this, &TFormCalibration::M_RealChange);
    connect(M_Real_, &MaskedDigitEdit::Retyped, this, &TFormCalibration::KeepCaret);
    connect(B_Apply_, &QPushButton::clicked, this, &TFormCalibration::B_ApplyClick);
    // "Выйти" and Escape close with Cancel.
    connect(B_Close_, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormCalibration::Execute() {
    Closing_ = false;
    return exec() == QDialog::Accepted;
}

void TFormCalibration::done(int result) {
    Closing_ = true;
    QDialog::done(result);
}

void TFormCalibration::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Where the window manager does not activate the window (a bare X server, the offscreen
    // platform) the opening still prepares the entry.
    Prepare();
    M_Real_->setFocus();
}

void TFormCalibration::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Each activation, at the opening and when the dialog's error box closes, resets the entry to
    // the value the panel shows at that moment.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !Closing_) {
        Prepare();
    }
}

void TFormCalibration::Prepare() {
    if (State_.Mode == PanelMode::Measurement) {
        Dialogs_.Param(ParamControl::CB_CoefComp) = State_.CoefComp != 0 ? 1 : 0;
    } else {
        Dialogs_.Param(ParamControl::CB_CoefCalibr) = State_.CoefCalibr != 0 ? 1 : 0;
    }
    Entry_.Prepare(QString::fromStdString(OutputEditMaskFor(State_)));
    M_Real_->SetMask(Entry_.Mask());
    M_Real_->SetDigits(QString::fromStdString(State_.CalibrationDigits));
    FitWindow(); // the field is as wide as its layout needs in its font
}

void TFormCalibration::FitWindow() {
    for (QLayout* part : findChildren<QLayout*>()) {
        part->invalidate();
    }
    setFixedSize(layout()->totalSizeHint().expandedTo(ClientSize));
    layout()->activate(); // the controls take their places now, not at the next event
}

void TFormCalibration::M_RealChange(bool typed) {
    if (!Entry_.CheckEdit(M_Real_->text())) {
        // Past the upper limit: the last accepted digits come back and the caret with them, as
        // if the key had not been pressed.
        const QSignalBlocker blocker(M_Real_);
        M_Real_->SetDigits(QString::fromStdString(State_.CalibrationDigits));
        M_Real_->SetCaretIndex(CaretBeforeKey_);
        return;
    }
    if (typed) {
        KeepCaret();
    }
}

void TFormCalibration::KeepCaret() {
    M_Real_->SetCaretIndex(
        CaretAfterEdit(M_Real_->CaretIndex(), State_.MoveCursor != 0, KeyWasDelete_));
}

void TFormCalibration::B_ApplyClick() {
    if (const std::optional<std::string> refusal = Entry_.RefusalOfAccept()) {
        Facilities_.ShowMessage(*refusal, MessageKind::Error);
        M_Real_->setFocus();
        // The box gave the activation back to the dialog, which resets the entry; where no box
        // was shown (or no activation came) the same happens here.
        Prepare();
        return;
    }
    accept();
}

} // namespace vr410
