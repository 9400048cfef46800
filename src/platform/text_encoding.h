// The program's one Windows-1251/UTF-8 codec, for the settings file (which the Windows program
// writes in Windows-1251) and for the display (whose font is laid out by Windows-1251 codes),
// and the case folding Windows applies when it matches profile section and key names.
//
// One table serves both. They differ only in what happens to a character the page lacks: the
// settings file refuses the whole text (Cp1251FromUtf8Exact gives nothing, so the file can stay
// UTF-8), the display shows '?' in its place (Cp1251FromUtf8, Cp1251FromUnicode). The one
// unassigned byte, 0x98, is taken as U+0098 both ways, so that every byte of a file survives a
// round trip.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vr410 {

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Decodes UTF-8 into code points. A malformed sequence yields one U+FFFD and decoding goes on
// with the next byte, so every input gives a result.
std::u32string DecodeUtf8(std::string_view text);

// Encodes one code point as UTF-8; values past U+10FFFF and surrogates become U+FFFD.
std::string EncodeUtf8(char32_t codePoint);

// The Unicode code point of a Windows-1251 code (0x98 gives U+0098).
char32_t UnicodeFromCp1251(uint8_t code);

// The Windows-1251 code of a code point, or nothing when the page has no such character.
std::optional<uint8_t> Cp1251Code(char32_t codePoint);

// The Windows-1251 code of a code point for the display; '?' when the page lacks it.
uint8_t Cp1251FromUnicode(char32_t codePoint);

// Windows-1251 bytes as UTF-8; every byte has a character, so nothing is lost.
std::string Utf8FromCp1251(std::string_view bytes);

// UTF-8 text as Windows-1251, or nothing when a character has no Windows-1251 code or the text
// is not well-formed UTF-8.
std::optional<std::string> Cp1251FromUtf8Exact(std::string_view utf8);

// UTF-8 text as Windows-1251 codes for the display, one byte per character, '?' for what the
// page lacks and for each malformed byte.
std::string Cp1251FromUtf8(std::string_view utf8);

// Lower case of UTF-8 text for case-insensitive matching: ASCII and the Cyrillic letters
// (everything Windows-1251 can hold); other characters and malformed bytes stay as they are.
// The result has the text's length in bytes.
std::string FoldCase(std::string_view utf8);

} // namespace vr410
