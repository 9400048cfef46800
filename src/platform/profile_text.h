// A settings file's text held in memory: read from the file's bytes, its keys read and set, and
// turned back into the bytes to write, with no file involved. The profile file
// (platform/profile_file.h) reads and writes through it; the format and its rules are told
// there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vr410 {

class ProfileText {
  public:
    // The text of a file's bytes, UTF-8 or Windows-1251, with or without a byte order mark;
    // empty bytes are a missing file.
    explicit ProfileText(std::string_view bytes);

    // The key's value as UTF-8, blanks around it and one pair of enclosing quotes removed;
    // nothing when the section or the key is missing.
    std::optional<std::string> Value(const std::string& section, const std::string& key) const;

    // Sets the key to the UTF-8 value, adding the key or the section as needed and keeping
    // every other line. False, the text unchanged, when a name or the value would break the
    // line structure (a line break; "]" in a section, "=" in a key) or is not well-formed UTF-8.
    bool SetValue(const std::string& section, const std::string& key, const std::string& value);

    // The bytes to write: the file's own encoding and line end.
    std::string Bytes() const;

  private:
    enum class Encoding : uint8_t {
        Ascii,       // nothing beyond ASCII: either encoding fits
        Utf8,        // UTF-8 without a byte order mark
        Utf8WithBom, // UTF-8 behind a byte order mark
        Windows1251,
    };

    std::vector<std::string> Lines_; // as UTF-8, without their line ends
    Encoding Encoding_ = Encoding::Ascii;
    std::string LineEnd_ = "\r\n"; // the Windows program's line end, for new files
};

// The key's value in a file's bytes, as ProfileText(bytes).Value(section, key) gives it, without
// decoding more of the bytes than the section lines and the lines of the key's section.
std::optional<std::string> ProfileValue(std::string_view bytes, const std::string& section,
                                        const std::string& key);

// A value as a decimal integer with an optional sign; nothing when it is not such an integer
// or does not fit 32 bits.
std::optional<int32_t> ProfileInteger(std::string_view value);

} // namespace vr410
