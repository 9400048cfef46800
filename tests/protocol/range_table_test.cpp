// The range catalogue: its shape, its pairings and the labels the panel prints.
#include "protocol/range_table.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

struct LabelCase {
    size_t row;
    const char* label;
};

void PrintTo(const LabelCase& c, std::ostream* os) {
    *os << "Row" << c.row << " \"" << c.label << "\"";
}

class RangeLabels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(RangeLabels, AreDigitsOfNominalThenPrefixAndUnit) {
    EXPECT_EQ(RangeLabel(GetParam().row), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(Rows, RangeLabels,
                         ::testing::Values(LabelCase{0, "100mV"}, LabelCase{1, "1V"},
                                           LabelCase{2, "10V"}, LabelCase{3, "100V"},
                                           LabelCase{4, "1000V"}, LabelCase{10, "1mA"},
                                           LabelCase{13, "1A"}, LabelCase{14, "10A"},
                                           LabelCase{24, "700V"}, LabelCase{30, "50A"},
                                           LabelCase{33, "1000R"}, LabelCase{38, "10mR"},
                                           LabelCase{39, ""}, LabelCase{255, ""}),
                         [](const auto& c) { return "Row" + std::to_string(c.param.row); });

TEST(RangeTable, GroupsOfFiveByKind) {
    for (size_t row = 0; row < 30; ++row) {
        const char16_t kind = row < 20 ? ((row / 5) % 2 == 0 ? u'+' : u'-') : u'~';
        EXPECT_EQ(RangeTable[row].Kind, kind) << row;
        const bool volts = row < 10 || (row >= 20 && row < 25);
        EXPECT_EQ(RangeTable[row].Unit, volts ? u'V' : u'A') << row;
    }
    for (size_t row = 33; row < RangeCount; ++row) {
        EXPECT_EQ(RangeTable[row].Unit, u'R');
        EXPECT_EQ(RangeTable[row].Kind, u' ');
    }
}

TEST(RangeTable, AcDcPairGoesBothWays) {
    EXPECT_EQ(RangeTable[3].AcDcPair, 23);
    EXPECT_EQ(RangeTable[23].AcDcPair, 3);
    EXPECT_EQ(RangeTable[20].AcDcPair, 0);
    for (size_t row = 0; row < 5; ++row) {
        EXPECT_EQ(RangeTable[RangeTable[row].AcDcPair].AcDcPair, row);
        EXPECT_EQ(RangeTable[RangeTable[row].PolarityPair].PolarityPair, row);
    }
}

TEST(RangeTable, TheAc1000VoltPositionIsRow24) {
    EXPECT_EQ(RangeTable[24].MaxDigits, 7140000);
    EXPECT_EQ(RangeTable[24].Nominal, 7000000);
    EXPECT_EQ(RangeLabel(24), "700V");
}

TEST(RangeTable, FiftyAmpereRows) {
    EXPECT_EQ(RangeTable[30].MaxDigits, 51000000);
    EXPECT_EQ(RangeTable[30].ZeroSlot, 10);
    EXPECT_EQ(RangeTable[31].PolarityPair, 30);
    EXPECT_EQ(RangeTable[32].AcDcPair, 30);
}

TEST(RangeTable, ZeroSlotIsSmallOnDcRowsOnly) {
    for (size_t row = 0; row < RangeCount; ++row) {
        const bool dc = RangeTable[row].Kind == u'+' || RangeTable[row].Kind == u'-';
        EXPECT_EQ(RangeTable[row].ZeroSlot <= 10, dc) << row;
    }
}

TEST(IsAcRow, OnlyKindTildeRowsInsideTheTable) {
    EXPECT_FALSE(IsAcRow(2));
    EXPECT_TRUE(IsAcRow(20));
    EXPECT_TRUE(IsAcRow(29));
    EXPECT_TRUE(IsAcRow(32));
    EXPECT_FALSE(IsAcRow(33));
    EXPECT_FALSE(IsAcRow(39));
    EXPECT_FALSE(IsAcRow(200));
}

} // namespace
} // namespace vr410
