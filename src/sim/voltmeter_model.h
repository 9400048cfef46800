// The instrument's built-in DC voltmeter: its settings, the readings it takes at a steady rate
// and how a reading travels (a signed count of display digits and a status byte).
#pragma once

#include "platform/line_peer.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>

namespace vr410::sim {

// Voltmeter ranges 0..4: 100 mV, 1 V, 10 V, 100 V, 1000 V.
constexpr uint8_t VoltmeterRangeCount = 5;

// Settings as the voltmeter-control byte carries them (range bits 0..2, input bit 3,
// delta bit 4, auto bit 5, percent bit 6).
struct VoltmeterSettings {
    uint8_t Range = 2;
    uint8_t Input = 0; // 0 = U1, 1 = U2
    bool Auto = true;
    bool Delta = false;
    bool Percent = false;
};

struct VoltmeterReading {
    int32_t Value = 0;  // display digits, see VoltmeterModel::Counts
    uint8_t Status = 0; // bit 7 overload, 6 percent, 5 auto, 4 delta, 3 input, 2..0 range
};

class VoltmeterModel {
  public:
    struct Config {
        std::chrono::milliseconds ReadingPeriod{250};
        int32_t NoiseCounts = 40; // peak noise in counts of the ten-digit reading
        uint32_t Seed = 1;
    };

    explicit VoltmeterModel(const Config& config);

    // Display counts of `volts` on `range`: the panel prints a ten-digit reading with the point
    // after digit 2 (1 V range, from digit 2), 3 (10 V) or 5 (100 mV, from digit 3), so those
    // ranges count 1e-8 V; the 100 V and 1000 V ranges count 1e-6 V.
    static double CountsPerVolt(uint8_t range);
    // Full scale of a range in volts; readings beyond 102 % of it are overloaded.
    static double FullScale(uint8_t range);

    const VoltmeterSettings& Settings() const { return Settings_; }
    // Applies new settings; the difference reference is taken when delta or percent comes on.
    // Delta and percent switch automatic ranging off.
    void Apply(const VoltmeterSettings& settings, double inputVolts);

    // Measuring starts (and the reading clock restarts) at `at`.
    void Start(SimClock::time_point at);
    void Stop();
    bool Running() const { return Running_; }

    // Takes every reading that falls due by `at`, with `inputVolts` on the selected input.
    void Advance(SimClock::time_point at, double inputVolts);
    // A reading was taken that the PC has not read yet.
    bool Fresh() const { return Fresh_; }
    // The last reading; marks it read.
    VoltmeterReading Read();
    const VoltmeterReading& Last() const { return Last_; }
    // The range the last reading was taken on (the automatic choice when Auto is on).
    uint8_t ActiveRange() const { return ActiveRange_; }

  private:
    VoltmeterReading Measure(double inputVolts);
    int32_t Noise();

    Config Config_;
    VoltmeterSettings Settings_;
    std::mt19937 Random_;
    bool Running_ = false;
    SimClock::time_point Start_{};
    int64_t ReadingsTaken_ = 0;
    bool Fresh_ = false;
    double Reference_ = 0.0; // input volts when delta or percent came on
    uint8_t ActiveRange_ = 2;
    VoltmeterReading Last_;
};

} // namespace vr410::sim
