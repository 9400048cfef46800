// Each fault the bus can inject ends in its own text of the answer checks, the whole way from
// the encoder through the serial driver to validation.
#include "exchange_fixture.h"

namespace vr410::test {
namespace {

using namespace std::chrono_literals;
using sim::LineFault;

struct FaultCase {
    const char* Name;
    LineFault Fault;
    uint8_t Code; // 5 with a long error list reaches blocks 1 and 2
    const char* AnswerText;
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.Name;
}

// clang-format off
const FaultCase FaultCases[] = {
    {.Name = "NoAnswer",                .Fault = LineFault::NoAnswer,                .Code = 8, .AnswerText = "Нет ответа!"},
    {.Name = "LateAnswer",              .Fault = LineFault::LateAnswer,              .Code = 8, .AnswerText = "Нет ответа!"},
    {.Name = "FramingError",            .Fault = LineFault::FramingError,            .Code = 8, .AnswerText = "Ошибка порта - 0Ch."},
    {.Name = "OverrunError",            .Fault = LineFault::OverrunError,            .Code = 8, .AnswerText = "Ошибка порта - 06h."},
    {.Name = "WrongDestinationAddress", .Fault = LineFault::WrongDestinationAddress, .Code = 8, .AnswerText = "Неверный адрес ответа!"},
    {.Name = "AddressOnly",             .Fault = LineFault::AddressOnly,             .Code = 8, .AnswerText = "Нет 0-го блока!"},
    {.Name = "WrongLength",             .Fault = LineFault::WrongLength,             .Code = 8, .AnswerText = "Неверная длина посылки."},
    {.Name = "SplitAnswer",             .Fault = LineFault::SplitAnswer,             .Code = 8, .AnswerText = "Неверная длина посылки."},
    {.Name = "CorruptBlock0Bit",        .Fault = LineFault::CorruptBlock0Bit,        .Code = 8, .AnswerText = "Ошибка CRC 0-го блока!"},
    {.Name = "RequestFlag",             .Fault = LineFault::RequestFlag,             .Code = 8, .AnswerText = "Посылка, а не ответ!"},
    {.Name = "TransferError",           .Fault = LineFault::TransferError,           .Code = 8, .AnswerText = "Ошибка передачи!"},
    {.Name = "WrongDeviceType",         .Fault = LineFault::WrongDeviceType,         .Code = 8, .AnswerText = "Неверный тип прибора!"},
    {.Name = "WrongSourceAddress",      .Fault = LineFault::WrongSourceAddress,      .Code = 8, .AnswerText = "Неверный адрес прибора!"},
    {.Name = "WrongFunctionCode",       .Fault = LineFault::WrongFunctionCode,       .Code = 8, .AnswerText = "Неверный код функции!"},
    {.Name = "CorruptBlock1Bit",        .Fault = LineFault::CorruptBlock1Bit,        .Code = 5, .AnswerText = "Ошибка CRC 1-го блока."},
    {.Name = "CorruptBlock2Bit",        .Fault = LineFault::CorruptBlock2Bit,        .Code = 5, .AnswerText = "Ошибка CRC 2-го блока."},
    {.Name = "ParityErrorOnTheFirstByteIsAccepted", .Fault = LineFault::ParityErrorFirstByte, .Code = 8, .AnswerText = "Тест обмена - ОК"},
};
// clang-format on

class InjectedFault : public ExchangeFixture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(InjectedFault, EndsInItsFailureText) {
    const FaultCase& c = GetParam();
    for (uint8_t code = 1; code <= 31; ++code) {
        Instrument.MutableState().ErrorList.push_back(code);
    }
    // Late and split answers well clear of the receive's windows, even when a busy machine
    // starts the receive some milliseconds after the request has left.
    Bus.Timing().LateTurnaround = 250ms;
    Bus.Timing().SplitPause = 100ms;
    Bus.Faults().Queue(c.Fault);
    Exchange(c.Code);
    EXPECT_EQ(View.AnswerText, c.AnswerText);
    EXPECT_EQ(Bus.Faults().QueuedCount(), 0u);

    // The fault was for one exchange only: the next attempt passes once the rest of the
    // damaged answer has left the line.
    Api.Sleep(c.Fault == LineFault::LateAnswer || c.Fault == LineFault::SplitAnswer ? 300 : 5);
    EXPECT_TRUE(Exchange(c.Code)) << View.AnswerText;
}

INSTANTIATE_TEST_SUITE_P(EveryFault, InjectedFault, ::testing::ValuesIn(FaultCases),
                         [](const auto& row) { return std::string(row.param.Name); });

// A damaged character ends the receive on the address byte while the instrument still sends the
// rest of its answer. The exchange repeats the request at once: the rest must not be taken for
// the beginning of the second answer (nor run into the repeated request on the bus).
class RepeatAfterLineError : public ExchangeFixture,
                             public ::testing::WithParamInterface<LineFault> {};

TEST_P(RepeatAfterLineError, FindsOnlyTheSecondAnswer) {
    // The parameters with a long error list: 41 characters, some 8 ms of answer after the
    // damaged address byte.
    for (uint8_t code = 1; code <= 31; ++code) {
        Instrument.MutableState().ErrorList.push_back(code);
    }
    Bus.Faults().Queue(GetParam());
    EXPECT_FALSE(Exchange(5));
    EXPECT_TRUE(Exchange(5)) << View.AnswerText;
    EXPECT_EQ(View.ErrorCodes.size(), 31u);
}

INSTANTIATE_TEST_SUITE_P(DamagedCharacters, RepeatAfterLineError,
                         ::testing::Values(LineFault::FramingError, LineFault::OverrunError),
                         [](const auto& row) {
                             return std::string(row.param == LineFault::FramingError ? "Framing"
                                                                                     : "Overrun");
                         });

TEST_F(ExchangeFixture, LongErrorListDecodesWithoutTheCheckBytes) {
    for (uint8_t code = 1; code <= 31; ++code) {
        Instrument.MutableState().ErrorList.push_back(code);
    }
    ASSERT_TRUE(Exchange(5));
    ASSERT_EQ(View.ErrorCodes.size(), 31u);
    EXPECT_EQ(View.ErrorCodes.front(), 1);
    EXPECT_EQ(View.ErrorCodes.back(), 31);
}

} // namespace
} // namespace vr410::test
