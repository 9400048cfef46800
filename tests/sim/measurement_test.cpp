// The instrument's voltmeter as the PC sees it through requests: readings at a steady rate
// reported by the exchange test, the value scaled so that the panel prints volts, the status
// byte, overload, difference and percent, and noise that a seed makes repeatable.
#include "sim/virtual_instrument.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <set>

namespace vr410::sim {
namespace {

using namespace std::chrono_literals;
using test::Hex;
using test::Request;

constexpr SimClock::time_point T0{};

class Measurement : public ::testing::Test {
  protected:
    explicit Measurement(int32_t noise = 0)
        : Instrument({.ReadingPeriod = 250ms, .NoiseCounts = noise, .Seed = 7}) {}

    FrameBytes Send(uint8_t code, const char* payload = "", SimClock::duration at = 0ms) {
        const auto answer = Instrument.HandleRequest(Request(1, code, Hex(payload)), T0 + at);
        EXPECT_TRUE(answer.has_value());
        return answer.value_or(FrameBytes{});
    }
    bool FreshAt(SimClock::duration at) { return (Send(8, "", at)[2] & 0x10) != 0; }
    struct Reading {
        int32_t Value;
        uint8_t Status;
    };
    Reading ReadAt(SimClock::duration at) {
        const FrameBytes a = Send(33, "", at);
        const uint32_t v =
            (uint32_t{a[5]} << 24) | (uint32_t{a[6]} << 16) | (uint32_t{a[7]} << 8) | a[8];
        return {static_cast<int32_t>(v), a[9]};
    }

