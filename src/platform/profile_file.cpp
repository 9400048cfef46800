#include "platform/profile_file.h"

#include "platform/text_encoding.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vr410 {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

enum class FileEncoding : uint8_t {
    Ascii,       // nothing beyond ASCII: either encoding fits
    Utf8,        // UTF-8 without a byte order mark
    Utf8WithBom, // UTF-8 behind a byte order mark
    Windows1251,
};

// The file's lines as UTF-8, with what is needed to write it back the way it was.
struct ProfileText {
    std::vector<std::string> Lines; // without their line ends
    FileEncoding Encoding = FileEncoding::Ascii;
    std::string LineEnd = "\r\n"; // the Windows program's line end, for new files
};

std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return bytes.str();
}

// Valid UTF-8 is taken as UTF-8; anything else can only be Windows-1251, where every byte is a
// character. A byte order mark is never text: in front of bytes that are not UTF-8 after all it
// is dropped, or it would become "п»ї" glued to the first section's name.
ProfileText Decode(std::string_view bytes) {
    ProfileText text;
    std::string utf8;
    const bool marked = bytes.starts_with(Utf8Bom);
    if (marked)
        bytes.remove_prefix(Utf8Bom.size());
    if (marked && IsValidUtf8(bytes)) {
        text.Encoding = FileEncoding::Utf8WithBom;
        utf8 = bytes;
    } else if (IsValidUtf8(bytes)) {
        const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                       [](char c) { return static_cast<uint8_t>(c) < 0x80; });
        text.Encoding = ascii ? FileEncoding::Ascii : FileEncoding::Utf8;
        utf8 = bytes;
    } else {
        text.Encoding = FileEncoding::Windows1251;
        utf8 = Utf8FromCp1251(bytes);
    }
    if (utf8.find('\n') != std::string::npos && utf8.find("\r\n") == std::string::npos)
        text.LineEnd = "\n";
    size_t start = 0;
    while (start < utf8.size()) {
        size_t end = utf8.find('\n', start);
        if (end == std::string::npos)
            end = utf8.size();
        std::string line = utf8.substr(start, end - start);
        if (line.ends_with('\r'))
            line.pop_back();
        text.Lines.push_back(std::move(line));
        start = end + 1;
    }
    return text;
}

// The bytes to write: the file's own encoding. A file that held only ASCII, or a new one, gets
// Windows-1251 as the Windows program writes it, unless the text has characters Windows-1251
// lacks; then, and for UTF-8 files, UTF-8 keeps every character.
std::string Encode(const ProfileText& text) {
    std::string utf8;
    for (const std::string& line : text.Lines)
        utf8 += line + text.LineEnd;
    switch (text.Encoding) {
    case FileEncoding::Utf8:
        return utf8;
    case FileEncoding::Utf8WithBom:
        return std::string(Utf8Bom) + utf8;
    case FileEncoding::Ascii:
    case FileEncoding::Windows1251:
        break;
    }
    const std::optional<std::string> cp1251 = Cp1251FromUtf8Exact(utf8);
    // Windows-1251 bytes that happen to form UTF-8 ("Т—" is D2 97, the UTF-8 of "җ") would be
    // read back as UTF-8, every such character changed: then UTF-8 keeps them all.
    if (!cp1251 || (*cp1251 != utf8 && IsValidUtf8(*cp1251)))
        return utf8;
    return *cp1251;
}

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
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

KeyPlace Find(const ProfileText& text, const std::string& section, const std::string& key) {
    const std::string wantedSection = FoldCase(Trim(section));
    const std::string wantedKey = FoldCase(Trim(key));
    KeyPlace place;
    for (size_t i = 0; i < text.Lines.size(); ++i) {
        const std::string_view line = text.Lines[i];
        if (const auto name = SectionName(line)) {
            if (place.SectionLine)
                break; // the end of our section
            if (FoldCase(*name) == wantedSection) {
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
        if (FoldCase(Trim(content.substr(0, equals))) == wantedKey) {
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

// The file a path names once every symbolic link on the way is followed, so that a write
// replaces the linked file and leaves the link as it is. A dangling link gives the file it
// would create.
std::filesystem::path FinalTarget(std::filesystem::path path) {
    std::error_code error;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(path, error); ++hops) {
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error)
            break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

#ifdef _WIN32

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path target = FinalTarget(path);
    std::filesystem::path directory = target.parent_path();
    if (directory.empty())
        directory = L".";
    // A target that exists must be writable: replacing a read-only file would defeat its
    // protection.
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        HANDLE probe =
            CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(probe);
    }
    wchar_t temporary[MAX_PATH];
    if (GetTempFileNameW(directory.c_str(), L"VR4", 0, temporary) == 0)
        return false;
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    bool written = file != INVALID_HANDLE_VALUE;
    if (written) {
        DWORD done = 0;
        written = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                  done == bytes.size() && FlushFileBuffers(file);
        written = CloseHandle(file) && written;
    }
    if (!written || !MoveFileExW(temporary, target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary);
        return false;
    }
    return true;
}

#else

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(done));
    }
    return true;
}

