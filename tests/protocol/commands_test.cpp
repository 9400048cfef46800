// The command table and the packed digits the encoder and decoder share.
#include "protocol/commands.h"
#include "protocol/digits.h"

#include <gtest/gtest.h>

#include <set>

namespace vr410 {
namespace {

TEST(CommandTable, ListsTheSixteenCommandsInMenuOrder) {
    const uint8_t codes[] = {1, 10, 5, 6, 9, 8, 16, 17, 18, 32, 33, 34, 36, 49, 50, 52};
    const uint8_t lengths[] = {3, 3, 3, 6, 4, 3, 10, 3, 5, 3, 3, 3, 4, 4, 4, 7};
    ASSERT_EQ(CommandTable.size(), std::size(codes));
    for (size_t i = 0; i < CommandTable.size(); ++i) {
        EXPECT_EQ(CommandTable[i].Code, codes[i]) << i;
        EXPECT_EQ(CommandTable[i].L, lengths[i]) << i;
    }
}

TEST(CommandTable, SeparatorsStandBeforeSetOutputMeasurementAndCancel) {
    std::set<uint8_t> separated;
    for (const CommandInfo& c : CommandTable) {
        if (c.SeparatorBefore) {
            separated.insert(c.Code);
        }
    }
    EXPECT_EQ(separated, (std::set<uint8_t>{16, 32, 49}));
}

TEST(FindCommand, FindsTheRowOfACodeAndNothingElse) {
    ASSERT_NE(FindCommand(1), nullptr);
    EXPECT_EQ(FindCommand(1)->MenuItem, "N3");
    EXPECT_EQ(FindCommand(1)->Caption, "Сброс");
    EXPECT_EQ(FindCommand(33)->MenuItem, "NUadcQuery");
    EXPECT_EQ(FindCommand(16)->Caption, "Установка напряжения калибратора");
    EXPECT_EQ(FindCommand(49)->MenuItem, "Ok_Reset");
    for (int code : {0, 2, 7, 11, 0xAA, 255}) {
        EXPECT_EQ(FindCommand(static_cast<uint8_t>(code)), nullptr) << code;
    }
}

TEST(PackedDigits, FirstDigitInTheHighNibble) {
    EXPECT_EQ(PackDigits("01000000"), (std::array<uint8_t, 4>{0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(PackDigits("12345678"), (std::array<uint8_t, 4>{0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(PackDigits("0010000"), (std::array<uint8_t, 4>{0x00, 0x10, 0x00, 0x00}));
    EXPECT_EQ(PackDigits(""), (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(UnpackDigits({0x12, 0x34, 0x56, 0x78}), "12345678");
    EXPECT_EQ(UnpackDigits({0xAB, 0xCD, 0xEF, 0x90}), ":;<=>?90");
}

} // namespace
} // namespace vr410
