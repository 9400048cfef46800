// What the answers and the exchange hand to the windows around the panel: the parameters
// dialog's controls and error list, the accessory window's buttons, the about box's firmware
// line and the address fields. The dialogs take these values when they are shown, so nothing
// a decoded answer carries is lost before a dialog exists to show it.
#pragma once

#include "protocol/answer.h"

#include <array>
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace vr410 {

struct DialogModel {
    // TFormParam: the controls in the order of ParamControl, and the error list LB_Errors.
    std::array<int, 10> ParamControls{};
    std::vector<std::string> ErrorList;
    int ParamAddressField = 1; // IntEditAddrDevice of TFormParam: the address to give

    // TFormDevice and TFormAddressPC: their address fields.
    int DeviceAddressField = 1;
    int PcAddressField = 0;

    // TFormOkCal: the complete-zero field FE_Ok and its number of decimals.
    double OkValue = 0.0;
    int OkDigits = 0;

    // TFormVR410C: the buttons decoding pressed, oldest first; the window takes them when
    // it shows. Only the latest presses matter, so the list is kept short.
    std::deque<AccessoryButton> AccessoryPresses;
    static constexpr size_t AccessoryPressesKept = 16;

    // TFormAbout: Label10.
    std::string FirmwareLabel = "Версия встроенного ПО: нет связи!";

    int& Param(ParamControl control) { return ParamControls[static_cast<size_t>(control)]; }
    void PressAccessory(AccessoryButton button) {
        AccessoryPresses.push_back(button);
        if (AccessoryPresses.size() > AccessoryPressesKept) {
            AccessoryPresses.pop_front();
        }
    }
};

} // namespace vr410
