#include "panel/panel_controls.h"

namespace vr410 {

void RecordedControls::LatchKey(PanelKey key) {
    switch (key) {
    case PanelKey::SB_Enter:
    case PanelKey::SB_Reset:
    case PanelKey::SB_Meas:
        Modes_ = key;
        break;
    case PanelKey::SB_Polar:
    case PanelKey::SB_Sin:
        Kind_ = key;
        break;
    case PanelKey::SB_I:
    case PanelKey::SB_U:
        Quantity_ = key;
        break;
    default: // the digit keys and SB_Shift do not belong to a radio group
        break;
    }
}

bool RecordedControls::IsLatched(PanelKey key) const {
    return Modes_ == key || Kind_ == key || Quantity_ == key;
}

void RecordedControls::SetOutputField(const std::string& mask, const std::string& digits) {
    Mask_ = mask;
    Text_ = digits;
}

} // namespace vr410
