#include "platform/profile_text.h"

#include "platform/text_encoding.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace vr410 {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// Blanks around a name or a value: spaces, tabs and carriage returns. A carriage return is
// left at a line's end when the line ends in two of them (a file whose lines end in line feeds
// only, cut off after "\r\r"); were it part of the value, writing any key would end that line
// in "\r\n" and change the value it reads.
std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The section name of a "[Name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (!line.starts_with('['))
        return std::nullopt;
    line.remove_prefix(1);
    return Trim(line.substr(0, line.find(']')));
}

// Where a key is, or would go, in the file.
struct KeyPlace {
    std::optional<size_t> SectionLine; // the first section of that name
    std::optional<size_t> KeyLine;     // the first line of that key in it
    size_t InsertAt = 0;               // after the last non-blank line of the section
};

// Whether a name matches one already folded. Folding keeps the length in bytes (it maps letters
// to letters of the same UTF-8 length), so names of another length are passed over unfolded.
bool Matches(std::string_view name, const std::string& folded) {
    return name.size() == folded.size() && FoldCase(name) == folded;
}

KeyPlace Find(const std::vector<std::string>& lines, const std::string& section,
              const std::string& key) {
    const std::string wantedSection = FoldCase(Trim(section));
    const std::string wantedKey = FoldCase(Trim(key));
    KeyPlace place;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (const auto name = SectionName(line)) {
            if (place.SectionLine)
                break; // the end of our section
            if (Matches(*name, wantedSection)) {
                place.SectionLine = i;
                place.InsertAt = i + 1;
            }
            continue;
        }
        if (!place.SectionLine)
            continue;
        const std::string_view content = Trim(line);
        if (content.empty())
            continue;
        place.InsertAt = i + 1;
        const size_t equals = content.find('=');
        if (content.starts_with(';') || equals == std::string_view::npos)
            continue;
        if (Matches(Trim(content.substr(0, equals)), wantedKey)) {
            place.KeyLine = i;
            return place;
        }
    }
    return place;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// The value as the line holds it: a value that reading would change (blanks at either end,
// which reading trims, or a pair of enclosing quotes, which it removes) goes in double quotes,
// so that it reads back exactly as written.
std::string StoredValue(const std::string& value) {
    const bool trimmed = Trim(value).size() != value.size();
    const bool enclosed =
        value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back();
    return trimmed || enclosed ? "\"" + value + "\"" : value;
}

} // namespace

// Valid UTF-8 is taken as UTF-8; anything else can only be Windows-1251, where every byte is a
// character. A byte order mark is never text: in front of bytes that are not UTF-8 after all it
// is dropped, or it would become "п»ї" glued to the first section's name.
ProfileText::ProfileText(std::string_view bytes) {
    std::string converted;
    std::string_view utf8;
    const bool marked = bytes.starts_with(Utf8Bom);
    if (marked)
        bytes.remove_prefix(Utf8Bom.size());
    if (marked && IsValidUtf8(bytes)) {
        Encoding_ = Encoding::Utf8WithBom;
        utf8 = bytes;
    } else if (IsValidUtf8(bytes)) {
        const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                       [](char c) { return static_cast<uint8_t>(c) < 0x80; });
        Encoding_ = ascii ? Encoding::Ascii : Encoding::Utf8;
        utf8 = bytes;
    } else {
        Encoding_ = Encoding::Windows1251;
        converted = Utf8FromCp1251(bytes);
        utf8 = converted;
    }
    if (utf8.find('\n') != std::string_view::npos && utf8.find("\r\n") == std::string_view::npos)
        LineEnd_ = "\n";
    while (!utf8.empty()) {
        const size_t end = std::min(utf8.find('\n'), utf8.size());
        std::string_view line = utf8.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        Lines_.emplace_back(line);
        utf8.remove_prefix(std::min(end + 1, utf8.size()));
    }
}

