#include "panel/renderers.h"

#include "panel/display_texts.h"

namespace vr410 {
namespace {

constexpr int Narrow = 4;
constexpr int Wide = 9;

// Stands in for a row number past the range table (an instrument's answer can carry any
// byte): no sign, no prefix, the point after the first digit and an unknown unit.
constexpr RangeRow UnknownRange{.Prefix = u' ',
                                .Unit = u'?',
                                .PointPos = 2,
                                .Kind = u' ',
                                .Sign = u' ',
                                .MaxDigits = 0,
                                .Nominal = 0,
                                .PolarityPair = 0,
                                .AcDcPair = 0,
                                .SeparatorRow = 0,
                                .ZeroSlot = 55};

const RangeRow& RowOf(size_t index) {
    return index < RangeCount ? RangeTable[index] : UnknownRange;
}

// Positions of a reading (digits and the point): 10, 9 and 8 for the three NumDigits choices;
// a further value continues the series once more (7); the 100 V and 1000 V ranges always 8.
int ReadingPositions(uint8_t numDigits, uint8_t voltmeterRange) {
    if (voltmeterRange == 3 || voltmeterRange == 4) {
        return 8;
    }
    return numDigits <= 2 ? 10 - numDigits : 7;
}

// Index (from 0) into MeasuredDigits of the first digit a reading shows.
size_t FirstReadingDigit(uint8_t voltmeterRange) {
    switch (voltmeterRange) {
    case 0:
        return 2;
    case 1:
    case 3:
        return 1;
    default:
        return 0;
    }
}

constexpr size_t ReadingDigits = 10;

// Characters from..from + count - 1 of text, blanks where text is shorter.
std::string CharactersOf(const std::string& text, size_t from, size_t count) {
    std::string part = from < text.size() ? text.substr(from, count) : std::string();
    part.resize(count, ' ');
    return part;
}

} // namespace

void DrawStartupDisplay(DisplayWriter& display) {
    display.CLRDisp(1);
    display.CLRDisp(2);
    display.PrintText(23, 2, Narrow, "ѕ");
}

int32_t PercentBaseOf(const InstrumentState& state) {
    const auto value = static_cast<int32_t>(DigitsValue(state.OutputDigits) % 1000000000);
    return RowOf(state.RangeIndex).Sign == u'-' ? -value : value;
}

PanelRenderer::PanelRenderer(InstrumentState& state, DisplayWriter& display,
                             PanelControls& controls)
    : State_(state), Display_(display), Controls_(controls) {}

void PanelRenderer::PrintMode(std::string_view frequencyText) {
    const RangeRow& range = RowOf(State_.RangeIndex);
    Controls_.LatchKey(range.Kind == u'~' ? PanelKey::SB_Sin : PanelKey::SB_Polar);
    Controls_.LatchKey(range.Unit == u'V' ? PanelKey::SB_U : PanelKey::SB_I);
    Display_.CLRDisp(1);
    Display_.CLRDisp(2);
    switch (State_.Mode) {
    case PanelMode::OutputEntry:
        PrintModeOutputEntry(frequencyText);
        break;
    case PanelMode::OutputOn:
        PrintModeOutputOn(frequencyText);
        break;
    case PanelMode::Measurement:
        PrintModeMeasurement();
        break;
    }
    if (ShowsOutputValue(State_.Mode)) {
        Controls_.SetOutputField(EditMask_, State_.OutputDigits);
    }
}

void PanelRenderer::PrintModeOutputEntry(std::string_view frequencyText) {
    const RangeRow& range = RowOf(State_.RangeIndex);
    Controls_.LatchKey(PanelKey::SB_Reset);
    std::string prompt = "Введите ";
    prompt += QuantityLetter(range);
    prompt += "вых";
    Display_.PrintText(1, 1, Narrow, prompt);
    VoltPrint(2);
    PrintFrequencyOrCalibration(1, frequencyText);
    PrintGuard();
}

void PanelRenderer::PrintModeOutputOn(std::string_view frequencyText) {
    const RangeRow& range = RowOf(State_.RangeIndex);
    VoltPrint(1);
    Display_.PrintText(1, 2, Narrow,
                       QuantityLetter(range) + "вых(" + RangeLabel(State_.RangeIndex) + ")");
    PrintFrequencyOrCalibration(2, frequencyText);
    PrintGuard();
}

void PanelRenderer::PrintFrequencyOrCalibration(int row, std::string_view frequencyText) {
    if (RowOf(State_.RangeIndex).Kind == u'~') {
        FreqPrint(14, row, frequencyText);
        return;
    }
    if (State_.CoefCalibr != 0) {
        Display_.PrintText(16, row, Narrow, "K");
    }
    if (State_.OkCalibr != 0) {
        Display_.PrintText(19, row, Narrow, "Ок");
    }
}

void PanelRenderer::PrintModeMeasurement() {
    if (State_.VoltmeterDelta != 0) {
        State_.VoltmeterAuto = 0;
        Display_.PrintText(1, 2, Narrow, State_.VoltmeterPercent != 0 ? "ј" : "Ѕ");
        Display_.PrintText(2, 2, Narrow, "Uвх");
    } else {
        Display_.PrintText(1, 2, Narrow, State_.VoltmeterInput == 0 ? "Uвх1" : "Uвх2");
    }
    Display_.PrintText(5, 2, Narrow, "(");
    Display_.PrintText(6, 2, Narrow,
                       State_.VoltmeterAuto != 0 ? "Авто)"
                                                 : RangeLabel(State_.VoltmeterRange) + ")");
    const uint8_t zeroActive = State_.VoltmeterInput == 0 ? State_.OkInput1 : State_.OkInput2;
    if (zeroActive != 0) {
        Display_.PrintText(19, 2, Narrow, "Ок");
    }
    if (State_.CoefComp != 0) {
        Display_.PrintText(16, 2, Narrow, "K");
    }
    if (State_.ScreenOn != 0) {
        Display_.PrintText(22, 2, Narrow, "Э");
    }
}

void PanelRenderer::PrintSeparator(int& column, int row, const RangeRow& range, int separator,
                                   std::string* mask) {
    const SeparatorCell cell = SeparatorFor(State_.ViewMode, range, separator);
    if (cell.TakesPosition) {
        Display_.PrintText(column, row, Narrow, cell.Text);
        ++column;
    }
    if (mask != nullptr) {
        *mask += cell.Mask;
    }
}

void PanelRenderer::VoltPrint(int row) {
    const RangeRow& range = RowOf(State_.RangeIndex);
    const int digits = range.Kind == u'~' ? 7 : 8;
    const int point = range.PointPos;
    // A value shorter than its digit places (the AC 700 V presets have six digits) is shown as
    // the output field shows it: filled from the left, empty places reading "0".
    const std::string value = CharactersOf(State_.OutputDigits, 0, static_cast<size_t>(digits));

    Display_.PrintText(1, row, Narrow, TextOf(range.Sign));
    EditMask_.clear();
    int column = 2;
    for (int i = 1; i <= digits; ++i) {
        const char digit = value[static_cast<size_t>(i - 1)];
        Display_.PrintText(column, row, Wide, std::string(1, digit == ' ' ? '0' : digit));
        ++column;
        EditMask_ += i <= point && State_.Blanking != 0 ? '9' : '0';
        if (i + 1 == point) {
            Display_.PrintText(column, row, Narrow, ".");
            ++column;
            EditMask_ += "\\.";
        } else if (const int separator = SeparatorAt(11 * (point - 2) + i - 1);
                   separator != 0 && i < digits) {
            PrintSeparator(column, row, range, separator, &EditMask_);
        }
    }
    if (range.Prefix != u' ') {
        Display_.PrintText(column, row, Narrow, TextOf(range.Prefix));
        EditMask_ += '\\';
        EditMask_ += TextOf(range.Prefix);
        ++column;
    }
    Display_.PrintText(column, row, Narrow, TextOf(range.Unit));
    EditMask_ += '\\';
    EditMask_ += TextOf(range.Unit);
    EditMask_ += ";0;0";
    Display_.PrintText(column + 1, row, Narrow, "  ");
}

void PanelRenderer::FreqPrint(int column, int row, std::string_view frequencyText) {
    Display_.PrintText(column, row, Narrow, FrequencyText(frequencyText));
}

void PanelRenderer::PrintGuard() {
    const bool ac = Controls_.SinLatched();
    const bool firstRow = (State_.Mode == PanelMode::OutputEntry && !ac) ||
                          (State_.Mode == PanelMode::OutputOn && ac);
    Display_.PrintText(22, firstRow ? 1 : 2, Narrow, State_.ScreenOn != 0 ? "Э" : " ");
}

void PanelRenderer::PrintPercent() {
    int64_t value = DigitsValue(State_.OutputDigits);
    if (RowOf(State_.RangeIndex).Sign == u'-') {
        value = -value;
    }
    Display_.PrintText(4, 2, Narrow, PercentText(value, PercentBaseValue_, DecimalSeparator_));
}

void PanelRenderer::PrintUin() {
    const RangeRow& range = RowOf(State_.VoltmeterRange);
    const int point = range.PointPos;
    const int positions = ReadingPositions(State_.NumDigits, State_.VoltmeterRange);
    const std::string& digits = State_.MeasuredDigits;
    size_t next = FirstReadingDigit(State_.VoltmeterRange);
    int column = 2;
    for (int j = 0; j < positions; ++j) {
        if (j == point - 1) {
            Display_.PrintText(column, 1, Narrow, ".");
            ++column;
            continue;
        }
        if (next >= digits.size()) {
            break;
        }
        if (const int separator = SeparatorAt(11 * (point - 2) + j - 2); separator != 0) {
            PrintSeparator(column, 1, range, separator, nullptr);
        }
        Display_.PrintText(column, 1, Wide, digits.substr(next, 1));
        ++column;
        if (++next >= ReadingDigits) {
            break;
        }
    }
    if (range.Prefix != u' ') {
        Display_.PrintText(column, 1, Narrow, TextOf(range.Prefix));
        ++column;
    }
    Display_.PrintText(column, 1, Narrow, TextOf(range.Unit));
    PrintActivityMark();
}

void PanelRenderer::PrintUperc() {
    const std::string& digits = State_.MeasuredDigits;
    Display_.PrintText(2, 1, Wide, CharactersOf(digits, 0, 1));
    Display_.PrintText(3, 1, Narrow, " ");
    Display_.PrintText(4, 1, Wide, CharactersOf(digits, 1, 3));
    Display_.PrintText(7, 1, Narrow, ".");
    Display_.PrintText(8, 1, Wide, CharactersOf(digits, 4, 3));
    Display_.PrintText(11, 1, Narrow, " ");
    Display_.PrintText(12, 1, Wide, CharactersOf(digits, 7, 1));
    Display_.PrintText(13, 1, Narrow, "%");
    PrintActivityMark();
}

void PanelRenderer::PrintActivityMark() {
    Display_.PrintText(23, 2, Narrow, State_.ActivityMarkPhase != 0 ? "ѕ" : "ї");
    State_.ActivityMarkPhase = State_.ActivityMarkPhase != 0 ? 0 : 1;
}

} // namespace vr410
