// Request encoding: every payload rule and the worked examples, as hex on the wire.
#include "protocol/commands.h"
#include "protocol/request_encoder.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace vr410 {
namespace {

using test::BodyOf;
using test::Hex;

struct Encoded {
    bool ok = false;
    FrameBytes frame{};
    PacketRecord packet;
};

Encoded Encode(InstrumentState state, const EncoderInputs& in = {}) {
    Encoded e;
    e.ok = EncodeRequest(state, in, e.frame, e.packet);
    return e;
}

InstrumentState WithCode(uint8_t code) {
    InstrumentState s;
    s.CommandCode = code;
    return s;
}

TEST(EncodeRequest, ResetRequestMatchesTheWorkedExample) {
    const Encoded e = Encode(WithCode(1));
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.packet.Head[0], 0x01);
    EXPECT_EQ(e.packet.HeadLength, 1);
    EXPECT_EQ(BodyOf(e.packet), Hex("03 44 00 01 74"));
    EXPECT_EQ(SendLine(e.packet), "01 03 44 00 01 74 ");
}

TEST(EncodeRequest, SetOutputMatchesTheWorkedExample) {
    InstrumentState s = WithCode(16);
    s.OutputDigits = "01000000";
    EncoderInputs in;
    in.Frequency = 1000;
    const Encoded e = Encode(s, in);
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.packet.Head[0], 0x01);
    EXPECT_EQ(BodyOf(e.packet), Hex("0A 44 00 10 01 00 00 00 02 03 E8 30"));
}

TEST(EncodeRequest, EveryCodeOfTheTableGetsItsLengthAndHeader) {
    for (const CommandInfo& command : CommandTable) {
        InstrumentState s = WithCode(command.Code);
        s.AddrDevice = 17;
        s.PCDevice = 3;
        s.CalibrationKind = 1;
        const Encoded e = Encode(s);
        ASSERT_TRUE(e.ok) << int(command.Code);
        EXPECT_EQ(e.frame[0], 17);
        EXPECT_EQ(BodyOf(e.packet).size(), command.L + 2u) << int(command.Code);
        const auto head = std::vector<uint8_t>(e.packet.Body.begin(), e.packet.Body.begin() + 4);
        EXPECT_EQ(head, (std::vector<uint8_t>{command.L, 0x44, 3, command.Code}));
        EXPECT_TRUE(AnswerBlockValid(e.packet, 0));
    }
}

TEST(EncodeRequest, ACodeOutsideTheTableEncodesNothing) {
    Encoded e;
    e.frame.fill(0x5A);
    e.packet.HeadLength = 0;
    e.packet.BodyLength = 0;
    InstrumentState s = WithCode(2);
    s.AddrDevice = 9;
    EXPECT_FALSE(EncodeRequest(s, {}, e.frame, e.packet));
    EXPECT_EQ(e.frame[0], 9);
    for (size_t i = 1; i < e.frame.size(); ++i) {
        EXPECT_EQ(e.frame[i], 0x5A) << i;
    }
    EXPECT_EQ(e.packet.HeadLength, 0);
    EXPECT_EQ(e.packet.BodyLength, 0);
}

TEST(EncodeRequest, BytesACommandDoesNotNameKeepWhatTheyHeld) {
    Encoded e;
    e.frame.fill(0x5A);
    InstrumentState s = WithCode(9);
    EncodeRequest(s, {}, e.frame, e.packet);
    EXPECT_EQ(e.frame[5], 1);
    EXPECT_EQ(e.frame[6], 0x5A);
    EXPECT_EQ(e.frame[45], 0x5A);
}

// One row per payload rule: the state and window inputs, and the body expected on the wire
// (without its check byte, which the frame tests cover).
struct PayloadCase {
    const char* name;
    uint8_t code;
    std::function<void(InstrumentState&, EncoderInputs&)> set;
    const char* message; // M[0..L]
};

void PrintTo(const PayloadCase& c, std::ostream* os) {
    *os << c.name;
}

class Payloads : public ::testing::TestWithParam<PayloadCase> {};

TEST_P(Payloads, GoOutAsTabled) {
    InstrumentState s = WithCode(GetParam().code);
    EncoderInputs in;
    GetParam().set(s, in);
    const Encoded e = Encode(s, in);
    ASSERT_TRUE(e.ok);
    auto body = BodyOf(e.packet);
    ASSERT_FALSE(body.empty());
    body.pop_back();
    EXPECT_EQ(body, Hex(GetParam().message));
}

