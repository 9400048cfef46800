// Validation of an answer (fourteen checks, each with its own text) and decoding of an
// accepted answer into the instrument state and the windows.
#pragma once

#include "frame.h"
#include "instrument_state.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vr410 {

// Controls of the parameters dialog that decoding fills, in the order it fills them.
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

// Buttons of the accessory window that decoding presses.
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

// Everything decoding does to windows goes through this interface; the main window
// implements it, tests implement it with a recorder.
class AnswerView {
  public:
    virtual ~AnswerView() = default;
    virtual void SetAnswerText(const std::string& text) = 0; // caption of LabelAnswer (UTF-8)
    // Panel.
    virtual void PrintMode() = 0;
    virtual void CLRDisp(int row) = 0;
    // text in UTF-8, like every text of this interface.
    virtual void PrintText(int column, int row, int dotWidth, const std::string& text) = 0;
    virtual void PrintUin() = 0;
    virtual void PrintUperc() = 0;
    // Main window.
    virtual void SetReadAdcTimerEnabled(bool enabled) = 0;      // TimerReadADC
    virtual void SetFrequencyField(int hertz) = 0;              // SE_Freq
    virtual void SetFrequencyPanelVisible(bool visible) = 0;    // PanelFreq
    virtual void SetOutputField(const std::string& digits) = 0; // MaskEditVoltage text
    // Dialogs.
    virtual void SetParamControl(ParamControl control, int value) = 0;
    virtual void SetErrorList(const std::vector<std::string>& entries) = 0; // LB_Errors, replaced
    virtual void PressAccessoryButton(AccessoryButton button) = 0;
    virtual void SetFirmwareLabel(const std::string& text) = 0; // Label10 of the about box
};

// What validation and decoding need besides the answer itself.
struct AnswerContext {
    const PacketRecord& RxPacket;
    const FrameBytes& TxFrame; // the request just sent: its code and the cancel payload
    bool AccessoryMode;        // the accessory item "VR410С" is ticked
};

// Runs the fourteen checks in order. Returns true when the answer is accepted, touching no
// window; on failure it has set the answer label to the failing check's text and nothing else.
// A body longer than the record (BodyLength above PacketCapacity) fails on its length. After
// the fourteen checks an answer too short for what the decoding of state.CommandCode reads
// (L below 6 for code 5, 4 for code 10, 10 for code 17 or 4 in accessory mode, 8 for code 33)
// fails with the length text as well, instead of being decoded from zeros.
bool ValidateAnswer(uint32_t receiveStatus, const AnswerContext& answer,
                    const InstrumentState& state, AnswerView& view);

// Acts on an accepted answer according to state.CommandCode; a code outside the command table
// does nothing. Decisions where the instrument's answer leaves room:
// - code 17 (normal mode) with a range byte of 39 or more: the byte is ignored, RangeIndex keeps
//   its row (the frequency and the frequency panel follow that row); the digits are still taken;
// - code 5 lists the error codes M[7..L] with the check bytes between blocks left out;
// - codes 49 and 50 with a payload or CalibrationKind outside 1..3 set an empty answer text;
// - a measured value of 0x80000000 keeps MeasuredDigits "2147483648" and MeasuredValue at the
//   largest int32.
void DecodeAnswer(const AnswerContext& answer, InstrumentState& state, AnswerView& view);

// Text of an instrument error code; the received packet's hex line for unknown codes.
std::string InstrumentErrorText(uint8_t code, const PacketRecord& rx);

} // namespace vr410
