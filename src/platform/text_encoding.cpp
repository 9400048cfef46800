#include "platform/text_encoding.h"

#include <array>
#include <cstdint>

namespace vr410 {

namespace {

// Code points of the Windows-1251 bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr std::array<char32_t, 64> Upper1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // 0xB8
};

void AppendUtf8(std::string& out, char32_t c) {
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

// Decodes one character of well-formed UTF-8 at `pos` and moves past it; malformed input
// yields its bytes one by one as U+FFFD.
char32_t NextCodePoint(std::string_view s, size_t& pos) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
    const uint8_t lead = byte(pos);
    size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    if (lead < 0xC2 || lead > 0xF4 || pos + length > s.size()) {
        ++pos;
        return 0xFFFD;
    }
    char32_t c = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        c = (c << 6) | (byte(pos + i) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += length;
    return c;
}

} // namespace

bool IsValidUtf8(std::string_view bytes) {
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t before = pos;
        const char32_t c = NextCodePoint(bytes, pos);
        // A genuine U+FFFD takes three bytes; one byte consumed means a malformed sequence.
        if (c == 0xFFFD && pos - before == 1)
            return false;
    }
    return true;
}

std::string Windows1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto b = static_cast<uint8_t>(ch);
        if (b < 0x80)
            out += ch;
        else if (b < 0xC0)
            AppendUtf8(out, Upper1251[b - 0x80]);
        else
            AppendUtf8(out, 0x0410 + (b - 0xC0));
    }
    return out;
}

std::optional<std::string> Utf8ToWindows1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = NextCodePoint(utf8, pos);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0x0410 && c <= 0x044F) {
            out += static_cast<char>(0xC0 + (c - 0x0410));
            continue;
        }
        size_t i = 0;
        while (i < Upper1251.size() && Upper1251[i] != c)
            ++i;
        if (i == Upper1251.size())
            return std::nullopt;
        out += static_cast<char>(0x80 + i);
    }
    return out;
}

std::string FoldCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const size_t start = pos;
        char32_t c = NextCodePoint(utf8, pos);
        if (c >= U'A' && c <= U'Z')
            c += 0x20;
        else if (c >= 0x0410 && c <= 0x042F) // А..Я
            c += 0x20;
        else if (c >= 0x0400 && c <= 0x040F) // Ѐ..Џ, Ё among them
            c += 0x50;
        else if (c == 0x0490) // Ґ
            c = 0x0491;
        else if (c == 0xFFFD) {
            out.append(utf8.substr(start, pos - start)); // keep malformed bytes as they are
            continue;
        }
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace vr410
