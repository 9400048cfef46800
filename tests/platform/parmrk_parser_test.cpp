#include "platform/parmrk_parser.h"

#include "platform/serial_api.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

struct ParmrkCase {
    const char* Shows;
    std::vector<uint8_t> Raw;
    std::vector<ReceivedByte> Expected;
};

void PrintTo(const ParmrkCase& c, std::ostream* os) {
    *os << c.Shows;
}

class ParmrkParserCases : public ::testing::TestWithParam<ParmrkCase> {};

TEST_P(ParmrkParserCases, FindsTheCharactersAndTheirErrorMarks) {
    const ParmrkCase& c = GetParam();
    ParmrkParser parser;
    std::vector<ReceivedByte> out;
    parser.Feed(c.Raw.data(), c.Raw.size(), out);
    EXPECT_EQ(out, c.Expected);

    // The same stream cut into single bytes gives the same characters.
    ParmrkParser bytewise;
    std::vector<ReceivedByte> pieced;
    for (const uint8_t b : c.Raw)
        bytewise.Feed(&b, 1, pieced);
    EXPECT_EQ(pieced, c.Expected);
}

const ParmrkCase Cases[] = {
    // clang-format off
    // what it shows                        raw bytes                          characters
    {"plain bytes pass",                    {0x01, 0x44, 0x00},                {{0x01, false}, {0x44, false}, {0x00, false}}},
    {"doubled FF is one data byte",         {0xFF, 0xFF},                      {{0xFF, false}}},
    {"marked character keeps its value",    {0xFF, 0x00, 0x01},                {{0x01, true}}},
    {"marked FF",                           {0xFF, 0x00, 0xFF},                {{0xFF, true}}},
    {"break is a marked zero",              {0xFF, 0x00, 0x00},                {{0x00, true}}},
    {"mark between plain bytes",            {0x10, 0xFF, 0x00, 0x20, 0x30},    {{0x10, false}, {0x20, true}, {0x30, false}}},
    {"two marks in a row",                  {0xFF, 0x00, 0x01, 0xFF, 0x00, 0x02}, {{0x01, true}, {0x02, true}}},
    {"undoubled FF is kept with its follower", {0xFF, 0x41},                   {{0xFF, false}, {0x41, false}}},
    {"cut-off mark waits for the rest",     {0x05, 0xFF, 0x00},                {{0x05, false}}},
    // clang-format on
};

INSTANTIATE_TEST_SUITE_P(Table, ParmrkParserCases, ::testing::ValuesIn(Cases));

TEST(ParmrkParser, ResetDropsACutOffMark) {
    ParmrkParser parser;
    std::vector<ReceivedByte> out;
    const uint8_t first[] = {0xFF, 0x00};
    const uint8_t second[] = {0x07};
    parser.Feed(first, 2, out);
    parser.Reset();
    parser.Feed(second, 1, out);
    EXPECT_EQ(out, (std::vector<ReceivedByte>{{0x07, false}}));
}

// Without the driver's error counters: the answer's marked address byte is the expected parity
// error, a mark on any later character a framing error that fails the receive.
TEST(MarkedCharacterError, IsParityOnTheAnswersFirstCharacterAndFramingAfterIt) {
    EXPECT_EQ(MarkedCharacterError(0), CE_RXPARITY);
    EXPECT_EQ(MarkedCharacterError(1), CE_FRAME);
    EXPECT_EQ(MarkedCharacterError(41), CE_FRAME);
}

} // namespace
} // namespace vr410