const PayloadCase PayloadCases[] = {
    {"ParametersAtStartValues", 6, [](InstrumentState&, EncoderInputs& in) { in.NewAddress = 1; },
     "06 44 00 06 1E 50 01"},
    {"ParametersEveryFieldSet", 6,
     [](InstrumentState& s, EncoderInputs& in) {
         s.Sound = 1;
         s.Brightness = 1;
         s.TimeInd = 4;
         s.DigitalFilter = 3;
         s.NumDigits = 2;
         s.ViewMode = 2;
         s.MoveCursor = 0;
         s.Blanking = 1;
         in.NewAddress = 240;
     },
     "06 44 00 06 41 AB F0"},
    {"ParametersNewAddressOutsideTheInstrumentsRange", 6,
     [](InstrumentState&, EncoderInputs& in) { in.NewAddress = 255; }, "06 44 00 06 1E 50 FF"},
    {"DisplayOn", 9, [](InstrumentState&, EncoderInputs&) {}, "04 44 00 09 01"},
    {"DisplayOff", 9, [](InstrumentState& s, EncoderInputs&) { s.ScreenOn = 0; }, "04 44 00 09 00"},
    {"SetOutputAcSevenDigitsGetAZero", 16,
     [](InstrumentState& s, EncoderInputs& in) {
         s.RangeIndex = 22;
         s.OutputDigits = "0010000";
         in.Frequency = 45;
     },
     "0A 44 00 10 00 10 00 00 16 00 2D"},
    {"SetOutputAcEighthDigitIsSentAsZero", 16,
     [](InstrumentState& s, EncoderInputs&) {
         s.RangeIndex = 20;
         s.OutputDigits = "12345679";
     },
     "0A 44 00 10 12 34 56 70 14 03 E8"},
    {"SetOutputDcKeepsAllEightDigits", 16,
     [](InstrumentState& s, EncoderInputs&) {
         s.RangeIndex = 30;
         s.OutputDigits = "51000009";
     },
     "0A 44 00 10 51 00 00 09 1E 03 E8"},
    {"SetOutputShortDigitsAreCompletedWithZeros", 16,
     [](InstrumentState& s, EncoderInputs&) { s.OutputDigits = "0123"; },
     "0A 44 00 10 01 23 00 00 02 03 E8"},
    {"SetOutputFrequency45", 16, [](InstrumentState&, EncoderInputs& in) { in.Frequency = 45; },
     "0A 44 00 10 00 00 00 00 02 00 2D"},
    {"SetOutputAccessorySendsOneByte", 16,
     [](InstrumentState& s, EncoderInputs& in) {
         in.AccessoryMode = true;
         s.AccessoryBand = 5;
         s.AccessoryFactor = 3;
     },
     "04 44 00 10 53"},
    {"CompleteZeroMinusHalfWithThreeDecimals", 18,
     [](InstrumentState&, EncoderInputs& in) {
         in.OkValue = -0.5;
         in.OkDigits = 3;
     },
     "05 44 00 12 FE 0C"},
    {"CompleteZeroPositive", 18,
     [](InstrumentState&, EncoderInputs& in) {
         in.OkValue = 1.234;
         in.OkDigits = 3;
     },
     "05 44 00 12 04 D2"},
    {"CompleteZeroTieRoundsToEvenDown", 18,
     [](InstrumentState&, EncoderInputs& in) { in.OkValue = 2.5; }, "05 44 00 12 00 02"},
    {"CompleteZeroTieRoundsToEvenUp", 18,
     [](InstrumentState&, EncoderInputs& in) { in.OkValue = 3.5; }, "05 44 00 12 00 04"},
    {"CompleteZeroNegativeTie", 18,
     [](InstrumentState&, EncoderInputs& in) {
         in.OkValue = -0.25;
         in.OkDigits = 1;
     },
     "05 44 00 12 FF FE"},
    {"VoltmeterStartValues", 36, [](InstrumentState&, EncoderInputs&) {}, "04 44 00 24 20"},
    {"VoltmeterEveryFlag", 36,
     [](InstrumentState& s, EncoderInputs&) {
         s.VoltmeterRange = 4;
         s.VoltmeterInput = 1;
         s.VoltmeterDelta = 1;
         s.VoltmeterAuto = 0;
         s.VoltmeterPercent = 1;
     },
     "04 44 00 24 5C"},
    {"VoltmeterRangeKeepsThreeBits", 36,
     [](InstrumentState& s, EncoderInputs&) {
         s.VoltmeterRange = 0x0F;
         s.VoltmeterAuto = 0;
     },
     "04 44 00 24 07"},
    {"CancelCompleteZero", 49, [](InstrumentState&, EncoderInputs& in) { in.CancelHint = "1"; },
     "04 44 00 31 01"},
    {"CancelUserCalibration", 49, [](InstrumentState&, EncoderInputs& in) { in.CancelHint = "2"; },
     "04 44 00 31 02"},
    {"CancelOtherHint", 49, [](InstrumentState&, EncoderInputs& in) { in.CancelHint = "12"; },
     "04 44 00 31 00"},
    {"AutoCalibration", 50, [](InstrumentState& s, EncoderInputs&) { s.CalibrationKind = 1; },
     "04 44 00 32 00"},
    {"ZerosOnTheRange", 50, [](InstrumentState& s, EncoderInputs&) { s.CalibrationKind = 2; },
     "04 44 00 32 01"},
    {"AllZeros", 50, [](InstrumentState& s, EncoderInputs&) { s.CalibrationKind = 3; },
     "04 44 00 32 02"},
    // The kind minus one is taken in the byte's unsigned width: no kind overflows.
    {"CalibrationKindZero", 50, [](InstrumentState& s, EncoderInputs&) { s.CalibrationKind = 0; },
     "04 44 00 32 FF"},
    {"CalibrationKindMostNegative", 50,
     [](InstrumentState& s, EncoderInputs&) {
         s.CalibrationKind = std::numeric_limits<int32_t>::min();
     },
     "04 44 00 32 FF"},
    {"CalibrationKindLargest", 50,
     [](InstrumentState& s, EncoderInputs&) {
         s.CalibrationKind = std::numeric_limits<int32_t>::max();
     },
     "04 44 00 32 FE"},
    {"ParametersBrightnessZeroKeepsThreeBits", 6,
     [](InstrumentState& s, EncoderInputs&) { s.Brightness = 0; }, "06 44 00 06 1E 50 00"},
    {"UserCalibrationDigits", 52,
     [](InstrumentState& s, EncoderInputs&) { s.CalibrationDigits = "12345678"; },
     "07 44 00 34 12 34 56 78"},
    {"NoPayloadReset", 1, [](InstrumentState&, EncoderInputs&) {}, "03 44 00 01"},
    {"NoPayloadPollState", 10, [](InstrumentState&, EncoderInputs&) {}, "03 44 00 0A"},
    {"NoPayloadReadParameters", 5, [](InstrumentState&, EncoderInputs&) {}, "03 44 00 05"},
    {"NoPayloadExchangeTest", 8, [](InstrumentState&, EncoderInputs&) {}, "03 44 00 08"},
    {"NoPayloadReadOutput", 17, [](InstrumentState&, EncoderInputs&) {}, "03 44 00 11"},
    {"NoPayloadMeasure", 32, [](InstrumentState&, EncoderInputs&) {}, "03 44 00 20"},
    {"NoPayloadMeasuredValue", 33, [](InstrumentState&, EncoderInputs&) {}, "03 44 00 21"},
    {"NoPayloadVoltmeterZero", 34, [](InstrumentState&, EncoderInputs&) {}, "03 44 00 22"},
    {"SourceIsThePcAddress", 1, [](InstrumentState& s, EncoderInputs&) { s.PCDevice = 0x7B; },
     "03 44 7B 01"},
};

