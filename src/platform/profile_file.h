// The settings file in the Windows profile (INI) format: "[Section]" lines, then "Key=Value"
// lines, ";" comment lines. Sections and keys match case-insensitively, Cyrillic included, as
// Windows matches them. The file may be UTF-8 or Windows-1251 (what the Windows program writes);
// either is read correctly and a write keeps the file's encoding and every line it does not
// change. The file is opened by name on every call; nothing is cached.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace vr410 {

class ProfileFile {
  public:
    explicit ProfileFile(std::filesystem::path path);

    // The value of the key as UTF-8, blanks around it and one pair of enclosing quotes
    // removed; `fallback` when the file, the section or the key is missing.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // The value as a decimal integer with an optional sign; `fallback` when it is missing,
    // is not such an integer or does not fit 32 bits.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;

    // Sets the key (UTF-8 value), adding the key, the section or the file as needed; a value
    // with blanks at an end or in enclosing quotes is written in double quotes, so every value
    // reads back as it was written. The new
    // version is written beside the file and renamed over it, so a crash or a full disk leaves
    // the old version whole; the file keeps its permissions, and a symbolic link is written
    // through to the file it names. Returns false, leaving the file as it was, when it cannot
    // be written (a read-only file included) or when a name or the value would break the line
    // structure (a line break; "]" in a section, "=" in a key) or is not well-formed UTF-8.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteInteger(const std::string& section, const std::string& key, int32_t value);

    const std::filesystem::path& Path() const { return Path_; }

  private:
    std::filesystem::path Path_;
};

// The settings file beside the running executable: the executable's full path with its file
// name replaced by "VR410.ini". Empty when the executable's path cannot be found.
std::filesystem::path ExecutableIniPath();

} // namespace vr410
