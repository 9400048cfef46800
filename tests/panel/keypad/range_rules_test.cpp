// The output value limits, presets, range-key arithmetic and complete-zero dialog table.
#include "panel/keypad/range_rules.h"
#include "protocol/range_table.h"

#include <gtest/gtest.h>

#include <optional>

namespace vr410 {
namespace {

struct LimitCase {
    const char* Name;
    size_t Row;
    const char* Typed;
    const char* Expected;
    bool Clamped;
};

void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << c.Name;
}

class OutputLimits : public testing::TestWithParam<LimitCase> {};

TEST_P(OutputLimits, HoldTheValueWithinTheRange) {
    const LimitCase& c = GetParam();
    const LimitedDigits result = LimitOutputDigits(c.Row, c.Typed);
    EXPECT_EQ(result.Digits, c.Expected);
    EXPECT_EQ(result.Clamped, c.Clamped);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OutputLimits,
    testing::Values(
        LimitCase{"DcAboveMaximumBecomesMaximum", 2, "12000000", "10200000", true},
        LimitCase{"DcAtMaximumStays", 2, "10200000", "10200000", false},
        LimitCase{"DcZeroHasNoLowerLimit", 2, "00000000", "00000000", false},
        LimitCase{"DcShownTextLiteralsAreSkipped", 2, "10.000m000V", "10000000", false},
        LimitCase{"FiftyAmpereRowAllowsFiftyOne", 30, "51000000", "51000000", false},
        LimitCase{"FiftyAmpereRowAboveClamps", 30, "52000000", "51000000", true},
        LimitCase{"AcZeroBecomesOnePercent", 21, "0000000", "0010000", true},
        LimitCase{"AcBelowOnePercentBecomesOnePercent", 21, "0009999", "0010000", true},
        LimitCase{"AcOnePercentStays", 21, "0010000", "0010000", false},
        LimitCase{"AcAboveMaximumBecomesMaximum", 21, "1030000", "1020000", true},
        LimitCase{"Ac700VoltAllowsSevenHundredFourteen", 24, "7140000", "7140000", false},
        LimitCase{"Ac700VoltAboveClampsToSevenDigits", 24, "7150000", "7140000", true},
        LimitCase{"Ac700VoltTwoHundredIsNotClamped", 24, "2000000", "2000000", false},
        LimitCase{"AcFiftyAmpereAboveClamps", 32, "5200000", "5100000", true},
        LimitCase{"BlanksReadAsZeros", 2, "1 000000", "10000000", false},
        LimitCase{"SevenDigitsOnADcRowArePaddedOnTheRight", 1, "0010000", "00100000", false},
        LimitCase{"EightDigitsOnAnAcRowAreCut", 21, "00100000", "0010000", false},
        LimitCase{"NoDigitsReadAsZero", 2, "", "00000000", false}),
    [](const testing::TestParamInfo<LimitCase>& row) { return row.param.Name; });

TEST(OutputPresets, MaximumKeyGivesTheNominalInTheRowsDigitCount) {
    EXPECT_EQ(MaximumDigits(2), "10000000");
    EXPECT_EQ(MaximumDigits(21), "1000000");
    EXPECT_EQ(MaximumDigits(24), "7000000"); // 700.0000 V, not 70.0000 V
    EXPECT_EQ(MaximumDigits(30), "50000000");
    EXPECT_EQ(MaximumDigits(32), "5000000");
    EXPECT_EQ(ResetDigits(2), "00000000");
    EXPECT_EQ(ResetDigits(24), "0010000");
}

struct RangeKeyCase {
    const char* Name;
    size_t From;
    int K;
    std::optional<int> To; // nothing: refused
};

void PrintTo(const RangeKeyCase& c, std::ostream* os) {
    *os << c.Name;
}

class RangeKeys : public testing::TestWithParam<RangeKeyCase> {};

TEST_P(RangeKeys, LeadToTheRowOfTheGroup) {
    const RangeKeyCase& c = GetParam();
    const std::optional<uint8_t> row = RangeKeyRow(c.From, c.K);
    ASSERT_EQ(row.has_value(), c.To.has_value());
    if (c.To) {
        EXPECT_EQ(*row, *c.To);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RangeKeys,
                         testing::Values(
                             // name                                    from k  to
                             RangeKeyCase{"TenVoltToOneVolt", 2, 1, 1},
                             RangeKeyCase{"SameRowStays", 2, 2, 2},
                             RangeKeyCase{"OneVoltUpKeepsShownPlus", 1, 3, 8},
                             RangeKeyCase{"OneVoltToThousandKeepsShownPlus", 1, 4, 9},
                             RangeKeyCase{"NegativeTenVoltUpKeepsShownMinus", 7, 3, 3},
                             RangeKeyCase{"HundredVoltDownKeepsShownMinus", 3, 0, 5},
                             RangeKeyCase{"NegativeHundredVoltDownKeepsShownPlus", 8, 2, 2},
                             RangeKeyCase{"OneMilliampereToOneAmpere", 10, 3, 13},
                             RangeKeyCase{"AcVoltsStayAc", 21, 4, 24},
                             RangeKeyCase{"FiftyAmperePlusToCurrentRows", 30, 1, 11},
                             RangeKeyCase{"FiftyAmpereMinusToCurrentRows", 31, 4, 19},
                             RangeKeyCase{"FiftyAmpereAcToAcCurrentRows", 32, 0, 25},
                             RangeKeyCase{"FirstResistanceRowsLeadToTheFiftyAmpereRows", 33, 0, 30},
                             RangeKeyCase{"ResistanceRowToTheAcFiftyAmpereRow", 34, 2, 32},
                             RangeKeyCase{"ResistanceRowsKeepTheirGroup", 37, 1, 36},
                             RangeKeyCase{"LastResistanceRowWithinTheTable", 35, 3, 38},
                             RangeKeyCase{"ResistanceRowPastTheTableIsRefused", 38, 4, {}},
                             RangeKeyCase{"AnyResistanceRowPastTheTableIsRefused", 35, 4, {}}),
                         [](const testing::TestParamInfo<RangeKeyCase>& row) {
                             return row.param.Name;
                         });

// Every key on every row gives 5 * group + k; only a result past the table is refused, and
// that happens on the "R" rows 35..38 with the key "0" alone.
TEST(RangeKeys, RefuseOnlyAResultPastTheTable) {
    for (size_t row = 0; row < RangeCount; ++row) {
        for (int k = 0; k <= 4; ++k) {
            const std::optional<uint8_t> to = RangeKeyRow(row, k);
            const bool pastTheTable = row >= 35 && k == 4;
            ASSERT_EQ(to.has_value(), !pastTheTable) << "row " << row << " key " << k;
            if (to) {
                EXPECT_LT(*to, RangeCount) << "row " << row << " key " << k;
                EXPECT_EQ(*to % 5, k) << "row " << row << " key " << k;
            }
        }
    }
}

TEST(ZeroDialog, CoversExactlyTheRowsWithAZeroSlot) {
    for (size_t row = 0; row < RangeCount; ++row) {
        EXPECT_EQ(FindZeroDialogEntry(row).has_value(), RangeTable[row].ZeroSlot <= 10)
            << "row " << row;
    }
    EXPECT_FALSE(FindZeroDialogEntry(RangeCount).has_value());
}

TEST(ZeroDialog, GivesDecimalsAndLetterOfTheRow) {
    struct Row {
        size_t Row;
        int Decimals;
        char Letter;
    };
    const Row rows[] = {
        {.Row = 0, .Decimals = 3, .Letter = 'u'},  {.Row = 7, .Decimals = 1, .Letter = 'u'},
        {.Row = 9, .Decimals = 2, .Letter = 'm'},  {.Row = 15, .Decimals = 2, .Letter = 'n'},
        {.Row = 17, .Decimals = 3, .Letter = 'u'}, {.Row = 31, .Decimals = 3, .Letter = 'm'},
    };
    for (const Row& r : rows) {
        const auto entry = FindZeroDialogEntry(r.Row);
        ASSERT_TRUE(entry.has_value()) << "row " << r.Row;
        EXPECT_EQ(entry->Decimals, r.Decimals) << "row " << r.Row;
        EXPECT_EQ(entry->Letter, r.Letter) << "row " << r.Row;
    }
}

} // namespace
} // namespace vr410
