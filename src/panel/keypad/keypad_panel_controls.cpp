#include "panel/keypad/keypad_panel_controls.h"

#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel5.h"

namespace vr410 {

void KeypadPanelControls::LatchKey(PanelKey key) {
    Keys_.SetKeyDown(key, true);
}

bool KeypadPanelControls::SinLatched() const {
    return Keys_.IsKeyDown(PanelKey::SB_Sin);
}

void KeypadPanelControls::SetOutputField(const std::string& mask, const std::string& digits) {
    MaskedDigitEdit* field = Entry_.MaskEditVoltage();
    field->SetMask(QString::fromStdString(mask));
    field->SetDigits(QString::fromStdString(digits));
}

} // namespace vr410
