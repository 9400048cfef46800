// The VR410 as a bus device: calibrator, voltmeter, parameters and error list, calibration
// flags and its bus address, answering every function code of the command set.
#pragma once

#include "protocol/instrument_state.h"
#include "sim/bus_device.h"
#include "sim/voltmeter_model.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace vr410::sim {

// Everything the instrument keeps. Tests may read it and set it up directly.
struct VirtualInstrumentState {
    uint8_t Address = 1;
    PanelMode Mode = PanelMode::OutputEntry;
    // The calibrator drives its terminals: from a set-output request until the next reset, so
    // also while the voltmeter measures after one.
    bool OutputLive = false;
    uint8_t RangeIndex = 2;
    std::array<uint8_t, 8> OutputDigits{}; // 0..9 each, the first digit first
    uint16_t Frequency = 1000;
    // Parameter bytes A and B as codes 5 and 6 carry them: brightness 8, indication time 1,
    // digit grouping 1 and the cursor moving on by itself.
    uint8_t ParamA = 0x1E;
    uint8_t ParamB = 0x50;
    // Stored error codes, sent from M[7] on; at most 31 fit the longest answer.
    std::vector<uint8_t> ErrorList;
    bool ScreenOn = true;
    bool OkCalibr = false;
    bool OkInput1 = false;
    bool OkInput2 = false;
    bool CoefCalibr = false;
    bool CoefComp = false;
    int16_t CalibratorZero = 0; // value of the last calibrator complete zero
    uint8_t LastCalibrationKind = 0;
    std::array<uint8_t, 8> UserCalibrationDigits{};
    double U2Volts = 1.01864; // the steady source on input U2: a saturated standard cell
};

struct VirtualInstrumentConfig {
    uint8_t Address = 1;
    std::chrono::milliseconds ReadingPeriod{250};
    int32_t NoiseCounts = 40;
    // Seed of the reading noise; without one every run draws its own.
    std::optional<uint32_t> Seed;
};

class VirtualInstrument : public BusDevice {
  public:
    explicit VirtualInstrument(const VirtualInstrumentConfig& config = {});

    uint8_t Address() const override { return State_.Address; }
    std::optional<FrameBytes> HandleRequest(const FrameBytes& request,
                                            SimClock::time_point at) override;

    const VirtualInstrumentState& State() const { return State_; }
    VirtualInstrumentState& MutableState() { return State_; }
    const VoltmeterModel& Voltmeter() const { return Voltmeter_; }

    // Volts on the calibrator's terminals: the set DC voltage while the output is live, 0 for
    // current and AC rows and while it is off.
    double OutputVolts() const;
    // Volts on the voltmeter's selected input: U1 is wired to the calibrator's output.
    double InputVolts() const;

  private:
    using Payload = std::span<const uint8_t>;
    FrameBytes Answer(const FrameBytes& request, SimClock::time_point at);
    FrameBytes Ok(const FrameBytes& request, Payload payload = {},
                  uint8_t control = AnswerControlByte);
    FrameBytes Error(const FrameBytes& request, InstrumentError error);

    FrameBytes ReadParameters(const FrameBytes& request);
    FrameBytes SetParameters(const FrameBytes& request);
    FrameBytes SetOutput(const FrameBytes& request);
    FrameBytes ReadOutput(const FrameBytes& request);
    FrameBytes SetVoltmeter(const FrameBytes& request);
    FrameBytes Cancel(const FrameBytes& request);
    FrameBytes UserCalibration(const FrameBytes& request);

    VirtualInstrumentState State_;
    VoltmeterModel Voltmeter_;
};

} // namespace vr410::sim
