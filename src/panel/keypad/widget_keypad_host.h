// The part of KeypadHost that this folder's own widgets fulfil: the key latches of Panel5, the
// entry controls of OutputEntryBar and the confirmation boxes. The main window derives from it
// and adds the commands, timers, renderers and dialogs.
#pragma once

#include "panel/keypad/confirmation_box.h"
#include "panel/keypad/keypad_host.h"

namespace vr410 {

class OutputEntryBar;
class Panel5;

class WidgetKeypadHost : public KeypadHost {
  public:
    WidgetKeypadHost(Panel5& keys, OutputEntryBar& entry, ConfirmationBox& confirm)
        : Keys_(keys), Entry_(entry), Confirmation_(confirm) {}

    void SetFreqPanelVisible(bool visible) override;
    void SetOutputEntryVisible(bool visible) override;
    void SetOutputFieldText(const std::string& digits) override;
    std::string OutputFieldText() const override;
    int OutputCaretIndex() const override;
    void SetOutputCaretIndex(int index) override;
    bool IsKeyDown(PanelKey key) const override;
    void SetKeyDown(PanelKey key, bool down) override;
    ConfirmAnswer Confirm(ConfirmKind kind) override;

  private:
    Panel5& Keys_;
    OutputEntryBar& Entry_;
    ConfirmationBox& Confirmation_;
};

} // namespace vr410
