// Validation and decoding of one attempt's answer as the engine runs them: every effect on the
// windows reaches the window's AnswerView unchanged, while the engine learns the answer label's
// text for its event stream.
#pragma once

#include "protocol/answer.h"
#include "protocol/instrument_state.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vr410::engine {

class AnswerStep final : private AnswerView {
  public:
    // Keeps both references; they must outlive the step.
    AnswerStep(InstrumentState& state, AnswerView& window);

    // Empties the answer label, as each exchange does before its first attempt.
    void ClearText();
    // The fourteen checks; on failure the label holds the failing check's text.
    bool Validate(uint32_t receiveStatus, const AnswerContext& answer);
    // Decodes an accepted answer for state.CommandCode into the state and the windows; returns
    // what it asks of the measured-value timer TimerReadADC.
    ReadValueAction Decode(const AnswerContext& answer);
    // The answer label's text as last set through this step.
    const std::string& Text() const { return Text_; }

  private:
    void SetAnswerText(const std::string& text) override;
    void PrintMode() override { Window_.PrintMode(); }
    void CLRDisp(int row) override { Window_.CLRDisp(row); }
    void PrintText(int column, int row, int dotWidth, const std::string& text) override {
        Window_.PrintText(column, row, dotWidth, text);
    }
    void PrintUin() override { Window_.PrintUin(); }
    void PrintUperc() override { Window_.PrintUperc(); }
    void SetFrequencyField(int hertz) override { Window_.SetFrequencyField(hertz); }
    void SetFrequencyPanelVisible(bool visible) override {
        Window_.SetFrequencyPanelVisible(visible);
    }
    void SetOutputField(const std::string& digits) override { Window_.SetOutputField(digits); }
    void ShowParameters(const InstrumentParameters& parameters) override {
        Window_.ShowParameters(parameters);
    }
    void ShowErrorList(const std::vector<uint8_t>& codes) override { Window_.ShowErrorList(codes); }
    void ShowUserCalibration(CalibratedPart part) override { Window_.ShowUserCalibration(part); }
    void ShowAccessory(uint8_t band, uint8_t factor) override {
        Window_.ShowAccessory(band, factor);
    }
    void ShowFirmwareVersion(const std::string& version) override {
        Window_.ShowFirmwareVersion(version);
    }

    InstrumentState& State_;
    AnswerView& Window_;
    std::string Text_;
};

} // namespace vr410::engine
