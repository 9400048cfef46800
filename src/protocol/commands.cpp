// The command table: the hidden "Режим" menu as data.
#include "protocol/commands.h"

namespace vr410 {

// clang-format off
const std::array<CommandInfo, 16> CommandTable{{
    {.Code = 1,  .MenuItem = "N3",         .Caption = "Сброс",                                       .L = 3,  .SeparatorBefore = false},
    {.Code = 10, .MenuItem = "N36",        .Caption = "Опрос состояния прибора",                     .L = 3,  .SeparatorBefore = false},
    {.Code = 5,  .MenuItem = "N21",        .Caption = "Чтение параметров",                           .L = 3,  .SeparatorBefore = false},
    {.Code = 6,  .MenuItem = "N22",        .Caption = "Установка параметров",                        .L = 6,  .SeparatorBefore = false},
    {.Code = 9,  .MenuItem = "N31",        .Caption = "Включение/выключение экрана",                 .L = 4,  .SeparatorBefore = false},
    {.Code = 8,  .MenuItem = "N24",        .Caption = "Тест обмена",                                 .L = 3,  .SeparatorBefore = false},
    {.Code = 16, .MenuItem = "N5",         .Caption = "Установка напряжения калибратора",            .L = 10, .SeparatorBefore = true},
    {.Code = 17, .MenuItem = "N8",         .Caption = "Чтение установленного напряжения калибратора", .L = 3,  .SeparatorBefore = false},
    {.Code = 18, .MenuItem = "OkC",        .Caption = "Комплектный нуль калибратора",                .L = 5,  .SeparatorBefore = false},
    {.Code = 32, .MenuItem = "N10",        .Caption = "Включить режим измерения пост. напряжения",   .L = 3,  .SeparatorBefore = true},
    {.Code = 33, .MenuItem = "NUadcQuery", .Caption = "Запрос измеренного значения",                 .L = 3,  .SeparatorBefore = false},
    {.Code = 34, .MenuItem = "OkV",        .Caption = "Комплектный нуль вольтметра",                 .L = 3,  .SeparatorBefore = false},
    {.Code = 36, .MenuItem = "N23",        .Caption = "Управление вольтметром",                      .L = 4,  .SeparatorBefore = false},
    {.Code = 49, .MenuItem = "Ok_Reset",   .Caption = "Отменить Ok и пользовательскую калибровку",   .L = 4,  .SeparatorBefore = true},
    {.Code = 50, .MenuItem = "N18",        .Caption = "Калибровка прибора",                          .L = 4,  .SeparatorBefore = false},
    {.Code = 52, .MenuItem = "N25",        .Caption = "Пользовательская калибровка",                 .L = 7,  .SeparatorBefore = false},
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
