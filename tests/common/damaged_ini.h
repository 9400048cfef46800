// Damaged settings files: a table of ways VR410.ini can be found at start, and what reading it
// must give. Shared by the settings file's own tests and the main window's.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace vr410::test {

enum class Damage : uint8_t {
    Missing,
    Empty,
    RandomTenMegabytes,
    Binary,
    KeysWithoutValues,
    OddNumbers,
    HugeNumbers,
    DuplicateSectionsAndKeys,
    Utf8,
    Utf8WithBom,
    Windows1251,
    Directory,
    ReadOnlyFile,
    ReadOnlyFolder,
    SymlinkLoop,
};

struct DamagedIniCase {
    const char* Name;
    Damage What;
    int AddrDevice; // the values the program starts with
    int PCDevice;
    int Com;
    const char* Usb;   // UTF-8
    bool Writable;     // a save can succeed
    bool NeedsNonRoot; // root may write where the case forbids it
    // Bytes of the file that a save must keep; nullptr: the file must not shrink.
    const char* Keeps;
};

inline void PrintTo(const DamagedIniCase& c, std::ostream* os) {
    *os << c.Name;
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Makes the damage at `ini` (whose folder exists).
inline void MakeDamage(Damage what, const std::filesystem::path& ini) {
    namespace fs = std::filesystem;
    switch (what) {
    case Damage::Missing:
        break;
    case Damage::Empty:
        WriteFileBytes(ini, "");
        break;
    case Damage::RandomTenMegabytes: {
        std::mt19937 random(410);
        std::string bytes(10 * 1024 * 1024, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(random());
        }
        WriteFileBytes(ini, bytes);
        break;
    }
    case Damage::Binary: {
        std::string bytes("\x7F"
                          "ELF\x02\x01\x01\0\0\0",
                          10);
        for (int i = 0; i < 4096; ++i) {
            bytes += static_cast<char>(i * 7);
        }
        WriteFileBytes(ini, bytes);
        break;
    }
    case Damage::KeysWithoutValues:
        WriteFileBytes(ini, "[Data]\r\nAddrDevice=\r\nPCDevice\r\nCOM=\r\nUSB=\r\n=5\r\n");
        break;
    case Damage::OddNumbers:
        WriteFileBytes(ini,
                       "[Data]\r\nAddrDevice= 7 \r\nPCDevice=+3\r\nCOM=0x05\r\n"
                       "ShowPackets=- 1\r\nUSB=  \r\nUnknown= +1 \r\n[FormI]\r\nWidth=1e3\r\n");
        break;
    case Damage::HugeNumbers:
        WriteFileBytes(ini, "[Data]\r\nAddrDevice=99999999999999999999\r\nPCDevice=-1\r\n"
                            "COM=259\r\n");
        break;
    case Damage::DuplicateSectionsAndKeys:
        WriteFileBytes(ini, "[Data]\r\nAddrDevice=5\r\naddrdevice=6\r\n[Ports]\r\nCOM5=/dev/x\r\n"
                            "[DATA]\r\nPCDevice=9\r\nCOM=5\r\n");
        break;
    case Damage::Utf8:
        WriteFileBytes(ini, "[Data]\nAddrDevice=4\nUSB=Адаптер №1\n");
        break;
    case Damage::Utf8WithBom:
        WriteFileBytes(ini, "\xEF\xBB\xBF[Data]\r\nAddrDevice=4\r\nUSB=Адаптер №1\r\n");
        break;
    case Damage::Windows1251:
        // "[Data] AddrDevice=4 USB=Адаптер №1" as the Windows program writes it.
        WriteFileBytes(ini, "[Data]\r\nAddrDevice=4\r\nUSB=\xC0\xE4\xE0\xEF\xF2\xE5\xF0 \xB9"
                            "1\r\n");
        break;
    case Damage::Directory:
        fs::create_directory(ini);
        break;
    case Damage::ReadOnlyFile:
        WriteFileBytes(ini, "[Data]\r\nAddrDevice=4\r\n");
        fs::permissions(ini,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        break;
    case Damage::ReadOnlyFolder:
        WriteFileBytes(ini, "[Data]\r\nAddrDevice=4\r\n");
        fs::permissions(ini.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
        break;
    case Damage::SymlinkLoop:
        fs::create_symlink("loop.ini", ini);
        fs::create_symlink(ini.filename(), ini.parent_path() / "loop.ini");
        break;
    }
}

// Undoes what would keep the folder from being removed.
inline void RepairDamage(const std::filesystem::path& ini) {
    std::error_code ignored;
    std::filesystem::permissions(ini.parent_path(), std::filesystem::perms::owner_all, ignored);
}

inline bool RunningAsRoot() {
    return geteuid() == 0;
}

inline std::string FileBytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// clang-format off
inline const DamagedIniCase DamagedIniCases[] = {
    // name                       damage                            addr pc  com usb            writable nonroot keeps
    {"Missing",                   Damage::Missing,                  1,   0,  0,  "",            true, false, ""},
    {"Empty",                     Damage::Empty,                    1,   0,  0,  "",            true, false, ""},
    {"RandomTenMegabytes",        Damage::RandomTenMegabytes,       1,   0,  0,  "",            true, false, nullptr},
    {"Binary",                    Damage::Binary,                   1,   0,  0,  "",            true, false, nullptr},
    {"KeysWithoutValues",         Damage::KeysWithoutValues,        1,   0,  0,  "",            true, false, "PCDevice\r\n"},
    {"SpacesSignsAndHex",         Damage::OddNumbers,               7,   3,  0,  "",            true, false, "Unknown= +1 \r\n"},
    {"TwentyDigitsAndLow8Bits",   Damage::HugeNumbers,              1,   255, 3, "",            true, false, "[Data]\r\n"},
    {"DuplicateSectionsAndKeys",  Damage::DuplicateSectionsAndKeys, 5,   0,  0,  "",            true, false, "[Ports]\r\nCOM5=/dev/x\r\n[DATA]\r\nPCDevice=9\r\nCOM=5\r\n"},
    {"Utf8",                      Damage::Utf8,                     4,   0,  0,  "Адаптер №1",  true, false, "USB=Адаптер №1\n"},
    {"Utf8WithBom",               Damage::Utf8WithBom,              4,   0,  0,  "Адаптер №1",  true, false, "\xEF\xBB\xBF[Data]\r\n"},
    {"Windows1251",               Damage::Windows1251,              4,   0,  0,  "Адаптер №1",  true, false, "USB=\xC0\xE4\xE0\xEF\xF2\xE5\xF0 \xB9" "1\r\n"},
    {"Directory",                 Damage::Directory,                1,   0,  0,  "",            false, false, ""},
    {"ReadOnlyFile",              Damage::ReadOnlyFile,             4,   0,  0,  "",            false, true, "[Data]\r\nAddrDevice=4\r\n"},
    {"ReadOnlyFolder",            Damage::ReadOnlyFolder,           4,   0,  0,  "",            false, true, "[Data]\r\nAddrDevice=4\r\n"},
    {"SymlinkLoop",               Damage::SymlinkLoop,              1,   0,  0,  "",            false, false, ""},
};
// clang-format on

} // namespace vr410::test
