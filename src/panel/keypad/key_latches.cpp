#include "panel/keypad/key_latches.h"

namespace vr410 {

int KeyGroup(PanelKey key) {
    switch (key) {
    case PanelKey::SB_Shift:
        return 1;
    case PanelKey::SB_Enter:
    case PanelKey::SB_Reset:
    case PanelKey::SB_Meas:
        return 2;
    case PanelKey::SB_Polar:
    case PanelKey::SB_Sin:
        return 3;
    case PanelKey::SB_I:
    case PanelKey::SB_U:
        return 4;
    default:
        return 0;
    }
}

KeyLatches::KeyLatches() {
    SetDown(PanelKey::SB_Reset, true);
    SetDown(PanelKey::SB_Polar, true);
    SetDown(PanelKey::SB_U, true);
}

void KeyLatches::SetDown(PanelKey key, bool down) {
    const int group = KeyGroup(key);
    if (group == 0) {
        return;
    }
    if (down && group > 1) {
        for (size_t i = 0; i < PanelKeyCount; ++i) {
            if (KeyGroup(static_cast<PanelKey>(i)) == group) {
                Down_[i] = false;
            }
        }
    }
    Down_[static_cast<size_t>(key)] = down;
}

} // namespace vr410
