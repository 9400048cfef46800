#include "panel/keypad/keypad_panel_controls.h"

#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel5.h"

namespace vr410 {
namespace {

Key KeyOf(PanelKey key) {
    switch (key) {
    case PanelKey::SB_Enter:
        return Key::SB_Enter;
    case PanelKey::SB_Reset:
        return Key::SB_Reset;
    case PanelKey::SB_Meas:
        return Key::SB_Meas;
    case PanelKey::SB_Polar:
        return Key::SB_Polar;
    case PanelKey::SB_Sin:
        return Key::SB_Sin;
    case PanelKey::SB_I:
        return Key::SB_I;
    case PanelKey::SB_U:
        return Key::SB_U;
    }
    return Key::SB_Reset;
}

} // namespace

void KeypadPanelControls::LatchKey(PanelKey key) {
    Keys.SetKeyDown(KeyOf(key), true);
}

bool KeypadPanelControls::SinLatched() const {
    return Keys.IsKeyDown(Key::SB_Sin);
}

void KeypadPanelControls::SetOutputField(const std::string& mask, const std::string& digits) {
    MaskedDigitEdit* field = Entry.MaskEditVoltage();
    field->SetMask(QString::fromStdString(mask));
    field->SetDigits(QString::fromStdString(digits));
}

} // namespace vr410
