// The 18 keys of the panel keypad, named after their buttons: the one name for a key in the
// keypad's handlers, the keypad widget, the display renderers' latches and the tests.
#pragma once

#include <cstddef>

namespace vr410 {

enum class PanelKey {
    SB_Enter,
    SB_1,
    SB_2,
    SB_3,
    SB_4,
    SB_5,
    SB_Shift,
    SB_6,
    SB_7,
    SB_8,
    SB_9,
    SB_0,
    SB_Reset,
    SB_Polar,
    SB_Sin,
    SB_I,
    SB_U,
    SB_Meas,
};

constexpr size_t PanelKeyCount = 18;

} // namespace vr410
