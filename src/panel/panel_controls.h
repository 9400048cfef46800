// What the display renderers do to the main window's controls besides the display: latching
// keypad keys and filling the output value field. The keypad and the output value entry
// implement it; RecordedControls stands in for them until then and in tests.
#pragma once

#include "panel/keypad/panel_key.h"

#include <string>

namespace vr410 {

class PanelControls {
  public:
    virtual ~PanelControls() = default;
    // Presses a latching key down and releases the other keys of its group: SB_Enter, SB_Reset
    // and SB_Meas; SB_Polar and SB_Sin; SB_I and SB_U.
    virtual void LatchKey(PanelKey key) = 0;
    // True while SB_Sin is down; the display-on indicator takes AC from it.
    virtual bool SinLatched() const = 0;
    // Gives the output value field its mask, then its text (which runs the field's change
    // handling).
    virtual void SetOutputField(const std::string& mask, const std::string& digits) = 0;
};

// Keeps the latched keys and the last mask and text given to the output value field.
// Starts as the keypad does: SB_Reset, SB_Polar and SB_U down.
class RecordedControls : public PanelControls {
  public:
    void LatchKey(PanelKey key) override;
    bool SinLatched() const override { return IsLatched(PanelKey::SB_Sin); }
    void SetOutputField(const std::string& mask, const std::string& digits) override;

    bool IsLatched(PanelKey key) const;
    const std::string& FieldMask() const { return Mask_; }
    const std::string& FieldText() const { return Text_; }

  private:
    PanelKey Modes_ = PanelKey::SB_Reset; // down key of SB_Enter, SB_Reset, SB_Meas
    PanelKey Kind_ = PanelKey::SB_Polar;  // down key of SB_Polar, SB_Sin
    PanelKey Quantity_ = PanelKey::SB_U;  // down key of SB_I, SB_U
    std::string Mask_;
    std::string Text_;
};

} // namespace vr410
