// The two text encodings the settings file comes in, UTF-8 and Windows-1251, and the case folding
// Windows applies when it matches profile section and key names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vr410 {

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Windows-1251 bytes to UTF-8. The one unassigned byte, 0x98, becomes U+0098 so that every
// byte survives a round trip.
std::string Windows1251ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1251, or nothing when a character has no Windows-1251 code.
std::optional<std::string> Utf8ToWindows1251(std::string_view utf8);

// Lower case of UTF-8 text for case-insensitive matching: ASCII and the Cyrillic letters
// (everything Windows-1251 can hold); other characters stay as they are.
std::string FoldCase(std::string_view utf8);

} // namespace vr410