// Writes the new version to a temporary file beside the target, flushes it to the disk and
// renames it over the target, so that at every moment the file on the disk is either the old
// version or the new one, whole. The target keeps its permission bits and, where the process
// may give them, its owner and group; a new file gets the usual 0666 less the umask. False,
// with the old file untouched and no temporary file left, when any step fails; a target that
// exists but may not be written (a read-only settings file) is not replaced either.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path target = FinalTarget(path);
    struct stat old {};
    bool existed = false;
    const int probe = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (probe >= 0) {
        existed = fstat(probe, &old) == 0;
        close(probe);
        if (!existed || !S_ISREG(old.st_mode))
            return false;
    } else if (errno != ENOENT) {
        return false;
    }

    std::filesystem::path directory = target.parent_path();
    if (directory.empty())
        directory = ".";
    std::string temporary = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    mode_t mode = 0;
    if (existed) {
        mode = old.st_mode & 07777;
        if (fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Only the owner's own files can be given away; the permission bits still hold.
        }
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    bool written = WriteAll(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the directory.
    const int dir = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

#endif

} // namespace

ProfileFile::ProfileFile(std::filesystem::path path) : Path_(std::move(path)) {}

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& fallback) const {
    const auto bytes = ReadBytes(Path_);
    if (!bytes)
        return fallback;
    const ProfileText text = Decode(*bytes);
    const KeyPlace place = Find(text, section, key);
    if (!place.KeyLine)
        return fallback;
    const std::string_view line = text.Lines[*place.KeyLine];
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\''))
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

int32_t ProfileFile::ReadInteger(const std::string& section, const std::string& key,
                                 int32_t fallback) const {
    const std::string text = ReadString(section, key, "");
    std::string_view digits = text;
    const bool negative = digits.starts_with('-');
    if (negative || digits.starts_with('+'))
        digits.remove_prefix(1);
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return fallback;
    int64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (error != std::errc{} || end != digits.data() + digits.size())
        return fallback;
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return fallback;
    return static_cast<int32_t>(value);
}

bool ProfileFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
    const std::string_view name = Trim(key);
    if (HasLineBreak(section) || section.find(']') != std::string::npos || HasLineBreak(key) ||
        name.empty() || name.find('=') != std::string_view::npos || name.starts_with(';') ||
        name.starts_with('[') || HasLineBreak(value) || !IsValidUtf8(section) ||
        !IsValidUtf8(key) || !IsValidUtf8(value))
        return false;

    ProfileText text;
    std::error_code error;
    if (std::filesystem::exists(Path_, error)) {
        const auto bytes = ReadBytes(Path_);
        if (!bytes)
            return false;
        text = Decode(*bytes);
    }

    const std::string line = std::string(name) + "=" + StoredValue(value);
    const KeyPlace place = Find(text, section, key);
    if (place.KeyLine) {
        text.Lines[*place.KeyLine] = line;
    } else if (place.SectionLine) {
        text.Lines.insert(text.Lines.begin() + static_cast<std::ptrdiff_t>(place.InsertAt), line);
    } else {
        text.Lines.push_back("[" + std::string(Trim(section)) + "]");
        text.Lines.push_back(line);
    }

    return ReplaceFile(Path_, Encode(text));
}

bool ProfileFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    return WriteString(section, key, std::to_string(value));
}

std::filesystem::path ExecutableIniPath() {
#ifdef _WIN32
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    std::filesystem::path executable(buffer);
#else
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
#endif
    return executable.replace_filename("VR410.ini");
}

} // namespace vr410
