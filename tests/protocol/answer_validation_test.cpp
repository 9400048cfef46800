// Answer validation: each of the fourteen checks reached in order with its text, the
// instrument error texts, and the flipped-bit property.
#include "protocol/answer.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace vr410 {
namespace {

using test::AnswerPacket;
using test::Hex;
using test::RecordingView;

// The request the answers below reply to: reset (code 1) from PC 0 to instrument 1.
FrameBytes RequestWithCode(uint8_t code) {
    FrameBytes frame{};
    frame[0] = 1;
    frame[1] = 3;
    frame[2] = 0x44;
    frame[3] = 0;
    frame[4] = code;
    return frame;
}

struct Outcome {
    bool accepted;
    std::vector<std::string> calls;
};

Outcome Validate(const PacketRecord& rx, uint32_t status = 0, uint8_t requestCode = 1,
                 bool accessory = false, const InstrumentState& state = {}) {
    const FrameBytes tx = RequestWithCode(requestCode);
    RecordingView view;
    const AnswerContext answer{rx, tx, accessory};
    const bool accepted = ValidateAnswer(status, answer, state, view);
    return {accepted, view.Calls};
}

// A valid answer to the reset request: from instrument 1 to PC 0.
PacketRecord GoodReset() {
    return AnswerPacket(0x00, "03 04 01 01");
}

TEST(ValidateAnswer, AcceptsAGoodAnswerAndTouchesNoWindow) {
    const Outcome o = Validate(GoodReset());
    EXPECT_TRUE(o.accepted);
    EXPECT_TRUE(o.calls.empty());
}

// One row per check, each failing exactly there: the packet is built valid up to that check
// and broken at it (often also at later checks, to show that the earlier one speaks first).
struct StepCase {
    const char* name;
    std::function<PacketRecord()> packet;
    uint32_t status;
    const char* text;
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.name;
}

class ValidationSteps : public ::testing::TestWithParam<StepCase> {};

TEST_P(ValidationSteps, FailWithTheirOwnText) {
    const Outcome o = Validate(GetParam().packet(), GetParam().status);
    EXPECT_FALSE(o.accepted);
    EXPECT_EQ(o.calls, std::vector<std::string>{std::string("Answer: ") + GetParam().text});
}

PacketRecord BreakBlock0(PacketRecord p) {
    p.Body[p.BodyLength - 1] ^= 0x01;
    return p;
}

const StepCase StepCases[] = {
    {"Step1PortErrorTwoDigits", GoodReset, 0x1C, "Ошибка порта - 1Ch."},
    {"Step1PortErrorThreeDigits", GoodReset, 0x104, "Ошибка порта - 104h."},
    {"Step1PortErrorPaddedToTwoDigits", GoodReset, 0x8, "Ошибка порта - 08h."},
    {"Step1PortErrorBeforeNoAnswer", [] { return PacketRecord{}; }, 0x2, "Ошибка порта - 02h."},
    {"Step2NoAnswer", [] { return PacketRecord{}; }, 0, "Нет ответа!"},
    {"Step2NoAnswerEvenWithBodyBytes",
     [] {
         PacketRecord p = GoodReset();
         p.HeadLength = 0;
         return p;
     },
     0, "Нет ответа!"},
    {"Step3AnswerToAnotherPc", [] { return AnswerPacket(0x05, "03 04 01 01"); }, 0,
     "Неверный адрес ответа!"},
    {"Step3AnotherPcBeforeLengthAndCheck",
     [] {
         PacketRecord p = BreakBlock0(AnswerPacket(0x05, "03 04 01 01"));
         p.BodyLength = 3;
         return p;
     },
     0, "Неверный адрес ответа!"},
    {"Step4NoBlock0",
     [] {
         PacketRecord p = GoodReset();
         p.BodyLength = 0;
         return p;
     },
     0, "Нет 0-го блока!"},
    {"Step5ShortBody",
     [] {
         PacketRecord p = GoodReset();
         p.BodyLength = 4;
         return p;
     },
     0, "Неверная длина посылки."},
    {"Step5LongBodyBeforeCheckByte",
     [] {
         PacketRecord p = BreakBlock0(GoodReset());
         p.BodyLength = 6;
         return p;
     },
     0, "Неверная длина посылки."},
    {"Step5WrongLengthByte",
     [] {
         PacketRecord p = GoodReset();
         p.Body[0] = 4;
         return p;
     },
     0, "Неверная длина посылки."},
    {"Step5AnswerLongerThanTheRecord",
     [] {
         // L = 38 needs 42 body bytes; the link stored 41 and reported 42.
         PacketRecord p = GoodReset();
         p.Body[0] = 38;
         p.BodyLength = 42;
         return p;
     },
     0, "Неверная длина посылки."},
    {"Step5RecordFullButLengthByteTooLarge",
     [] {
         PacketRecord p = GoodReset();
         p.Body[0] = 38;
         p.BodyLength = 41;
         return p;
     },
     0, "Неверная длина посылки."},
    {"Step5BodyLengthPastTheRecordWithAFittingLengthByte",
     [] {
         PacketRecord p = AnswerPacket(0x00, Hex("25 04 01 01"));
         p.BodyLength = 200;
         return p;
     },
     0, "Неверная длина посылки."},
    {"Step6Block0Check", [] { return BreakBlock0(GoodReset()); }, 0, "Ошибка CRC 0-го блока!"},
    {"Step6CheckBeforeControlByte", [] { return BreakBlock0(AnswerPacket(0x00, "03 44 01 01")); },
     0, "Ошибка CRC 0-го блока!"},
    {"Step7RequestNotAnswer", [] { return AnswerPacket(0x00, "03 44 01 01"); }, 0,
     "Посылка, а не ответ!"},
    {"Step7BeforeTransferError", [] { return AnswerPacket(0x00, "03 C4 01 01"); }, 0,
     "Посылка, а не ответ!"},
    {"Step8TransferError", [] { return AnswerPacket(0x00, "03 84 01 01"); }, 0, "Ошибка передачи!"},
    {"Step8BeforeDeviceType", [] { return AnswerPacket(0x00, "03 85 07 09"); }, 0,
     "Ошибка передачи!"},
    {"Step9WrongDeviceType", [] { return AnswerPacket(0x00, "03 05 01 01"); }, 0,
     "Неверный тип прибора!"},
    {"Step9BeforeInstrumentAddress", [] { return AnswerPacket(0x00, "03 0C 07 01"); }, 0,
     "Неверный тип прибора!"},
    {"Step10WrongInstrumentAddress", [] { return AnswerPacket(0x00, "03 04 02 01"); }, 0,
     "Неверный адрес прибора!"},
    {"Step10BeforeFunctionCode", [] { return AnswerPacket(0x00, "03 04 02 09"); }, 0,
     "Неверный адрес прибора!"},
    {"Step11WrongFunctionCode", [] { return AnswerPacket(0x00, "03 04 01 11"); }, 0,
     "Неверный код функции!"},
    {"Step12ErrorAnswerAddress", [] { return AnswerPacket(0x00, "04 04 01 AA 01"); }, 0,
     "Допустимый адрес от 0 до 240"},
    {"Step12ErrorAnswerUnknownCodeShowsTheHexLine",
     [] { return AnswerPacket(0x00, "04 04 01 AA 05"); }, 0, "00 04 04 01 AA 05 1B "},
    {"Step12BeforeBlock1Check",
     [] {
         PacketRecord p = AnswerPacket(0x00, "10 04 01 AA 22 00 00 00 00 00 00 00 00 00 00 00 00");
         p.Body[17] ^= 0x01;
         return p;
     },
     0, "Предел не установлен"},
    {"Step13Block1Check",
     [] {
         PacketRecord p = AnswerPacket(0x00, "14 04 01 01 00 00 00 00 00 00 00 00 00 00 00 00 "
                                             "01 02 03 04 05");
         p.Body[21] ^= 0x80;
         return p;
     },
     0, "Ошибка CRC 1-го блока."},
    {"Step13BeforeBlock2Check",
     [] {
         PacketRecord p = AnswerPacket(0x00, "21 04 01 01 00 00 00 00 00 00 00 00 00 00 00 00 "
                                             "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                                             "00 00");
         p.Body[16] ^= 0x02;
         p.Body[32] ^= 0x02;
         return p;
     },
     0, "Ошибка CRC 1-го блока."},
    {"Step14Block2Check",
     [] {
         PacketRecord p = AnswerPacket(0x00, "21 04 01 01 00 00 00 00 00 00 00 00 00 00 00 00 "
                                             "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                                             "00 00");
         p.Body[34] ^= 0x10;
         return p;
     },
     0, "Ошибка CRC 2-го блока."},
};

INSTANTIATE_TEST_SUITE_P(InOrder, ValidationSteps, ::testing::ValuesIn(StepCases),
                         [](const auto& c) { return std::string(c.param.name); });

TEST(ValidateAnswer, ErrorAnswerHexTextMatchesTheWorkedExample) {
    const PacketRecord rx = AnswerPacket(0x00, "04 04 01 AA 05");
    EXPECT_EQ(test::BodyOf(rx), Hex("04 04 01 AA 05 1B"));
    EXPECT_EQ(InstrumentErrorText(5, rx), "00 04 04 01 AA 05 1B ");
}

struct ErrorCase {
    uint8_t code;
    const char* text;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << "Code" << static_cast<int>(c.code);
}

class InstrumentErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(InstrumentErrors, ShowTheirTextAndFailTheAttempt) {
    std::vector<uint8_t> message = Hex("04 04 01 AA");
    message.push_back(GetParam().code);
    const Outcome o = Validate(AnswerPacket(0x00, message), 0, 16);
    EXPECT_FALSE(o.accepted);
    EXPECT_EQ(o.calls, std::vector<std::string>{std::string("Answer: ") + GetParam().text});
}

INSTANTIATE_TEST_SUITE_P(
    Table, InstrumentErrors,
    ::testing::Values(ErrorCase{1, "Допустимый адрес от 0 до 240"},
                      ErrorCase{16, "Прибор находится в другом режиме!"},
                      ErrorCase{17, "Недопустимое значение в устанавливаемом значении"},
                      ErrorCase{18, "Неверное значение частоты"},
                      ErrorCase{32, "Ошибка преобразователя напряжения в ток"},
                      ErrorCase{0x21, "Ошибка усилителя до 1000В"},
                      ErrorCase{34, "Предел не установлен"}, ErrorCase{0, "00 04 04 01 AA 00 20 "}),
    [](const auto& c) { return "Code" + std::to_string(c.param.code); });

TEST(ValidateAnswer, AccessoryAnswersMustComeFrom251) {
    const PacketRecord fromAccessory = AnswerPacket(0x00, "03 04 FB 01");
    const PacketRecord fromInstrument = GoodReset();
    EXPECT_TRUE(Validate(fromAccessory, 0, 1, true).accepted);
    EXPECT_EQ(Validate(fromInstrument, 0, 1, true).calls,
              std::vector<std::string>{"Answer: Неверный адрес прибора!"});
    EXPECT_FALSE(Validate(fromAccessory, 0, 1, false).accepted);
}

TEST(ValidateAnswer, UsesTheAddressesOfTheState) {
    InstrumentState s;
    s.PCDevice = 7;
    s.AddrDevice = 200;
    EXPECT_TRUE(Validate(AnswerPacket(0x07, "03 04 C8 01"), 0, 1, false, s).accepted);
    EXPECT_FALSE(Validate(GoodReset(), 0, 1, false, s).accepted);
}

TEST(ValidateAnswer, TheAnswerCodeMustEchoTheRequest) {
    EXPECT_TRUE(Validate(AnswerPacket(0x00, "03 04 01 21"), 0, 0x21).accepted);
    EXPECT_FALSE(Validate(AnswerPacket(0x00, "03 04 01 21"), 0, 0x20).accepted);
}

TEST(ValidateAnswer, ControlBitsFiveAndFourAreNotExamined) {
    EXPECT_TRUE(Validate(AnswerPacket(0x00, "03 34 01 01")).accepted);
}

// An answer shorter than what the decoding of the selected command reads is refused on its
// length, after the other checks; longer answers and error answers are unaffected.
struct ShortAnswerCase {
    const char* name;
    uint8_t code; // CommandCode and the request's code
    bool accessory;
    const char* message; // from instrument 1, or from 251 in accessory mode
    const char* text;    // nullptr: accepted
};

void PrintTo(const ShortAnswerCase& c, std::ostream* os) {
    *os << c.name;
}

class ShortAnswers : public ::testing::TestWithParam<ShortAnswerCase> {};

TEST_P(ShortAnswers, AreRefusedOnTheirLength) {
    const ShortAnswerCase& c = GetParam();
    InstrumentState state;
    state.CommandCode = c.code;
    const Outcome o = Validate(AnswerPacket(0x00, c.message), 0, c.code, c.accessory, state);
    if (c.text == nullptr) {
        EXPECT_TRUE(o.accepted);
        EXPECT_TRUE(o.calls.empty());
    } else {
        EXPECT_FALSE(o.accepted);
        EXPECT_EQ(o.calls, std::vector<std::string>{std::string("Answer: ") + c.text});
    }
}

const char* const WrongLength = "Неверная длина посылки.";

INSTANTIATE_TEST_SUITE_P(
    ByCommand, ShortAnswers,
    ::testing::Values(
        ShortAnswerCase{"ReadOutputL3", 17, false, "03 04 01 11", WrongLength},
        ShortAnswerCase{"ReadOutputL9", 17, false, "09 04 01 11 01 00 00 00 02 03", WrongLength},
        ShortAnswerCase{"ReadOutputL10", 17, false, "0A 04 01 11 01 00 00 00 02 03 E8", nullptr},
        ShortAnswerCase{"AccessoryReadL3", 17, true, "03 04 FB 11", WrongLength},
        ShortAnswerCase{"AccessoryReadL4", 17, true, "04 04 FB 11 35", nullptr},
        ShortAnswerCase{"ReadParametersL5", 5, false, "05 04 01 05 1E 50", WrongLength},
        ShortAnswerCase{"ReadParametersL6", 5, false, "06 04 01 05 1E 50 00", nullptr},
        ShortAnswerCase{"PollStateL3", 10, false, "03 04 01 0A", WrongLength},
        ShortAnswerCase{"PollStateL4", 10, false, "04 04 01 0A 21", nullptr},
        ShortAnswerCase{"MeasuredValueL7", 33, false, "07 04 01 21 00 00 00 05", WrongLength},
        ShortAnswerCase{"MeasuredValueL8", 33, false, "08 04 01 21 00 00 00 05 20", nullptr},
        ShortAnswerCase{"ExchangeTestL3", 8, false, "03 14 01 08", nullptr},
        ShortAnswerCase{"ErrorAnswerKeepsItsText", 17, false, "04 04 01 AA 22",
                        "Предел не установлен"}),
    [](const auto& c) { return std::string(c.param.name); });

// A read-output value is packed decimal digits: a nibble above 9 would put a character other
// than a digit into OutputDigits and the output field. The accessory's byte is no value.
TEST(ValidateAnswer, ReadOutputValueMustBeDecimalDigits) {
    const struct {
        const char* Message;
        bool Accessory;
        bool Accepted;
    } cases[] = {
        {.Message = "0A 04 01 11 09 99 99 99 02 03 E8", .Accessory = false, .Accepted = true},
        {.Message = "0A 04 01 11 0A 00 00 00 02 03 E8", .Accessory = false, .Accepted = false},
        {.Message = "0A 04 01 11 01 00 00 F0 02 03 E8", .Accessory = false, .Accepted = false},
        {.Message = "0A 04 01 11 AB CD EF 12 02 00 00", .Accessory = false, .Accepted = false},
        {.Message = "04 04 FB 11 FF", .Accessory = true, .Accepted = true},
    };
    for (const auto& c : cases) {
        InstrumentState state;
        state.CommandCode = 17;
        const Outcome o = Validate(AnswerPacket(0x00, c.Message), 0, 17, c.Accessory, state);
        EXPECT_EQ(o.accepted, c.Accepted) << c.Message;
        if (!c.Accepted) {
            EXPECT_EQ(o.calls, std::vector<std::string>{"Answer: Ошибка передачи!"}) << c.Message;
        }
    }
}

// Valid answers of one, two and three blocks; a single flipped bit anywhere in the address
// byte or the body (check bytes included) must never leave the answer valid.
class FlippedBit : public ::testing::TestWithParam<const char*> {};

TEST_P(FlippedBit, NeverPassesAsValid) {
    const std::vector<uint8_t> message = Hex(GetParam());
    const PacketRecord good = AnswerPacket(0x00, message);
    ASSERT_TRUE(Validate(good, 0, message[3]).accepted);
    for (size_t byte = 0; byte <= good.BodyLength; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            PacketRecord bad = good;
            uint8_t& target = byte == 0 ? bad.Head[0] : bad.Body[byte - 1];
            target ^= static_cast<uint8_t>(1u << bit);
            EXPECT_FALSE(Validate(bad, 0, message[3]).accepted)
                << (byte == 0 ? "address byte" : "body byte " + std::to_string(byte - 1)) << " bit "
                << bit;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FlippedBit,
    ::testing::Values("03 04 01 01", "04 14 01 08 00", "0A 04 01 11 01 00 00 00 02 03 E8",
                      "0E 04 01 05 1E 50 00 01 02 03 04 05 06 07 08",
                      "0F 04 01 05 1E 50 00 01 02 03 04 05 06 07 08 09",
                      "1E 04 01 05 1E 50 10 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 "
                      "11 12 13 14 15 16 17 18",
                      "25 04 01 05 1E 50 10 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 "
                      "11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F"));

} // namespace
} // namespace vr410
