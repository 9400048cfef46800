// Damaged settings files: a table of ways VR410.ini can be found at start, and what reading it
// must give. Shared by the settings file's own tests and the main window's. POSIX only (named
// pipes, the effective user).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <sys/stat.h>
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
    NamedPipe,
    LinkToEndlessDevice,
};

struct DamagedIniCase {
    const char* Name;
    Damage What;
    int AddrDevice; // the values the program starts with
    int PCDevice;
    int Com;
    const char* Usb; // UTF-8
    bool Writable;   // a save can succeed
    // Bytes of the file that a save must keep; nullptr: the file must not shrink.
    const char* Keeps;
};

// The USB adapter the Cyrillic rows name: its caption is the description and the serial number.
constexpr const char* CyrillicAdapterDescription = "Адаптер";
constexpr const char* CyrillicAdapterSerial = "VR000001";

inline void PrintTo(const DamagedIniCase& c, std::ostream* os) {
    *os << c.Name;
}

// Ten megabytes of random bytes, made once for every test that wants them.
inline const std::string& RandomTenMegabytes() {
    static const std::string bytes = [] {
        std::mt19937 random(410);
        std::string made(10 * 1024 * 1024, '\0');
        for (char& b : made) {
            b = static_cast<char>(random());
        }
        return made;
    }();
    return bytes;
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline constexpr const char* Windows1251Usb =
    "[Data]\r\nAddrDevice=4\r\nUSB=\xC0\xE4\xE0\xEF\xF2\xE5\xF0 (\xB9 VR000001)\r\n";

// Makes the damage at `ini` (whose folder exists).
inline void MakeDamage(Damage what, const std::filesystem::path& ini) {
    namespace fs = std::filesystem;
    switch (what) {
    case Damage::Missing:
        break;
    case Damage::Empty:
        WriteFileBytes(ini, "");
        break;
    case Damage::RandomTenMegabytes:
        WriteFileBytes(ini, RandomTenMegabytes());
        break;
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
        WriteFileBytes(ini, "[Data]\nAddrDevice=4\nUSB=Адаптер (№ VR000001)\n");
        break;
    case Damage::Utf8WithBom:
        WriteFileBytes(ini, "\xEF\xBB\xBF[Data]\r\nAddrDevice=4\r\nUSB=Адаптер (№ VR000001)\r\n");
        break;
    case Damage::Windows1251:
        // "[Data] AddrDevice=4 USB=Адаптер (№ VR000001)" as the Windows program writes it.
        WriteFileBytes(ini, Windows1251Usb);
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
    case Damage::NamedPipe:
        mkfifo(ini.c_str(), 0644);
        break;
    case Damage::LinkToEndlessDevice:
        fs::create_symlink("/dev/zero", ini);
        break;
    }
}

// Undoes what would keep the folder from being removed.
inline void RepairDamage(const std::filesystem::path& ini) {
    std::error_code ignored;
    std::filesystem::permissions(ini.parent_path(), std::filesystem::perms::owner_all, ignored);
}

// Permissions do not stop root. Run as root, the folder of `ini` and what is in it are handed
// to an ordinary user and the code in the guard's scope runs as that user, so that a read-only
// file or folder refuses a write as it does on the operator's machine. Does nothing otherwise.
class AsOrdinaryUser {
  public:
    explicit AsOrdinaryUser(const std::filesystem::path& ini) {
        if (geteuid() != 0) {
            return;
        }
        constexpr uid_t Nobody = 65534;
        const std::filesystem::path folder = ini.parent_path();
        bool handedOver = lchown(folder.c_str(), Nobody, Nobody) == 0;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            handedOver = lchown(entry.path().c_str(), Nobody, Nobody) == 0 && handedOver;
        }
        Active_ = handedOver && !error && setegid(Nobody) == 0 && seteuid(Nobody) == 0;
    }
    ~AsOrdinaryUser() {
        if (Active_ && (seteuid(0) != 0 || setegid(0) != 0)) {
            std::abort(); // every later test would run with the wrong rights
        }
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

    // False when running as root and the user could not be changed.
    bool Ready() const { return Active_ || geteuid() != 0; }

  private:
    bool Active_ = false;
};

inline std::string FileBytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// clang-format off
inline const DamagedIniCase DamagedIniCases[] = {
    // name                       damage                            addr pc   com usb                    writable keeps
    {"Missing",                   Damage::Missing,                  1,   0,   0,  "",                    true,  ""},
    {"Empty",                     Damage::Empty,                    1,   0,   0,  "",                    true,  ""},
    {"RandomTenMegabytes",        Damage::RandomTenMegabytes,       1,   0,   0,  "",                    true,  nullptr},
    {"Binary",                    Damage::Binary,                   1,   0,   0,  "",                    true,  nullptr},
    {"KeysWithoutValues",         Damage::KeysWithoutValues,        1,   0,   0,  "",                    true,  "PCDevice\r\n"},
    {"SpacesSignsAndHex",         Damage::OddNumbers,               7,   3,   0,  "",                    true,  "Unknown= +1 \r\n"},
    {"TwentyDigitsAndLow8Bits",   Damage::HugeNumbers,              1,   255, 3,  "",                    true,  "[Data]\r\n"},
    {"DuplicateSectionsAndKeys",  Damage::DuplicateSectionsAndKeys, 5,   0,   0,  "",                    true,  "[Ports]\r\nCOM5=/dev/x\r\n[DATA]\r\nPCDevice=9\r\nCOM=5\r\n"},
    {"Utf8",                      Damage::Utf8,                     4,   0,   0,  "Адаптер (№ VR000001)", true,  "USB=Адаптер (№ VR000001)\n"},
    {"Utf8WithBom",               Damage::Utf8WithBom,              4,   0,   0,  "Адаптер (№ VR000001)", true,  "\xEF\xBB\xBF[Data]\r\n"},
    {"Windows1251",               Damage::Windows1251,              4,   0,   0,  "Адаптер (№ VR000001)", true,  "USB=\xC0\xE4\xE0\xEF\xF2\xE5\xF0 (\xB9 VR000001)\r\n"},
    {"Directory",                 Damage::Directory,                1,   0,   0,  "",                    false, ""},
    {"ReadOnlyFile",              Damage::ReadOnlyFile,             4,   0,   0,  "",                    false, "[Data]\r\nAddrDevice=4\r\n"},
    {"ReadOnlyFolder",            Damage::ReadOnlyFolder,           4,   0,   0,  "",                    false, "[Data]\r\nAddrDevice=4\r\n"},
    {"SymlinkLoop",               Damage::SymlinkLoop,              1,   0,   0,  "",                    false, ""},
    {"NamedPipe",                 Damage::NamedPipe,                1,   0,   0,  "",                    false, ""},
    {"LinkToEndlessDevice",       Damage::LinkToEndlessDevice,      1,   0,   0,  "",                    false, ""},
};
// clang-format on

} // namespace vr410::test
