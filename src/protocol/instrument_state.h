// The PC's picture of the instrument: addressing, panel mode, calibrator, voltmeter,
// instrument parameters, calibration and accessory values, and exchange control.
// One instance is owned by the main window and passed to whatever needs it; tests make their own.
#pragma once

#include <cstdint>
#include <string>

namespace vr410 {

// What the panel shows and the instrument does. No other value is ever stored.
enum class PanelMode : uint8_t {
    OutputEntry = 0,  // the instrument is reset; the panel asks for an output value
    OutputOn = 1,     // the calibrator drives its output
    Measurement = 12, // DC voltmeter measurement
};

// The output entry and output-on modes show the output value; measurement shows the reading.
constexpr bool ShowsOutputValue(PanelMode mode) {
    return mode == PanelMode::OutputEntry || mode == PanelMode::OutputOn;
}

struct InstrumentState {
    // Addressing. The address dialogs allow 0..255; instruments accept 0..240.
    uint8_t AddrDevice = 1; // destination of requests
    uint8_t PCDevice = 0;   // the PC's own bus address

    PanelMode Mode = PanelMode::OutputEntry;

    // Calibrator. The output frequency lives in the frequency field of the window (45..1000 Hz).
    uint8_t RangeIndex = 2;                // row of RangeTable
    std::string OutputDigits = "00000000"; // eight digits, seven on AC rows; no point
    uint8_t OkCalibr = 0;                  // calibrator complete zero ("Ок") active
    uint8_t CoefCalibr = 0;                // calibrator user calibration ("K") active
    uint8_t OutputSetDone = 0;             // set-output acknowledged, not yet turned into OutputOn

    // Voltmeter.
    uint8_t VoltmeterRange = 0; // 0..7, printed with the RangeTable row of the same number
    uint8_t VoltmeterInput = 0; // 0 = U1, 1 = U2
    uint8_t VoltmeterDelta = 0;
    uint8_t VoltmeterPercent = 0;
    uint8_t VoltmeterAuto = 1;
    uint8_t OkInput1 = 0;
    uint8_t OkInput2 = 0;
    uint8_t CoefComp = 0;
    int32_t MeasuredValue = 0;  // display digits; absolute value once the sign is printed
    std::string MeasuredDigits; // MeasuredValue zero-padded to at least 10 digits
    uint8_t OverloadShown = 0;

    // Instrument parameters (read with code 5, written with code 6).
    uint8_t Sound = 0;
    uint8_t Brightness = 8;    // 1..8
    uint8_t TimeInd = 1;       // 0..4: 0.3, 0.6, 1.3, 2.6, 5.1 s
    uint8_t DigitalFilter = 0; // 0 off, 1..3
    uint8_t NumDigits = 0;     // 0 "8 1/2", 1 "7 1/2", 2 "6 1/2"
    uint8_t ViewMode = 1;      // 0 "10.0000000V", 1 "10.000 000 0V", 2 "10.000m000u0V"
    uint8_t MoveCursor = 1;
    uint8_t Blanking = 0;
    uint8_t ScreenOn = 1;

    // Calibration and accessory.
    int32_t CalibrationKind = 0;   // 1 auto-calibration, 2 zeros on the range, 3 all zeros
    std::string CalibrationDigits; // eight digits, set by the calibration dialog
    uint8_t AccessoryBand = 0;     // 0..6
    uint8_t AccessoryFactor = 0;   // 1..5

    // Exchange control.
    uint8_t CommandCode = 1;
    uint8_t KeepQueryInterval = 0;

    // Panel: phase of the reading activity mark at column 23 of row 2.
    uint8_t ActivityMarkPhase = 0;
};

} // namespace vr410
