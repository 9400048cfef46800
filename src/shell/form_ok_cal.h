// TFormOkCal "Ноль комплектный (Ок)": the operator enters the small signed zero offset of the
// calibrator's complete zero. The dialog only prepares the value: the keypad decides what is
// sent. Created once, shown modally, hidden when closed; the field keeps its last value.
#pragma once

#include "panel/keypad/keypad_host.h"
#include "shell/dialog_model.h"

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace vr410 {

class TFloatEdit;

class TFormOkCal : public QDialog {
    Q_OBJECT

  public:
    static constexpr int ClientWidth = 201;
    static constexpr int ClientHeight = 65;

    // Keeps the reference; the model must outlive the dialog.
    TFormOkCal(DialogModel& dialogs, QWidget* owner);

    // Shows the dialog modally with `digits` decimals in FE_Ok and `letters` after it (a prefix
    // and a unit, such as "uV"), centred on its owner the first time. Returns whether "ОК"
    // closed it and the value FE_Ok shows; the model's OkValue and OkDigits take them as well.
    OkCalResult ShowModal(int digits, const std::string& letters);

    QLabel* Label1 = nullptr;
    TFloatEdit* FE_Ok = nullptr;
    QLabel* LabelLetters = nullptr;
    QPushButton* ButtonOk = nullptr;
    QPushButton* ButtonCancel = nullptr;

  protected:
    // Keys reach the form first: Escape presses "Отмена" from anywhere in the dialog.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ButtonOkClick();

    DialogModel& Dialogs_;
};

} // namespace vr410
