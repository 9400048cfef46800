// TFormCalibration "Пользовательская калибровка": the operator types the real value a reference
// instrument measured, within ±1 % of the value the panel shows; "Принять" closes the dialog with
// Yes when the value lies within the limits, and the keypad then sends the user calibration.
// The rules live in CalibrationEntry; the dialog shows them.
#pragma once

#include "shell/calibration_entry.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace vr410 {

class MaskedDigitEdit;
class SystemFacilities;
struct DialogModel;
struct InstrumentState;

class TFormCalibration : public QDialog {
    Q_OBJECT
  public:
    // All references must outlive the dialog. parent is the main window, on which the dialog
    // is centred when first shown; dialogs gets the parameters dialog's calibration check box,
    // facilities shows the error box.
    TFormCalibration(QWidget* parent, InstrumentState& state, DialogModel& dialogs,
                     SystemFacilities& facilities);

    // Shows the dialog modally; true when it closed with Yes ("Принять" accepted the value),
    // false on Cancel ("Выйти", Escape, the close box).
    bool Execute();

    MaskedDigitEdit* M_Real() const { return M_Real_; }
    QPushButton* B_Apply() const { return B_Apply_; }
    QPushButton* B_Close() const { return B_Close_; }
    const CalibrationEntry& Entry() const { return Entry_; }

  protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // The preparation: the field takes the layout, the limits and the value the panel shows.
    void Prepare();
    // Fixes the window at what its controls need, never below the design's client size.
    void FitWindow();
    // The entry check of every change of M_Real.
    void M_RealChange(bool typed);
    // The caret after a typed change, as the output value field keeps it.
    void KeepCaret();
    // The acceptance check of "Принять".
    void B_ApplyClick();

    InstrumentState& State_;
    DialogModel& Dialogs_;
    SystemFacilities& Facilities_;
    CalibrationEntry Entry_;
    // From the closing on: the activation the closing passes on (to the main window, with which
    // the dialog shares it) must not reset the value just accepted.
    bool Closing_ = false;
    // Noted on every key-down in M_Real.
    bool KeyWasDelete_ = false;
    int CaretBeforeKey_ = 0;

    QLabel* Label_ = nullptr;
    MaskedDigitEdit* M_Real_ = nullptr;
    QPushButton* B_Apply_ = nullptr;
    QPushButton* B_Close_ = nullptr;
};

} // namespace vr410
