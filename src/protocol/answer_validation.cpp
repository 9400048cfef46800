// Answer validation: fourteen checks in a fixed order, the first failure names itself.
#include "protocol/answer.h"
#include "protocol/function_codes.h"
#include "protocol/wire_constants.h"

#include <cstdio>
#include <optional>

namespace vr410 {

namespace {

// The least L of an answer to the command: the message bytes its decoding reads. A shorter
// answer would be decoded from zeros (a message byte past L reads as 0) and would put on the
// screen a range, a value or parameters the instrument does not have.
size_t LeastAnswerLength(uint8_t code, bool accessoryMode) {
    switch (code) {
    case FunctionCode::ReadParameters:
        return 6; // M[4..6]; the error list from M[7] may be absent
    case FunctionCode::PollState:
        return 4; // M[4]
    case FunctionCode::ReadOutput:
        return accessoryMode ? 4 : 10; // the band and factor byte M[4], or M[4..10]
    case FunctionCode::MeasuredValue:
        return 8; // M[4..8]
    default:
        return 3; // up to the function code M[3]
    }
}

// True when the read-output answer's value M[4..7] is packed decimal digits. A nibble above 9
// would put a character other than a digit into OutputDigits and the output field, and a
// set-output request built from it would carry a value the operator never saw.
bool OutputValueIsDecimal(const PacketRecord& rx) {
    for (size_t k = 4; k <= 7; ++k) {
        const uint8_t b = MessageByte(rx, k);
        if ((b >> 4) > 9 || (b & 0x0F) > 9) {
            return false;
        }
    }
    return true;
}

std::string PortErrorText(uint32_t status) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(status));
    return std::string("Ошибка порта - ") + hex + "h.";
}

// The text of the first failing check, or nothing when the answer passes all fourteen.
std::optional<std::string> FirstFailure(const AnswerContext& answer, const InstrumentState& state) {
    const PacketRecord& rx = answer.RxPacket;
    if (rx.HeadLength == 0) {
        return "Нет ответа!";
    }
    if (rx.Head[0] != state.PCDevice) {
        return "Неверный адрес ответа!";
    }
    if (rx.BodyLength == 0) {
        return "Нет 0-го блока!";
    }
    // Also refuses a body longer than the record (the link reports it with a BodyLength past
    // 41) before any byte of it is looked at.
    if (!AnswerLengthValid(rx)) {
        return "Неверная длина посылки.";
    }
    if (!AnswerBlockValid(rx, 0)) {
        return "Ошибка CRC 0-го блока!";
    }
    const uint8_t control = MessageByte(rx, 1);
    if (control & RequestFlagBit) {
        return "Посылка, а не ответ!";
    }
    if (control & TransferErrorBit) {
        return "Ошибка передачи!";
    }
    if ((control & DeviceTypeMask) != DeviceType) {
        return "Неверный тип прибора!";
    }
    const uint8_t expectedSource = answer.AccessoryMode ? AccessoryAddress : state.AddrDevice;
    if (MessageByte(rx, 2) != expectedSource) {
        return "Неверный адрес прибора!";
    }
    const uint8_t code = MessageByte(rx, 3);
    const uint8_t requestCode = answer.TxFrame[4];
    if (code != requestCode && code != FunctionCode::ErrorAnswer) {
        return "Неверный код функции!";
    }
    if (code == FunctionCode::ErrorAnswer) {
        return InstrumentErrorText(MessageByte(rx, 4), rx);
    }
    if (!AnswerBlockValid(rx, 1)) {
        return "Ошибка CRC 1-го блока.";
    }
    if (!AnswerBlockValid(rx, 2)) {
        return "Ошибка CRC 2-го блока.";
    }
    if (MessageByte(rx, 0) < LeastAnswerLength(state.CommandCode, answer.AccessoryMode)) {
        return "Неверная длина посылки.";
    }
    if (state.CommandCode == FunctionCode::ReadOutput && !answer.AccessoryMode &&
        !OutputValueIsDecimal(rx)) {
        return "Ошибка передачи!";
    }
    return std::nullopt;
}

} // namespace

std::string InstrumentErrorText(uint8_t code, const PacketRecord& rx) {
    switch (static_cast<InstrumentError>(code)) {
    case InstrumentError::AddressOutOfRange:
        return "Допустимый адрес от 0 до 240";
    case InstrumentError::WrongMode:
        return "Прибор находится в другом режиме!";
    case InstrumentError::ValueOutOfRange:
        return "Недопустимое значение в устанавливаемом значении";
    case InstrumentError::FrequencyOutOfRange:
        return "Неверное значение частоты";
    case InstrumentError::ConverterFault:
        return "Ошибка преобразователя напряжения в ток";
    case InstrumentError::AmplifierFault:
        return "Ошибка усилителя до 1000В";
    case InstrumentError::RangeNotSet:
        return "Предел не установлен";
    }
    return ReceiveLine(rx); // any other code
}

bool ValidateAnswer(uint32_t receiveStatus, const AnswerContext& answer,
                    const InstrumentState& state, AnswerView& view) {
    if (receiveStatus != 0) {
        view.SetAnswerText(PortErrorText(receiveStatus));
        return false;
    }
    if (const auto failure = FirstFailure(answer, state)) {
        view.SetAnswerText(*failure);
        return false;
    }
    return true;
}

} // namespace vr410
