// Where the decoded answers land in the main window: the panel (display, output value field,
// frequency panel) through the keypad's host and the renderers, the values for the dialogs in
// the DialogModel. The answer label is not written here: it follows the engine's events, as the
// rest of the packet strip does.
#pragma once

#include "protocol/answer.h"

namespace vr410 {

class OutputEntry;
class OutputEntryBar;
class PanelKeypadHost;
class PanelRenderer;
struct DialogModel;

class PanelAnswerView final : public AnswerView {
  public:
    // Keeps the references; they must outlive the view.
    PanelAnswerView(PanelKeypadHost& panel, PanelRenderer& renderer, OutputEntryBar& entry,
                    OutputEntry& output, DialogModel& dialogs);

    // The label shows what AttemptFinished and AnswerDecoded carry, so this does nothing.
    void SetAnswerText(const std::string& text) override;

    void PrintMode() override;
    void CLRDisp(int row) override;
    void PrintText(int column, int row, int dotWidth, const std::string& text) override;
    void PrintUin() override;
    void PrintUperc() override;

    void SetFrequencyField(int hertz) override;
    void SetFrequencyPanelVisible(bool visible) override;
    // The value read from the instrument, shown as read and never sent back.
    void SetOutputField(const std::string& digits) override;

    void ShowParameters(const InstrumentParameters& parameters) override;
    void ShowErrorList(const std::vector<uint8_t>& codes) override;
    void ShowUserCalibration(CalibratedPart part) override;
    void ShowAccessory(uint8_t band, uint8_t factor) override;
    void ShowFirmwareVersion(const std::string& version) override;

  private:
    PanelKeypadHost& Panel_;
    PanelRenderer& Renderer_;
    OutputEntryBar& Entry_;
    OutputEntry& Output_;
    DialogModel& Dialogs_;
};

} // namespace vr410
