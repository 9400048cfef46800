#include "sim/voltmeter_model.h"

#include "protocol/wire_constants.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vr410::sim {

namespace {

constexpr std::array<double, VoltmeterRangeCount> FullScaleVolts{0.1, 1.0, 10.0, 100.0, 1000.0};
constexpr double OverloadFactor = 1.02;
// A percent reading counts 1e-6 %: the panel prints digits 1..4 before the point.
constexpr double CountsPerPercent = 1e6;
// Largest percentage the reading can carry; beyond it the voltmeter reports overload.
constexpr double PercentLimit = 2000.0;

uint8_t StatusByte(const VoltmeterSettings& s, uint8_t range, bool overload) {
    return static_cast<uint8_t>(
        (overload ? VoltmeterOverloadBit : 0) | (s.Percent ? VoltmeterPercentBit : 0) |
        (s.Auto ? VoltmeterAutoBit : 0) | (s.Delta ? VoltmeterDeltaBit : 0) |
        (s.Input ? VoltmeterInputBit : 0) | (range & VoltmeterRangeMask));
}

int32_t ClampToCounts(double counts) {
    constexpr double Limit = 2'000'000'000.0;
    return static_cast<int32_t>(std::llround(std::clamp(counts, -Limit, Limit)));
}

} // namespace

VoltmeterModel::VoltmeterModel(const Config& config) : Config_(config), Random_(config.Seed) {
    Last_.Status = StatusByte(Settings_, ActiveRange_, false);
}

double VoltmeterModel::CountsPerVolt(uint8_t range) {
    return range <= 2 ? 1e8 : 1e6;
}

double VoltmeterModel::FullScale(uint8_t range) {
    return FullScaleVolts[std::min<size_t>(range, VoltmeterRangeCount - 1)];
}

void VoltmeterModel::Apply(const VoltmeterSettings& settings, double inputVolts) {
    const bool wasDifference = Settings_.Delta || Settings_.Percent;
    Settings_ = settings;
    if (Settings_.Delta || Settings_.Percent) {
        Settings_.Auto = false;
        if (!wasDifference) {
            Reference_ = inputVolts;
        }
    }
    if (!Settings_.Auto) {
        ActiveRange_ = Settings_.Range;
    }
}

void VoltmeterModel::Start(SimClock::time_point at) {
    Running_ = true;
    Start_ = at;
    ReadingsTaken_ = 0;
    Fresh_ = false;
}

void VoltmeterModel::Stop() {
    Running_ = false;
    Fresh_ = false;
}

void VoltmeterModel::Advance(SimClock::time_point at, double inputVolts) {
    if (!Running_ || at < Start_) {
        return;
    }
    // Reading k is complete at start + k periods; only the newest one due is kept, as the
    // instrument's display shows only the newest.
    const int64_t due = (at - Start_) / Config_.ReadingPeriod;
    if (due > ReadingsTaken_) {
        ReadingsTaken_ = due;
        Last_ = Measure(inputVolts);
        Fresh_ = true;
    }
}

VoltmeterReading VoltmeterModel::Read() {
    Fresh_ = false;
    return Last_;
}

int32_t VoltmeterModel::Noise() {
    if (Config_.NoiseCounts <= 0) {
        return 0;
    }
    const uint32_t span = 2 * static_cast<uint32_t>(Config_.NoiseCounts) + 1;
    return static_cast<int32_t>(Random_() % span) - Config_.NoiseCounts;
}

VoltmeterReading VoltmeterModel::Measure(double inputVolts) {
    const bool difference = Settings_.Delta || Settings_.Percent;
    const double volts = difference ? inputVolts - Reference_ : inputVolts;

    uint8_t range = Settings_.Range;
    if (Settings_.Auto) {
        range = VoltmeterRangeCount - 1;
        for (uint8_t r = 0; r < VoltmeterRangeCount; ++r) {
            if (std::abs(volts) <= FullScale(r) * OverloadFactor) {
                range = r;
                break;
            }
        }
    }
    ActiveRange_ = range;

    bool overload = false;
    double counts = 0.0;
    if (Settings_.Percent) {
        const double percent = Reference_ != 0.0 ? volts * 100.0 / Reference_ : 0.0;
        overload = Reference_ == 0.0 || std::abs(percent) > PercentLimit;
        counts = percent * CountsPerPercent;
    } else {
        overload =
            range >= VoltmeterRangeCount || std::abs(volts) > FullScale(range) * OverloadFactor;
        counts = volts * CountsPerVolt(range);
    }
    if (overload) {
        const double limit = Settings_.Percent
                                 ? PercentLimit * CountsPerPercent
                                 : FullScale(range) * OverloadFactor * CountsPerVolt(range);
        counts = std::copysign(limit, counts);
    } else {
        counts += Noise();
    }
    return {.Value = ClampToCounts(counts), .Status = StatusByte(Settings_, range, overload)};
}

} // namespace vr410::sim
