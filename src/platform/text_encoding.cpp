// The Windows-1251 page: 0x00..0x7F are ASCII, 0xC0..0xFF the Cyrillic alphabet А..я in
// order (U+0410..U+044F); the table below covers the rest, 0x80..0xBF.
#include "platform/text_encoding.h"

#include <array>

namespace vr410 {

namespace {

constexpr char32_t Replacement = 0xFFFD;
constexpr char32_t CyrillicCapitalA = 0x0410;
constexpr char32_t CyrillicSmallYa = 0x044F;

// clang-format off
constexpr std::array<char32_t, 64> UpperHalf = {
//  x0      x1      x2      x3      x4      x5      x6      x7      x8      x9      xA      xB      xC      xD      xE      xF
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 8x
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 9x
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // Ax
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // Bx
};
// clang-format on

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = Replacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// One character of UTF-8 at `pos`, and `pos` moved past it; a malformed sequence gives
// nothing and moves one byte on.
std::optional<char32_t> NextCodePoint(std::string_view s, size_t& pos) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
    const uint8_t lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    const size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (lead < 0xC2 || lead > 0xF4 || pos + length > s.size()) {
        ++pos;
        return std::nullopt;
    }
    char32_t c = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            ++pos;
            return std::nullopt;
        }
        c = (c << 6) | (byte(pos + i) & 0x3F);
    }
    constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < Smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return std::nullopt;
    }
    pos += length;
    return c;
}

} // namespace

bool IsValidUtf8(std::string_view bytes) {
    size_t pos = 0;
    while (pos < bytes.size()) {
        if (!NextCodePoint(bytes, pos))
            return false;
    }
    return true;
}

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string result;
    result.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size())
        result.push_back(NextCodePoint(text, pos).value_or(Replacement));
    return result;
}

std::string EncodeUtf8(char32_t codePoint) {
    std::string out;
    AppendUtf8(out, codePoint);
    return out;
}

char32_t UnicodeFromCp1251(uint8_t code) {
    if (code < 0x80)
        return code;
    if (code >= 0xC0)
        return CyrillicCapitalA + (code - 0xC0);
    return UpperHalf[code - 0x80];
}

std::optional<uint8_t> Cp1251Code(char32_t codePoint) {
    if (codePoint < 0x80)
        return static_cast<uint8_t>(codePoint);
    if (codePoint >= CyrillicCapitalA && codePoint <= CyrillicSmallYa)
        return static_cast<uint8_t>(0xC0 + (codePoint - CyrillicCapitalA));
    for (size_t i = 0; i < UpperHalf.size(); ++i) {
        if (UpperHalf[i] == codePoint)
            return static_cast<uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

uint8_t Cp1251FromUnicode(char32_t codePoint) {
    return Cp1251Code(codePoint).value_or('?');
}

std::string Utf8FromCp1251(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes)
        AppendUtf8(out, UnicodeFromCp1251(static_cast<uint8_t>(ch)));
    return out;
}

std::optional<std::string> Cp1251FromUtf8Exact(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const std::optional<char32_t> c = NextCodePoint(utf8, pos);
        const std::optional<uint8_t> code = c ? Cp1251Code(*c) : std::nullopt;
        if (!code)
            return std::nullopt;
        out += static_cast<char>(*code);
    }
    return out;
}

std::string Cp1251FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const std::optional<char32_t> c = NextCodePoint(utf8, pos);
        out += static_cast<char>(c ? Cp1251FromUnicode(*c) : '?');
    }
    return out;
}

std::string FoldCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const size_t start = pos;
        const std::optional<char32_t> decoded = NextCodePoint(utf8, pos);
        if (!decoded) {
            out.append(utf8.substr(start, pos - start)); // malformed bytes stay as they are
            continue;
        }
        char32_t c = *decoded;
        if ((c >= U'A' && c <= U'Z') || (c >= 0x0410 && c <= 0x042F)) // A..Z, А..Я
            c += 0x20;
        else if (c >= 0x0400 && c <= 0x040F) // Ѐ..Џ, Ё among them
            c += 0x50;
        else if (c == 0x0490) // Ґ
            c = 0x0491;
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace vr410
