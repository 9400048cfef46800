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
    void SetFrequencyField(int hertz) override { Add("SE_Freq " + std::to_string(hertz)); }
    void SetFrequencyPanelVisible(bool visible) override {
        Add(std::string("PanelFreq ") + (visible ? "shown" : "hidden"));
    }
    void SetOutputField(const std::string& digits) override { Add("MaskEditVoltage " + digits); }
    void ShowParameters(const InstrumentParameters& p) override {
        Add("Parameters Sound " + std::to_string(p.Sound) + " Brightness " +
            std::to_string(p.Brightness) + " TimeInd " + std::to_string(p.TimeInd) +
            " DigitalFilter " + std::to_string(p.DigitalFilter) + " NumDigits " +
            std::to_string(p.NumDigits) + " ViewMode " + std::to_string(p.ViewMode) +
            " MoveCursor " + std::to_string(p.MoveCursor) + " Blanking " +
            std::to_string(p.Blanking) + " CoefCalibr " + std::to_string(p.CoefCalibr) +
            " CoefComp " + std::to_string(p.CoefComp));
    }
    void ShowErrorList(const std::vector<uint8_t>& codes) override {
        std::string line = "ErrorList";
        for (const uint8_t code : codes) {
            line += " " + std::to_string(code);
        }
        Add(line);
    }
    void ShowUserCalibration(CalibratedPart part) override {
        Add(std::string("UserCalibration ") +
            (part == CalibratedPart::Calibrator ? "Calibrator" : "Voltmeter"));
    }
    void ShowAccessory(uint8_t band, uint8_t factor) override {
        Add("Accessory " + std::to_string(band) + " " + std::to_string(factor));
    }
    void ShowFirmwareVersion(const std::string& version) override {
        Add("FirmwareVersion " + version);
    }

  private:
    void Add(std::string line) { Calls.push_back(std::move(line)); }
};

} // namespace vr410::test
