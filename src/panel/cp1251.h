// Conversion of the program's Unicode texts into the Windows-1251 codes of the display font.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vr410 {

// The Windows-1251 code of a Unicode code point; '?' when the code page has no such character.
uint8_t Cp1251FromUnicode(char32_t codePoint);

// The Unicode code point of a Windows-1251 code; U+FFFD for 0x98, the one unassigned code.
char32_t UnicodeFromCp1251(uint8_t code);

// Decodes UTF-8 into code points. A malformed sequence yields one U+FFFD and decoding goes on
// with the next byte, so every input gives a result.
std::u32string DecodeUtf8(std::string_view text);

// Encodes one code point as UTF-8; values past U+10FFFF and surrogates become U+FFFD.
std::string EncodeUtf8(char32_t codePoint);

// A UTF-8 text as Windows-1251 codes, one byte per character, '?' for what the page lacks.
std::string Cp1251FromUtf8(std::string_view text);

} // namespace vr410
