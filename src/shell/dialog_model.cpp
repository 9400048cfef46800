// The answers' values as the dialogs' controls show them.
#include "shell/dialog_model.h"

#include "protocol/wire_constants.h"

namespace vr410 {

namespace {

// Band 0..5 and factor 1..5 each have their button; band 6 (30 A) has none of its own.
constexpr AccessoryButton BandButtons[] = {AccessoryButton::SB_1, AccessoryButton::SB_2,
                                           AccessoryButton::SB_3, AccessoryButton::SB_4,
                                           AccessoryButton::SB_5, AccessoryButton::SB_Enter};
constexpr AccessoryButton FactorButtons[] = {AccessoryButton::SB_6, AccessoryButton::SB_7,
                                             AccessoryButton::SB_8, AccessoryButton::SB_9,
                                             AccessoryButton::SB_0};
constexpr uint8_t HighestBand = 6;
constexpr uint8_t HighestFactor = 5;

} // namespace

std::array<int, 10> ParameterControlValues(const InstrumentParameters& p) {
    std::array<int, 10> values{};
    auto put = [&values](ParamControl control, int value) {
        values[static_cast<size_t>(control)] = value;
    };
    put(ParamControl::CB_Sound, p.Sound != 0);
    put(ParamControl::TrackBarBrihtness, p.Brightness - 1);
    put(ParamControl::GroupTimeInd, p.TimeInd);
    put(ParamControl::GroupDigitalFilter, p.DigitalFilter);
    put(ParamControl::GroupNumDigits, p.NumDigits);
    put(ParamControl::GroupViewMode, p.ViewMode);
    put(ParamControl::CB_MoveCursor, p.MoveCursor != 0);
    put(ParamControl::CB_Blanking, p.Blanking != 0);
    put(ParamControl::CB_CoefCalibr, p.CoefCalibr != 0);
    put(ParamControl::CB_CoefComp, p.CoefComp != 0);
    return values;
}

std::vector<std::string> ErrorListEntries(const std::vector<uint8_t>& codes) {
    if (codes.empty()) {
        return {"отсутствуют"};
    }
    std::vector<std::string> entries;
    entries.reserve(codes.size());
    for (const uint8_t code : codes) {
        entries.push_back(std::to_string(code));
    }
    return entries;
}

std::vector<AccessoryButton> AccessoryButtonPresses(uint8_t band, uint8_t factor) {
    const bool factorValid = factor >= 1 && factor <= HighestFactor;
    if (band <= HighestBand && factorValid) {
        std::vector<AccessoryButton> presses;
        if (band < HighestBand) {
            presses.push_back(BandButtons[band]);
        }
        presses.push_back(FactorButtons[factor - 1]);
        return presses;
    }
    std::vector<AccessoryButton> presses{AccessoryButton::SB_Reset};
    // The accessory's own reset report: both nibbles of its reset byte.
    if (band == (AccessoryResetByte >> 4) && factor == (AccessoryResetByte & 0x0F)) {
        return presses;
    }
    if (band > HighestBand) {
        presses.push_back(AccessoryButton::SB_1);
    }
    if (!factorValid) {
        presses.push_back(AccessoryButton::SB_6);
    }
    return presses;
}

std::string FirmwareLabelText(const std::string& version) {
    return "Версия встроенного ПО " + version;
}

} // namespace vr410
