// The command table: the hidden "Режим" menu as data.
#include "protocol/commands.h"

#include "protocol/function_codes.h"

namespace vr410 {

// clang-format off
const std::array<CommandInfo, 16> CommandTable{{
    {.Code = FunctionCode::Reset,                   .MenuItem = "N3",         .Caption = "Сброс",                                       .L = 3,  .SeparatorBefore = false},
    {.Code = FunctionCode::PollState,               .MenuItem = "N36",        .Caption = "Опрос состояния прибора",                     .L = 3,  .SeparatorBefore = false},
    {.Code = FunctionCode::ReadParameters,          .MenuItem = "N21",        .Caption = "Чтение параметров",                           .L = 3,  .SeparatorBefore = false},
    {.Code = FunctionCode::SetParameters,           .MenuItem = "N22",        .Caption = "Установка параметров",                        .L = 6,  .SeparatorBefore = false},
    {.Code = FunctionCode::Screen,                  .MenuItem = "N31",        .Caption = "Включение/выключение экрана",                 .L = 4,  .SeparatorBefore = false},
    {.Code = FunctionCode::ExchangeTest,            .MenuItem = "N24",        .Caption = "Тест обмена",                                 .L = 3,  .SeparatorBefore = false},
    {.Code = FunctionCode::SetOutput,               .MenuItem = "N5",         .Caption = "Установка напряжения калибратора",            .L = 10, .SeparatorBefore = true},
    {.Code = FunctionCode::ReadOutput,              .MenuItem = "N8",         .Caption = "Чтение установленного напряжения калибратора", .L = 3,  .SeparatorBefore = false},
    {.Code = FunctionCode::CalibratorZero,          .MenuItem = "OkC",        .Caption = "Комплектный нуль калибратора",                .L = 5,  .SeparatorBefore = false},
    {.Code = FunctionCode::Measure,                 .MenuItem = "N10",        .Caption = "Включить режим измерения пост. напряжения",   .L = 3,  .SeparatorBefore = true},
    {.Code = FunctionCode::MeasuredValue,           .MenuItem = "NUadcQuery", .Caption = "Запрос измеренного значения",                 .L = 3,  .SeparatorBefore = false},
    {.Code = FunctionCode::VoltmeterZero,           .MenuItem = "OkV",        .Caption = "Комплектный нуль вольтметра",                 .L = 3,  .SeparatorBefore = false},
    {.Code = FunctionCode::VoltmeterControl,        .MenuItem = "N23",        .Caption = "Управление вольтметром",                      .L = 4,  .SeparatorBefore = false},
    {.Code = FunctionCode::CancelZeroOrCalibration, .MenuItem = "Ok_Reset",   .Caption = "Отменить Ok и пользовательскую калибровку",   .L = 4,  .SeparatorBefore = true},
    {.Code = FunctionCode::Calibrate,               .MenuItem = "N18",        .Caption = "Калибровка прибора",                          .L = 4,  .SeparatorBefore = false},
    {.Code = FunctionCode::UserCalibration,         .MenuItem = "N25",        .Caption = "Пользовательская калибровка",                 .L = 7,  .SeparatorBefore = false},
}};
// clang-format on

const CommandInfo* FindCommand(uint8_t code) {
    for (const CommandInfo& command : CommandTable) {
        if (command.Code == code) {
            return &command;
        }
    }
    return nullptr;
}

} // namespace vr410
