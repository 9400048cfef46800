// The settings file reader and writer on a file of any bytes. The program's nine settings are
// read, written back as the program saves them, and read again: each must read back as it was
// written, a write that fails must leave the file's bytes as they were, and a key of another
// section must keep its value through every write.
//
// Input: one byte n, then n % 32 bytes of a value written to Data/USB (the one setting that
// takes text from outside, an adapter's caption), then the file's bytes.
#include "platform/profile_file.h"
#include "platform/text_encoding.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace vr410 {
namespace {

[[noreturn]] void Violation(const char* what, std::string_view detail) {
    std::fprintf(stderr, "violated: %s [%.*s]\n", what, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

void Require(bool holds, const char* what, std::string_view detail = {}) {
    if (!holds) {
        Violation(what, detail);
    }
}

// A folder of this process's own, in memory where the system has one: the writer syncs every
// file it writes.
const std::filesystem::path& WorkFolder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base)) {
            base = std::filesystem::temp_directory_path();
        }
        std::string name = (base / "vr410-fuzz-XXXXXX").string();
        if (mkdtemp(name.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return std::filesystem::path(name);
    }();
    return folder;
}

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

struct IntegerKey {
    const char* Section;
    const char* Key;
    int32_t Default;
};

constexpr IntegerKey IntegerKeys[] = {
    {.Section = "Form", .Key = "Top", .Default = 0},
    {.Section = "Form", .Key = "Left", .Default = 0},
    {.Section = "FormI", .Key = "Width", .Default = 700},
    {.Section = "FormI", .Key = "Height", .Default = 69},
    {.Section = "Data", .Key = "AddrDevice", .Default = 1},
    {.Section = "Data", .Key = "PCDevice", .Default = 0},
    {.Section = "Data", .Key = "COM", .Default = 0},
    {.Section = "Data", .Key = "ShowPackets", .Default = 0},
};

// Writes one key and checks the outcome: a refused write leaves the file as it was, a done one
// reads back and leaves the other section's key alone.
template <typename Write, typename ReadBack>
void WriteAndCheck(ProfileFile& ini, const std::string& otherKey, Write write, ReadBack readBack) {
    const std::string before = Bytes(ini.Path());
    if (!write()) {
        Require(Bytes(ini.Path()) == before, "a refused write leaves the file as it was");
        return;
    }
    Require(readBack(), "the value written reads back");
    Require(ini.ReadString("Ports", "COM5", "\x01") == otherKey, "another section is kept",
            otherKey);
}

} // namespace
} // namespace vr410

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vr410;
    if (size < 1) {
        return 0;
    }
    const size_t valueSize = std::min<size_t>(data[0] % 32, size - 1);
    const std::string value(reinterpret_cast<const char*>(data + 1), valueSize);
    const std::string_view file(reinterpret_cast<const char*>(data + 1 + valueSize),
                                size - 1 - valueSize);

    const std::filesystem::path path = WorkFolder() / "VR410.ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
    }
    ProfileFile ini(path);
    int32_t integers[std::size(IntegerKeys)];
    for (size_t i = 0; i < std::size(IntegerKeys); ++i) {
        integers[i] =
            ini.ReadInteger(IntegerKeys[i].Section, IntegerKeys[i].Key, IntegerKeys[i].Default);
    }
    const std::string usb = ini.ReadString("Data", "USB", "");
    Require(IsValidUtf8(usb), "a value read is UTF-8", usb);
    const std::string otherKey = ini.ReadString("Ports", "COM5", "\x01");

    // Written back as the program saves them: every key, the same values.
    for (size_t i = 0; i < std::size(IntegerKeys); ++i) {
        const IntegerKey& k = IntegerKeys[i];
        WriteAndCheck(
            ini, otherKey, [&] { return ini.WriteInteger(k.Section, k.Key, integers[i]); },
            [&] { return ini.ReadInteger(k.Section, k.Key, k.Default - 1) == integers[i]; });
    }
    WriteAndCheck(
        ini, otherKey, [&] { return ini.WriteString("Data", "USB", usb); },
        [&] { return ini.ReadString("Data", "USB", "\x01") == usb; });
    // Read again: the same values.
    for (size_t i = 0; i < std::size(IntegerKeys); ++i) {
        const IntegerKey& k = IntegerKeys[i];
        if (ini.ReadInteger(k.Section, k.Key, k.Default) != integers[i]) {
            Violation("a value changed on its way back", k.Key);
        }
    }
    Require(ini.ReadString("Data", "USB", "") == usb, "the USB name kept", usb);

    // A new value from outside.
    WriteAndCheck(
        ini, otherKey, [&] { return ini.WriteString("Data", "USB", value); },
        [&] { return ini.ReadString("Data", "USB", "\x01") == value; });
    return 0;
}
