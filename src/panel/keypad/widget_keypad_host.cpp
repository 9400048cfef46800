#include "panel/keypad/widget_keypad_host.h"

#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel5.h"

namespace vr410 {

void WidgetKeypadHost::SetFreqPanelVisible(bool visible) {
    Entry_.SetFreqPanelVisible(visible);
}

void WidgetKeypadHost::SetOutputEntryVisible(bool visible) {
    Entry_.SetOutputEntryVisible(visible);
}

void WidgetKeypadHost::SetOutputFieldText(const std::string& digits) {
    Entry_.MaskEditVoltage()->SetDigits(QString::fromStdString(digits));
}

std::string WidgetKeypadHost::OutputFieldText() const {
    return Entry_.MaskEditVoltage()->text().toStdString();
}

int WidgetKeypadHost::OutputCaretIndex() const {
    return Entry_.MaskEditVoltage()->CaretIndex();
}

void WidgetKeypadHost::SetOutputCaretIndex(int index) {
    Entry_.MaskEditVoltage()->SetCaretIndex(index);
}

bool WidgetKeypadHost::IsKeyDown(PanelKey key) const {
    return Keys_.IsKeyDown(key);
}

void WidgetKeypadHost::SetKeyDown(PanelKey key, bool down) {
    Keys_.SetKeyDown(key, down);
}

ConfirmAnswer WidgetKeypadHost::Confirm(ConfirmKind kind) {
    return Confirmation_.Ask(kind);
}

} // namespace vr410
