// TFormCOM "Номер порта": asks for the number of a COM port beyond COM1..COM6. The field
// IntEdit1 shows the port in use each time the dialog opens, with its whole text selected.
#pragma once

#include "platform/system_facilities.h"

#include <QDialog>

#include <cstdint>
#include <optional>

class QPushButton;

namespace vr410 {

class TIntEdit;

class TFormCOM : public QDialog {
    Q_OBJECT
  public:
    // A dialog of `owner`, hidden until asked.
    TFormCOM(QWidget* owner, SystemFacilities& facilities);

    // Shows the dialog modally with `comNumber` in the field. The number typed when it ends
    // with "ОК"; std::nullopt on "Отмена" or Escape.
    std::optional<int64_t> Ask(int comNumber);

    TIntEdit* IntEdit1() { return IntEdit1_; }
    QPushButton* ButtonOK() { return ButtonOK_; }
    QPushButton* ButtonCancel() { return ButtonCancel_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Puts the port in use into the field, gives it the focus and selects its text.
    void FormActivate();

    TIntEdit* IntEdit1_ = nullptr;
    QPushButton* ButtonOK_ = nullptr;
    QPushButton* ButtonCancel_ = nullptr;
    int ComNumber_ = 0;
};

} // namespace vr410
