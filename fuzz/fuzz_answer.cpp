// An answer record of any length and content through validation and, when it is accepted,
// decoding, for any selected command, range, panel mode and accessory mode. After each run the
// state must still hold what the rest of the program relies on; a violation aborts.
//
// Input: eight bytes of set-up, then the answer.
//   [0] CommandCode            [4] HeadLength of the record
//   [1] RangeIndex (mod rows)  [5] PCDevice
//   [2] flags, see below       [6] AddrDevice
//   [3] receive status         [7] the cancel payload of the request, and CalibrationKind
// The rest is either the record's bytes as a link would leave them (the address byte, then the
// body) or, with flag Framed, the message M[0..L] that is cut into blocks with good check bytes,
// so that most inputs get past the check bytes into decoding.
#include "platform/text_encoding.h"
#include "protocol/answer.h"
#include "protocol/range_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace vr410 {
namespace {

constexpr uint8_t FlagAccessory = 0x01;
constexpr uint8_t FlagModeMask = 0x06;
constexpr uint8_t FlagOverloadShown = 0x08;
constexpr uint8_t FlagPercent = 0x10;
constexpr uint8_t FlagDelta = 0x20;
constexpr uint8_t FlagManualRange = 0x40;
constexpr uint8_t FlagFramed = 0x80;
constexpr size_t SetUpBytes = 8;

[[noreturn]] void Violation(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "invariant violated: %s [%.*s]\n", what, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

void Require(bool holds, const char* what, std::string_view detail = {}) {
    if (!holds) {
        Violation(what, detail);
    }
}

bool AllDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Records what decoding shows; every text must be UTF-8 and the output field must show what
// the state holds.
class RecordingView : public AnswerView {
  public:
    void SetAnswerText(const std::string& text) override {
        Require(IsValidUtf8(text), "answer text is UTF-8", text);
        ++AnswerTexts;
    }
    void PrintMode() override {}
    void CLRDisp(int row) override { Require(row == 1 || row == 2, "display row"); }
    void PrintText(int column, int row, int dotWidth, const std::string& text) override {
        Require(column >= 1 && column <= 23 && (row == 1 || row == 2), "display position");
        Require(dotWidth == 4 || dotWidth == 9, "dot width");
        Require(IsValidUtf8(text), "display text is UTF-8", text);
    }
    void PrintUin() override {}
    void PrintUperc() override {}
    void SetFrequencyField(int hertz) override {
        Require(hertz >= 0 && hertz <= 0xFFFF, "frequency is 16 bits");
    }
    void SetFrequencyPanelVisible(bool) override {}
    void SetOutputField(const std::string& digits) override { OutputField = digits; }
    void ShowParameters(const InstrumentParameters& p) override {
        Require(p.Brightness >= 1 && p.Brightness <= 8, "brightness 1..8");
    }
    void ShowErrorList(const std::vector<uint8_t>& codes) override {
        Require(codes.size() <= PacketCapacity, "error list within one answer");
    }
    void ShowUserCalibration(CalibratedPart) override {}
    void ShowAccessory(uint8_t, uint8_t) override {}
    void ShowFirmwareVersion(const std::string& version) override {
        Require(IsValidUtf8(version), "version is UTF-8");
    }

    int AnswerTexts = 0;
    std::optional<std::string> OutputField;
};

size_t RowLength(uint8_t row) {
    return IsAcRow(row) ? 7 : 8;
}

void CheckState(const InstrumentState& s) {
    Require(s.RangeIndex < RangeCount, "range index inside the table");
    Require(AllDigits(s.OutputDigits), "output digits are digits", s.OutputDigits);
    Require(s.OutputDigits.size() == RowLength(s.RangeIndex), "output digits fit the row",
            s.OutputDigits);
    Require(s.Mode == PanelMode::OutputEntry || s.Mode == PanelMode::OutputOn ||
                s.Mode == PanelMode::Measurement,
            "mode is a known value");
    Require(s.VoltmeterRange <= 7, "voltmeter range 0..7");
    Require(s.Brightness >= 1 && s.Brightness <= 8, "brightness 1..8");
    Require(s.MeasuredDigits.empty() ||
                (AllDigits(s.MeasuredDigits) && s.MeasuredDigits.size() >= 10),
            "measured digits", s.MeasuredDigits);
    Require(s.MeasuredValue >= 0, "measured value is kept as its absolute value");
}

PanelMode ModeOf(uint8_t flags) {
    switch ((flags & FlagModeMask) >> 1) {
    case 0:
        return PanelMode::OutputEntry;
    case 1:
        return PanelMode::OutputOn;
    default:
        return PanelMode::Measurement;
    }
}

} // namespace
} // namespace vr410

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vr410;
    if (size < SetUpBytes) {
        return 0;
    }
    const uint8_t flags = data[2];
    InstrumentState state;
    state.CommandCode = data[0];
    state.RangeIndex = static_cast<uint8_t>(data[1] % RangeCount);
    state.OutputDigits = std::string(RowLength(state.RangeIndex), '0');
    state.Mode = ModeOf(flags);
    state.OverloadShown = (flags & FlagOverloadShown) != 0;
    state.VoltmeterPercent = (flags & FlagPercent) != 0;
    state.VoltmeterDelta = (flags & FlagDelta) != 0;
    state.VoltmeterAuto = (flags & FlagManualRange) == 0;
    state.PCDevice = data[5];
    state.AddrDevice = data[6];
    state.CalibrationKind = static_cast<int8_t>(data[7]);
    const bool accessory = (flags & FlagAccessory) != 0;
    const uint32_t status = data[3];

    FrameBytes txFrame{};
    txFrame[4] = state.CommandCode;
    txFrame[5] = data[7];

    const uint8_t* payload = data + SetUpBytes;
    const size_t payloadSize = size - SetUpBytes;
    PacketRecord rx;
    if (flags & FlagFramed) {
        FrameBytes frame{};
        frame[0] = state.PCDevice;
        std::copy_n(payload, std::min(payloadSize, frame.size() - 1), frame.begin() + 1);
        BuildPacket(frame, rx);
    } else if (payloadSize > 0) {
        rx.Head[0] = payload[0];
        const size_t body = payloadSize - 1;
        std::copy_n(payload + 1, std::min(body, rx.Body.size()), rx.Body.begin());
        rx.BodyLength = static_cast<uint8_t>(std::min<size_t>(body, 255));
    }
    rx.HeadLength = data[4];

    const AnswerContext answer{.RxPacket = rx, .TxFrame = txFrame, .AccessoryMode = accessory};
    RecordingView view;
    CheckState(state);
    if (!ValidateAnswer(status, answer, state, view)) {
        Require(view.AnswerTexts == 1, "a refused answer sets the answer text once");
        return 0;
    }
    Require(view.AnswerTexts == 0, "an accepted answer shows nothing before decoding");
    (void)ReceiveLine(rx);
    DecodeAnswer(answer, state, view);
    CheckState(state);
    if (view.OutputField) {
        Require(*view.OutputField == state.OutputDigits, "the output field shows the state",
                *view.OutputField);
    }
    return 0;
}
