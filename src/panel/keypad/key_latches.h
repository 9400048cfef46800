// The 18 keys of the panel keypad and the latched (pressed-down) state of the latching ones.
#pragma once

#include <array>
#include <cstddef>

namespace vr410 {

enum class Key {
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

constexpr size_t KeyCount = 18;

// Latching group of a key: 0 for the plain digit keys, 1 for SB_Shift (a toggle of its own),
// 2 for SB_Enter/SB_Reset/SB_Meas, 3 for SB_Polar/SB_Sin, 4 for SB_I/SB_U.
int KeyGroup(Key key);

// Which keys are down. Pressing a key of a radio group releases the others of its group; a plain
// key never stays down. Start state: SB_Reset, SB_Polar and SB_U down.
class KeyLatches {
  public:
    KeyLatches();
    bool IsDown(Key key) const { return Down[static_cast<size_t>(key)]; }
    // Latches key down (releasing its group mates) or releases it. Plain keys ignore it.
    void SetDown(Key key, bool down);

  private:
    std::array<bool, KeyCount> Down{};
};

} // namespace vr410
