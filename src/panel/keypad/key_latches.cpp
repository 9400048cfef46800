#include "panel/keypad/key_latches.h"

namespace vr410 {

int KeyGroup(Key key) {
    switch (key) {
    case Key::SB_Shift:
        return 1;
    case Key::SB_Enter:
    case Key::SB_Reset:
    case Key::SB_Meas:
        return 2;
    case Key::SB_Polar:
    case Key::SB_Sin:
        return 3;
    case Key::SB_I:
    case Key::SB_U:
        return 4;
    default:
        return 0;
    }
}

KeyLatches::KeyLatches() {
    SetDown(Key::SB_Reset, true);
    SetDown(Key::SB_Polar, true);
    SetDown(Key::SB_U, true);
}

void KeyLatches::SetDown(Key key, bool down) {
    const int group = KeyGroup(key);
    if (group == 0) {
        return;
    }
    if (down && group > 1) {
        for (size_t i = 0; i < KeyCount; ++i) {
            if (KeyGroup(static_cast<Key>(i)) == group) {
                Down[i] = false;
            }
        }
    }
    Down[static_cast<size_t>(key)] = down;
}

} // namespace vr410
