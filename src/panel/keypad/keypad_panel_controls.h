// The display renderers' hold on the keypad and the output value field (PanelControls),
// fulfilled by Panel5 and MaskEditVoltage.
#pragma once

#include "panel/panel_controls.h"

namespace vr410 {

class OutputEntryBar;
class Panel5;

class KeypadPanelControls : public PanelControls {
  public:
    KeypadPanelControls(Panel5& keys, OutputEntryBar& entry) : Keys_(keys), Entry_(entry) {}

    void LatchKey(PanelKey key) override;
    bool SinLatched() const override;
    // Lays MaskEditVoltage out by mask, then puts digits into it; a changed text runs the
    // field's change handling.
    void SetOutputField(const std::string& mask, const std::string& digits) override;

  private:
    Panel5& Keys_;
    OutputEntryBar& Entry_;
};

} // namespace vr410
