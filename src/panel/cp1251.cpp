// The Windows-1251 page: 0x00..0x7F are ASCII, 0xC0..0xFF the Cyrillic alphabet А..я in
// order (U+0410..U+044F); the table below covers the rest, 0x80..0xBF.
#include "panel/cp1251.h"

#include <array>

namespace vr410 {
namespace {

constexpr char32_t Unassigned = 0xFFFD;

// clang-format off
constexpr std::array<char32_t, 64> UpperHalf = {
//  x0      x1      x2      x3      x4      x5      x6      x7      x8      x9      xA      xB      xC      xD      xE      xF
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 8x
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, Unassigned, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 9x
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // Ax
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // Bx
};
// clang-format on

constexpr char32_t CyrillicCapitalA = 0x0410;
constexpr char32_t CyrillicSmallYa = 0x044F;

} // namespace

uint8_t Cp1251FromUnicode(char32_t codePoint) {
    if (codePoint < 0x80) {
        return static_cast<uint8_t>(codePoint);
    }
    if (codePoint >= CyrillicCapitalA && codePoint <= CyrillicSmallYa) {
        return static_cast<uint8_t>(0xC0 + (codePoint - CyrillicCapitalA));
    }
    if (codePoint != Unassigned) {
        for (size_t i = 0; i < UpperHalf.size(); ++i) {
            if (UpperHalf[i] == codePoint) {
                return static_cast<uint8_t>(0x80 + i);
            }
        }
    }
    return '?';
}

char32_t UnicodeFromCp1251(uint8_t code) {
    if (code < 0x80) {
        return code;
    }
    if (code >= 0xC0) {
        return CyrillicCapitalA + (code - 0xC0);
    }
    return UpperHalf[code - 0x80];
}

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<uint8_t>(text[i]);
        size_t length = 0;
        char32_t codePoint = 0;
        char32_t smallest = 0;
        if (lead < 0x80) {
            length = 1;
            codePoint = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            codePoint = lead & 0x1F;
            smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            codePoint = lead & 0x0F;
            smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            codePoint = lead & 0x07;
            smallest = 0x10000;
        }
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed too.
        valid = valid && codePoint >= smallest && codePoint <= 0x10FFFF &&
                !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
        if (valid) {
            result.push_back(codePoint);
            i += length;
        } else {
            result.push_back(Unassigned);
            ++i;
        }
    }
    return result;
}

std::string EncodeUtf8(char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        codePoint = Unassigned;
    }
    std::string out;
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return out;
}

std::string Cp1251FromUtf8(std::string_view text) {
    std::string out;
    for (char32_t codePoint : DecodeUtf8(text)) {
        out += static_cast<char>(Cp1251FromUnicode(codePoint));
    }
    return out;
}

} // namespace vr410
