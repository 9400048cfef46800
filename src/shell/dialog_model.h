// What the answers and the exchange hand to the windows around the panel: the parameters
// dialog's controls and error list, the accessory window's buttons, the about box's firmware
// line and the address fields. The dialogs take these values when they are shown, so nothing
// a decoded answer carries is lost before a dialog exists to show it. The answers report
// values; which control shows a value, and how, is decided here.
#pragma once

#include "protocol/answer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vr410 {

// Controls of the parameters dialog that the answers fill, in the order a parameters answer
// fills them.
enum class ParamControl {
    CB_Sound,
    TrackBarBrihtness, // position = Brightness - 1
    GroupTimeInd,
    GroupDigitalFilter,
    GroupNumDigits,
    GroupViewMode,
    CB_MoveCursor,
    CB_Blanking,
    CB_CoefCalibr,
    CB_CoefComp,
};

// Buttons of the accessory window that the answers press.
enum class AccessoryButton {
    SB_1,
    SB_2,
    SB_3,
    SB_4,
    SB_5,
    SB_Enter,
    SB_6,
    SB_7,
    SB_8,
    SB_9,
    SB_0,
    SB_Reset
};

// The parameters dialog's control values for decoded parameters, in ParamControl order: the
// check boxes 0 or 1, the brightness track bar at Brightness - 1, each list at its code.
std::array<int, 10> ParameterControlValues(const InstrumentParameters& parameters);

// The entries of the error list LB_Errors: each code as a decimal number, or the single entry
// "отсутствуют" (none) when there are no codes.
std::vector<std::string> ErrorListEntries(const std::vector<uint8_t>& codes);

// The accessory window's buttons a read answer presses, in order, for its band and factor as
// they came. A band of 0..6 with a factor of 1..5: the band's button (band 6, 30 A, has none)
// and then the factor's. Anything else: "Сброс" (SB_Reset), then, unless the accessory sent
// its reset byte (band and factor 15), SB_1 for a band past 6 and SB_6 for a factor outside
// 1..5, as the answer's decoding takes them as band 0 and factor 1.
std::vector<AccessoryButton> AccessoryButtonPresses(uint8_t band, uint8_t factor);

// The about box's Label10 for a firmware version.
std::string FirmwareLabelText(const std::string& version);

struct DialogModel {
    // TFormParam: the controls in the order of ParamControl, and the error list LB_Errors, at
    // their start values until the first read: sound off, the track bar at 7, the first item of
    // each list but "10.000m000u0V", every box clear, no error codes.
    std::array<int, 10> ParamControls{0, 7, 0, 0, 0, 2, 0, 0, 0, 0};
    std::vector<std::string> ErrorList = ErrorListEntries({});
    // Called after an answer changed the controls or the error list, so an open dialog shows it.
    std::function<void()> ParamControlsChanged;
    int ParamAddressField = 1; // IntEditAddrDevice of TFormParam: the address to give

    // TFormDevice and TFormAddressPC: their address fields.
    int DeviceAddressField = 1;
    int PcAddressField = 0;

    // TFormOkCal: the complete-zero field FE_Ok and its number of decimals.
    double OkValue = 0.0;
    int OkDigits = 0;

    // TFormVR410C: the buttons the answers pressed, oldest first; the window takes them when
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

    // The answers' reports, put into the controls that show them.
    void ShowParameters(const InstrumentParameters& parameters) {
        ParamControls = ParameterControlValues(parameters);
        ParamControlsShown();
    }
    void ShowErrorList(const std::vector<uint8_t>& codes) {
        ErrorList = ErrorListEntries(codes);
        ParamControlsShown();
    }
    // Ticks CB_CoefCalibr for the calibrator, CB_CoefComp for the voltmeter.
    void ShowUserCalibration(CalibratedPart part) {
        Param(part == CalibratedPart::Calibrator ? ParamControl::CB_CoefCalibr
                                                 : ParamControl::CB_CoefComp) = 1;
        ParamControlsShown();
    }
    void ParamControlsShown() const {
        if (ParamControlsChanged) {
            ParamControlsChanged();
        }
    }
    void ShowAccessory(uint8_t band, uint8_t factor) {
        for (const AccessoryButton button : AccessoryButtonPresses(band, factor)) {
            PressAccessory(button);
        }
    }
    void ShowFirmwareVersion(const std::string& version) {
        FirmwareLabel = FirmwareLabelText(version);
    }
};

} // namespace vr410
