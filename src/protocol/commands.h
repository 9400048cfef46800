// The instrument's command set as the PC uses it: function code, the item of the hidden
// "Режим" menu that carries it, the caption shown when it is selected, and its length byte L.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vr410 {

struct CommandInfo {
    uint8_t Code;
    std::string_view MenuItem; // component name of the menu item (N3, N36, ...)
    std::string_view Caption;  // UTF-8
    uint8_t L;                 // length byte of the request
    bool SeparatorBefore;      // a menu separator stands before the item
};

// In menu order.
extern const std::array<CommandInfo, 16> CommandTable;

// The row of the code, or nullptr when the code is not a command of the table.
const CommandInfo* FindCommand(uint8_t code);

} // namespace vr410
