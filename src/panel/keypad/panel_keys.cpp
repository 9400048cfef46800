#include "panel/keypad/panel_keys.h"

#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel5.h"

#include <QSpinBox>

namespace vr410 {

PanelKeys::PanelKeys(InstrumentState& state, KeypadHost& host, Panel5& keys, OutputEntryBar& entry,
                     QObject* parent)
    : QObject(parent), KeypadLogic(state, host), EntryLogic(state, host) {
    connect(&keys, &Panel5::KeyClicked, this, [this](Key key) { KeypadLogic.Press(key); });
    MaskedDigitEdit* field = entry.MaskEditVoltage();
    connect(field, &MaskedDigitEdit::KeyDown, this, [this](bool backspaceOrDelete) {
        EntryLogic.MaskEditVoltageKeyDown(backspaceOrDelete);
    });
    connect(field, &MaskedDigitEdit::Changed, this,
            [this](bool typed) { EntryLogic.MaskEditVoltageChange(typed); });
    connect(entry.SE_Freq(), &QSpinBox::textChanged, this, [this] { EntryLogic.SE_FreqChange(); });
}

} // namespace vr410