INSTANTIATE_TEST_SUITE_P(EveryRule, Payloads, ::testing::ValuesIn(PayloadCases),
                         [](const auto& c) { return std::string(c.param.name); });

struct StoredDigitsCase {
    const char* name;
    uint8_t row;
    const char* before;
    bool accessory;
    const char* after;
};

void PrintTo(const StoredDigitsCase& c, std::ostream* os) {
    *os << c.name;
}

class SetOutputStoredDigits : public ::testing::TestWithParam<StoredDigitsCase> {};

// The digits sent on an AC row end in 0, and so do the digits kept in the state afterwards.
TEST_P(SetOutputStoredDigits, EndInZeroOnAcRowsOnly) {
    InstrumentState s = WithCode(16);
    s.RangeIndex = GetParam().row;
    s.OutputDigits = GetParam().before;
    EncoderInputs in;
    in.AccessoryMode = GetParam().accessory;
    FrameBytes frame{};
    PacketRecord packet;
    ASSERT_TRUE(EncodeRequest(s, in, frame, packet));
    EXPECT_EQ(s.OutputDigits, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SetOutputStoredDigits,
    ::testing::Values(StoredDigitsCase{"AcEightDigits", 20, "12345679", false, "12345670"},
                      StoredDigitsCase{"AcSevenDigits", 23, "0010000", false, "0010000"},
                      StoredDigitsCase{"AcInAccessoryMode", 32, "00200005", true, "00200000"},
                      StoredDigitsCase{"DcEightDigits", 2, "12345679", false, "12345679"},
                      StoredDigitsCase{"RowPastTheTable", 39, "12345679", false, "12345679"}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(EncodeRequest, ParameterBytesOfTheStartValues) {
    const Encoded e = Encode(WithCode(6));
    EXPECT_EQ(e.frame[5], 0x1E) << "byte A";
    EXPECT_EQ(e.frame[6], 0x50) << "byte B";
}

TEST(EncodeRequest, AccessoryModeSendsEveryRequestTo251) {
    EncoderInputs in;
    in.AccessoryMode = true;
    for (const CommandInfo& command : CommandTable) {
        InstrumentState s = WithCode(command.Code);
        s.CalibrationKind = 1;
        const Encoded e = Encode(s, in);
        EXPECT_EQ(e.packet.Head[0], 251) << int(command.Code);
        EXPECT_EQ(e.packet.Body[0], command.Code == 16 ? 4 : command.L) << int(command.Code);
    }
}

TEST(EncodeRequest, AccessoryResetGoesTo251) {
    EncoderInputs in;
    in.AccessoryMode = true;
    const Encoded e = Encode(WithCode(1), in);
    EXPECT_EQ(SendLine(e.packet).substr(0, 15), "FB 03 44 00 01 ");
}

} // namespace
} // namespace vr410
