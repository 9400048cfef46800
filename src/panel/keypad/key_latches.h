// The latched (pressed-down) state of the keypad's latching keys.
#pragma once

#include "panel/keypad/panel_key.h"

#include <array>
#include <cstddef>

namespace vr410 {

// Latching group of a key: 0 for the plain digit keys, 1 for SB_Shift (a toggle of its own),
// 2 for SB_Enter/SB_Reset/SB_Meas, 3 for SB_Polar/SB_Sin, 4 for SB_I/SB_U.
int KeyGroup(PanelKey key);

// Which keys are down. Pressing a key of a radio group releases the others of its group; a plain
// key never stays down. Start state: SB_Reset, SB_Polar and SB_U down.
class KeyLatches {
  public:
    KeyLatches();
    bool IsDown(PanelKey key) const { return Down_[static_cast<size_t>(key)]; }
    // Latches key down (releasing its group mates) or releases it. Plain keys ignore it.
    void SetDown(PanelKey key, bool down);

  private:
    std::array<bool, PanelKeyCount> Down_{};
};

} // namespace vr410
