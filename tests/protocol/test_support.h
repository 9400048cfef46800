// Helpers of the protocol tests: answers built like the instrument builds them and a recorder of
// everything decoding does to windows. Hex literals come from common/hex.h.
#pragma once

#include "common/hex.h"
#include "protocol/answer.h"
#include "protocol/frame.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vr410::test {

inline std::vector<uint8_t> BodyOf(const PacketRecord& p) {
    return {p.Body.begin(), p.Body.begin() + std::min<size_t>(p.BodyLength, PacketCapacity)};
}

// An answer with the address byte and the message M[0..L] given in hex, cut into blocks with
// their check bytes exactly as BuildPacket cuts a request.
inline PacketRecord AnswerPacket(uint8_t address, const std::vector<uint8_t>& message) {
    FrameBytes frame{};
    frame[0] = address;
    std::copy(message.begin(), message.end(), frame.begin() + 1);
    PacketRecord packet;
    BuildPacket(frame, packet);
    return packet;
}

inline PacketRecord AnswerPacket(uint8_t address, const std::string& message) {
    return AnswerPacket(address, Hex(message));
}

// Writes down every call, in order, as one readable line each.
class RecordingView : public AnswerView {
  public:
    std::vector<std::string> Calls;

    void SetAnswerText(const std::string& text) override { Add("Answer: " + text); }
    void PrintMode() override { Add("PrintMode"); }
    void CLRDisp(int row) override { Add("CLRDisp " + std::to_string(row)); }
    void PrintText(int column, int row, int dotWidth, const std::string& text) override {
        Add("PrintText " + std::to_string(column) + "," + std::to_string(row) + "," +
            std::to_string(dotWidth) + " " + text);
    }
    void PrintUin() override { Add("PrintUin"); }
    void PrintUperc() override { Add("PrintUperc"); }
    void SetReadAdcTimerEnabled(bool enabled) override {
        Add(std::string("TimerReadADC ") + (enabled ? "on" : "off"));
    }
    void SetFrequencyField(int hertz) override { Add("SE_Freq " + std::to_string(hertz)); }
    void SetFrequencyPanelVisible(bool visible) override {
        Add(std::string("PanelFreq ") + (visible ? "shown" : "hidden"));
    }
    void SetOutputField(const std::string& digits) override { Add("MaskEditVoltage " + digits); }
    void SetParamControl(ParamControl control, int value) override {
        Add(std::string(Name(control)) + " " + std::to_string(value));
    }
    void SetErrorList(const std::vector<std::string>& entries) override {
        std::string line = "LB_Errors";
        for (const auto& e : entries) {
            line += " " + e;
        }
        Add(line);
    }
    void PressAccessoryButton(AccessoryButton button) override {
        Add(std::string("Press ") + Name(button));
    }
    void SetFirmwareLabel(const std::string& text) override { Add("Label10: " + text); }

  private:
    void Add(std::string line) { Calls.push_back(std::move(line)); }

    static const char* Name(ParamControl c) {
        static const char* const names[] = {
            "CB_Sound",       "TrackBarBrihtness", "GroupTimeInd",  "GroupDigitalFilter",
            "GroupNumDigits", "GroupViewMode",     "CB_MoveCursor", "CB_Blanking",
            "CB_CoefCalibr",  "CB_CoefComp"};
        return names[static_cast<int>(c)];
    }
    static const char* Name(AccessoryButton b) {
        static const char* const names[] = {"SB_1", "SB_2", "SB_3", "SB_4", "SB_5", "SB_Enter",
                                            "SB_6", "SB_7", "SB_8", "SB_9", "SB_0", "SB_Reset"};
        return names[static_cast<int>(b)];
    }
};

} // namespace vr410::test