std::optional<std::string> ProfileText::Value(const std::string& section,
                                              const std::string& key) const {
    const KeyPlace place = Find(Lines_, section, key);
    if (!place.KeyLine)
        return std::nullopt;
    const std::string_view line = Lines_[*place.KeyLine];
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && value.front() == value.back() && IsQuote(value.front()))
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool ProfileText::SetValue(const std::string& section, const std::string& key,
                           const std::string& value) {
    const std::string_view name = Trim(key);
    if (HasLineBreak(section) || section.find(']') != std::string::npos || HasLineBreak(key) ||
        name.empty() || name.find('=') != std::string_view::npos || name.starts_with(';') ||
        name.starts_with('[') || HasLineBreak(value) || !IsValidUtf8(section) ||
        !IsValidUtf8(key) || !IsValidUtf8(value))
        return false;

    std::string line = std::string(name) + "=" + StoredValue(value);
    const KeyPlace place = Find(Lines_, section, key);
    if (place.KeyLine) {
        Lines_[*place.KeyLine] = std::move(line);
    } else if (place.SectionLine) {
        Lines_.insert(Lines_.begin() + static_cast<std::ptrdiff_t>(place.InsertAt),
                      std::move(line));
    } else {
        Lines_.push_back("[" + std::string(Trim(section)) + "]");
        Lines_.push_back(std::move(line));
    }
    return true;
}

// A file that held only ASCII, or a new one, gets Windows-1251 as the Windows program writes
// it, unless the text has characters Windows-1251 lacks; then, and for UTF-8 files, UTF-8 keeps
// every character.
std::string ProfileText::Bytes() const {
    size_t size = 0;
    for (const std::string& line : Lines_)
        size += line.size() + LineEnd_.size();
    std::string utf8;
    utf8.reserve(size);
    for (const std::string& line : Lines_) {
        utf8 += line;
        utf8 += LineEnd_;
    }
    switch (Encoding_) {
    case Encoding::Utf8:
        return utf8;
    case Encoding::Utf8WithBom:
        return std::string(Utf8Bom) + utf8;
    case Encoding::Ascii:
    case Encoding::Windows1251:
        break;
    }
    const std::optional<std::string> cp1251 = Cp1251FromUtf8Exact(utf8);
    // Windows-1251 bytes that happen to form UTF-8 ("Т—" is D2 97, the UTF-8 of "җ") would be
    // read back as UTF-8, every such character changed: then UTF-8 keeps them all.
    if (!cp1251 || (*cp1251 != utf8 && IsValidUtf8(*cp1251)))
        return utf8;
    return *cp1251;
}

// The bytes that shape a line (line ends, blanks, "[", "]", "=", ";", quotes) are ASCII: the
// same in either encoding and never part of another character, so the raw lines are cut where
// the decoded ones would be, and only the names compared and the value found are decoded.
std::optional<std::string> ProfileValue(std::string_view bytes, const std::string& section,
                                        const std::string& key) {
    if (bytes.starts_with(Utf8Bom))
        bytes.remove_prefix(Utf8Bom.size());
    const bool cp1251 = !IsValidUtf8(bytes);
    const auto utf8 = [cp1251](std::string_view text) {
        return cp1251 ? Utf8FromCp1251(text) : std::string(text);
    };
    const std::string wantedSection = FoldCase(Trim(section));
    const std::string wantedKey = FoldCase(Trim(key));
    bool inSection = false;
    while (!bytes.empty()) {
        const size_t end = std::min(bytes.find('\n'), bytes.size());
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (const auto name = SectionName(line)) {
            if (inSection)
                break; // the end of the first section of that name
            inSection = Matches(utf8(*name), wantedSection);
            continue;
        }
        const std::string_view content = Trim(line);
        const size_t equals = content.find('=');
        if (!inSection || content.starts_with(';') || equals == std::string_view::npos ||
            !Matches(utf8(Trim(content.substr(0, equals))), wantedKey))
            continue;
        std::string value = utf8(Trim(content.substr(equals + 1)));
        if (value.size() >= 2 && value.front() == value.back() && IsQuote(value.front()))
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return std::nullopt;
}

std::optional<int32_t> ProfileInteger(std::string_view value) {
    std::string_view digits = value;
    const bool negative = digits.starts_with('-');
    if (negative || digits.starts_with('+'))
        digits.remove_prefix(1);
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (error != std::errc{} || end != digits.data() + digits.size())
        return std::nullopt;
    const int64_t result = negative ? -magnitude : magnitude;
    if (result < std::numeric_limits<int32_t>::min() ||
        result > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(result);
}

} // namespace vr410
