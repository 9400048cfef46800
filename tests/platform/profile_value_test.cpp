// A key read straight from a file's bytes finds what the whole decoded text finds: the same
// line, the same section, the same value, whatever the encoding and however the lines are cut.
#include "platform/profile_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vr410 {
namespace {

using namespace std::string_literals;

struct BytesCase {
    const char* Name;
    std::string Bytes;
};

void PrintTo(const BytesCase& c, std::ostream* os) {
    *os << c.Name;
}

// clang-format off
const BytesCase BytesCases[] = {
    {"Saved",                   "[Form]\r\nTop=10\r\nLeft=20\r\n[Data]\r\nAddrDevice=4\r\nUSB=FT232R (№ A1)\r\n"},
    {"LineFeedsOnly",           "[Data]\nAddrDevice=4\nCOM=3\n"},
    {"CarriageReturnsOnly",     "[Data]\rAddrDevice=4\rCOM=3\r"},
    {"NoLastLineEnd",           "[Data]\r\nCOM=3"},
    {"SectionWithoutBracket",   "[Data\r\nCOM=3\r\n"},
    {"BlanksAndQuotes",         "  [ Data ]  \r\n\t COM \t= \"3\" \r\n USB = ' x ' \r\n"},
    {"CommentsAndBlankLines",   "[Data]\r\n;COM=9\r\n\r\n  ; AddrDevice=9\r\nCOM=3\r\n"},
    {"KeysWithoutEquals",       "[Data]\r\nCOM\r\n=5\r\nCOM=3\r\n"},
    {"DuplicateSection",        "[Data]\r\nCOM=3\r\n[Form]\r\nTop=1\r\n[DATA]\r\nCOM=9\r\nAddrDevice=9\r\n"},
    {"DuplicateKey",            "[Data]\r\ncom=3\r\nCOM=9\r\n"},
    {"Utf8Cyrillic",            "[Data]\nUSB=Адаптер (№ 1)\n[Данные]\nКлюч=значение\n"},
    {"Utf8WithBom",             "\xEF\xBB\xBF[Data]\r\nUSB=Адаптер\r\n"},
    {"Windows1251Cyrillic",     "[\xC4\xE0\xED\xED\xFB\xE5]\r\n\xCA\xEB\xFE\xF7=\xE7\xED\xE0\xF7\xE5\xED\xE8\xE5\r\n[Data]\r\nUSB=\xC0\xE4\xE0\xEF\xF2\xE5\xF0 \xB9\r\n"},
    {"BomBeforeWindows1251",    "\xEF\xBB\xBF[Data]\r\nUSB=\xC0\xE4\xE0\xEF\xF2\xE5\xF0\r\n"},
    {"CaseOfCyrillicNames",     "[\xE4\xE0\xED\xED\xFB\xE5]\r\n\xEA\xEB\xFE\xF7=1\r\n"},
    {"NulAndControlBytes",      "[Data]\r\nCOM=3\0\x01\r\nUSB=a\0b\r\n"s},
    {"Empty",                   ""},
};
// clang-format on

class ProfileValueOfBytes : public ::testing::TestWithParam<BytesCase> {};

TEST_P(ProfileValueOfBytes, FindsWhatTheDecodedTextFinds) {
    const std::string& bytes = GetParam().Bytes;
    const ProfileText text(bytes);
    const std::pair<const char*, const char*> keys[] = {
        {"Data", "COM"},     {"Data", "USB"},     {"data", "addrdevice"}, {"Form", "Top"},
        {"FORM", "left"},    {" Data ", " COM "}, {"Данные", "Ключ"},     {"ДАННЫЕ", "КЛЮЧ"},
        {"Data", "Missing"}, {"Missing", "COM"},
    };
    for (const auto& [section, key] : keys) {
        EXPECT_EQ(ProfileValue(bytes, section, key), text.Value(section, key))
            << "[" << section << "] " << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileValueOfBytes, ::testing::ValuesIn(BytesCases),
                         [](const auto& row) { return std::string(row.param.Name); });

} // namespace
} // namespace vr410
