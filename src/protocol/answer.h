// Validation of an answer (fourteen checks, each with its own text) and decoding of an
// accepted answer into the instrument state and the windows.
#pragma once

#include "frame.h"
#include "instrument_state.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vr410 {

// The stored parameters as a parameters answer (code 5) carries them, decoded.
struct InstrumentParameters {
    uint8_t Sound = 0;
    uint8_t Brightness = 8; // 1..8
    uint8_t TimeInd = 1;    // 0..7 on the wire; 0..4 name an indication time
    uint8_t DigitalFilter = 0;
    uint8_t NumDigits = 0;
    uint8_t ViewMode = 1;
    uint8_t MoveCursor = 1;
    uint8_t Blanking = 0;
    uint8_t CoefCalibr = 0; // the calibrator's user calibration is active
    uint8_t CoefComp = 0;   // the voltmeter's user calibration is active
};

// Whose user calibration an answer reports as active.
enum class CalibratedPart : uint8_t { Calibrator, Voltmeter };

// Everything decoding does to windows goes through this interface: the panel and the fields
// of the main window by name, the dialogs by the values they are to show. The main window
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
    virtual void SetFrequencyField(int hertz) = 0;              // SE_Freq
    virtual void SetFrequencyPanelVisible(bool visible) = 0;    // PanelFreq
    virtual void SetOutputField(const std::string& digits) = 0; // MaskEditVoltage text
    // Values for the dialogs.
    virtual void ShowParameters(const InstrumentParameters& parameters) = 0;
    // The instrument's stored error codes in the order it sent them; empty when it lists none.
    virtual void ShowErrorList(const std::vector<uint8_t>& codes) = 0;
    virtual void ShowUserCalibration(CalibratedPart part) = 0;
    // The accessory's band and factor exactly as its read answer carries them (the high and the
    // low nibble; 15 and 15 when it reports reset), whether or not they are valid.
    virtual void ShowAccessory(uint8_t band, uint8_t factor) = 0;
    virtual void ShowFirmwareVersion(const std::string& version) = 0;
};

// What the exchange cycle must do after an accepted answer was decoded.
enum class ReadValueAction : uint8_t { Keep, Start, Stop }; // TimerReadADC: leave, enable, disable
struct DecodeOutcome {
    ReadValueAction ReadValue = ReadValueAction::Keep;
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
// fails with the length text as well, instead of being decoded from zeros. A read-output answer
// (code 17, not in accessory mode) whose value M[4..7] has a nibble above 9 fails with the
// transfer error text: its value is no digit string.
bool ValidateAnswer(uint32_t receiveStatus, const AnswerContext& answer,
                    const InstrumentState& state, AnswerView& view);

// Acts on an accepted answer according to state.CommandCode and returns what the cycle must do
// next; a code outside the command table does nothing. The exchange test (code 8) asks to start
// the measured-value timer in measurement when the answer's control byte reports a fresh value
// (bit 4), and to stop it otherwise; every other answer keeps it as it is.
// Decisions where the instrument's answer leaves room:
// - code 17 (normal mode) with a range byte of 39 or more: the byte is ignored, RangeIndex keeps
//   its row (the frequency and the frequency panel follow that row); the digits are still taken;
// - code 5 lists the error codes M[7..L] with the check bytes between blocks left out;
// - codes 49 and 50 with a payload or CalibrationKind outside 1..3 set an empty answer text;
// - a measured value of 0x80000000 keeps MeasuredDigits "2147483648" and MeasuredValue at the
//   largest int32.
DecodeOutcome DecodeAnswer(const AnswerContext& answer, InstrumentState& state, AnswerView& view);

// Text of an instrument error code; the received packet's hex line for unknown codes.
std::string InstrumentErrorText(uint8_t code, const PacketRecord& rx);

} // namespace vr410