    VirtualInstrument Instrument;
};

TEST_F(Measurement, ExchangeTestReportsEachNewReadingUntilItIsRead) {
    Send(32);
    EXPECT_FALSE(FreshAt(100ms)) << "the first reading takes one period";
    EXPECT_TRUE(FreshAt(260ms));
    EXPECT_TRUE(FreshAt(300ms)) << "still unread";
    ReadAt(310ms);
    EXPECT_FALSE(FreshAt(400ms));
    EXPECT_TRUE(FreshAt(510ms));
    Send(1, "", 520ms);
    EXPECT_FALSE(FreshAt(900ms)) << "reset stops measuring";
}

TEST_F(Measurement, ReadingsComeAFewTimesPerSecond) {
    Send(32);
    int fresh = 0;
    for (auto t = 0ms; t < 2000ms; t += 10ms) {
        if (FreshAt(t)) {
            ++fresh;
            ReadAt(t);
        }
    }
    EXPECT_EQ(fresh, 7) << "at 250, 500, ... 1750 ms";
}

struct ScalingCase {
    const char* Name;
    const char* Output;   // set-output payload given before measuring, "" for none
    const char* Settings; // voltmeter-control byte
    int32_t Value;
    uint8_t Status;
};

void PrintTo(const ScalingCase& c, std::ostream* out) {
    *out << c.Name;
}

// The panel prints ten digits: on the 1 V and 10 V ranges with the point after the first
// one or two digits, so 1 V must arrive as 100000000 ("+01.0000000" on 10 V).
// clang-format off
const ScalingCase ScalingCases[] = {
    {.Name = "OneVoltOnTheTenVoltRange",        .Output = "01 00 00 00 02 03 E8", .Settings = "02", .Value = 100000000,  .Status = 0x02},
    {.Name = "OneVoltUnderAutoTakesTheOneVoltRange", .Output = "01 00 00 00 02 03 E8", .Settings = "20", .Value = 100000000, .Status = 0x21},
    {.Name = "HundredMillivoltsOnTheirRange",   .Output = "10 00 00 00 00 03 E8", .Settings = "00", .Value = 10000000,   .Status = 0x00},
    {.Name = "HundredVoltsCountMicrovolts",     .Output = "10 00 00 00 03 03 E8", .Settings = "03", .Value = 100000000,  .Status = 0x03},
    {.Name = "ThousandVoltsCountMicrovolts",    .Output = "10 00 00 00 04 03 E8", .Settings = "04", .Value = 1000000000, .Status = 0x04},
    {.Name = "NegativeOutputReadsNegative",     .Output = "05 00 00 00 07 03 E8", .Settings = "02", .Value = -500000000, .Status = 0x02},
    {.Name = "BeyondTheRangeIsOverload",        .Output = "05 00 00 00 02 03 E8", .Settings = "01", .Value = 102000000,  .Status = 0x81},
    {.Name = "AcOutputGivesNoDcVoltage",        .Output = "10 00 00 00 16 00 32", .Settings = "02", .Value = 0,          .Status = 0x02},
    {.Name = "CurrentOutputGivesNoVoltage",     .Output = "05 00 00 00 0D 03 E8", .Settings = "02", .Value = 0,          .Status = 0x02},
    {.Name = "OutputOffReadsZero",              .Output = "",                     .Settings = "02", .Value = 0,          .Status = 0x02},
    {.Name = "InputU2ReadsTheSteadySource",     .Output = "05 00 00 00 02 03 E8", .Settings = "28", .Value = 101864000,  .Status = 0x29},
};
// clang-format on

class ReadingScaling : public Measurement, public ::testing::WithParamInterface<ScalingCase> {};

TEST_P(ReadingScaling, ValueAndStatusAsThePanelReadsThem) {
    const ScalingCase& c = GetParam();
    if (*c.Output != '\0') {
        Send(16, c.Output);
    }
    Send(32);
    Send(36, c.Settings);
    const Reading r = ReadAt(300ms);
    EXPECT_EQ(r.Value, c.Value);
    EXPECT_EQ(r.Status, c.Status);
}

INSTANTIATE_TEST_SUITE_P(VoltmeterRanges, ReadingScaling, ::testing::ValuesIn(ScalingCases),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(Measurement, DifferenceAndPercentStartFromTheValueWhenSwitchedOn) {
    Send(16, "01 00 00 00 02 03 E8"); // 1 V on U1
    Send(32);
    Send(36, "11"); // delta on the 1 V range, auto requested off
    Send(36, "19"); // switch to U2 (1.01864 V) keeping the difference
    Reading r = ReadAt(300ms);
    EXPECT_EQ(r.Value, 1864000) << "1.01864 V - 1 V on the 1 V range";
    EXPECT_EQ(r.Status, 0x19) << "delta, input U2, range 1, auto off";

    Send(36, "59"); // percent as well
    r = ReadAt(600ms);
    EXPECT_EQ(r.Value, 1864000) << "1.864 % counts 1e-6 %";
    EXPECT_EQ(r.Status, 0x59);
}

TEST_F(Measurement, DifferenceForcesAutomaticRangingOff) {
    Send(32);
    Send(36, "32"); // delta with auto: the instrument keeps the range fixed
    EXPECT_EQ(ReadAt(300ms).Status & 0x20, 0);
}

TEST_F(Measurement, PercentOfAZeroReferenceIsOverload) {
    Send(32);
    Send(36, "42");
    EXPECT_EQ(ReadAt(300ms).Status & 0x80, 0x80);
}

class NoisyMeasurement : public Measurement {
  protected:
    NoisyMeasurement() : Measurement(40) {}
};

TEST_F(NoisyMeasurement, NoiseStaysInTheLastDigitsAndRepeatsWithTheSeed) {
    std::vector<int32_t> first;
    Send(16, "01 00 00 00 02 03 E8");
    Send(32);
    Send(36, "02");
    for (int i = 1; i <= 20; ++i) {
        first.push_back(ReadAt(i * 250ms).Value);
    }
    Instrument = VirtualInstrument({.ReadingPeriod = 250ms, .NoiseCounts = 40, .Seed = 7});
    Send(16, "01 00 00 00 02 03 E8");
    Send(32);
    Send(36, "02");
    std::set<int32_t> distinct;
    for (int i = 1; i <= 20; ++i) {
        const int32_t v = ReadAt(i * 250ms).Value;
        EXPECT_EQ(v, first[static_cast<size_t>(i - 1)]) << "reading " << i;
        EXPECT_LE(std::abs(v - 100000000), 40);
        distinct.insert(v);
    }
    EXPECT_GT(distinct.size(), 5u) << "the last digits move";
}

} // namespace
} // namespace vr410::sim
