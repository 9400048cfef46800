// The settings file reader and writer on a file of any bytes. The program's nine settings are
// read, written back as the program saves them, and read again: each must read back as it was
// written, a refused write must leave the bytes as they were, and a key of another section must
// keep its value through every write. This runs on the bytes in memory, as the profile file
// reads and writes them; now and then the same bytes also go through a real file, whose reads
// and write must give what the bytes in memory gave.
//
// Input: one byte n, then n % 32 bytes of a value written to Data/USB (the one setting that
// takes text from outside, an adapter's caption), then the file's bytes.
#include "platform/profile_file.h"
#include "platform/profile_text.h"
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

// One input in this many, the first included, also goes through a file.
constexpr unsigned FileCheckEvery = 64;

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

std::string FileBytes(const std::filesystem::path& path) {
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

// The key's integer as the profile file reads it.
int32_t ReadInteger(const ProfileText& text, const IntegerKey& k, int32_t fallback) {
    return ProfileInteger(text.Value(k.Section, k.Key).value_or("")).value_or(fallback);
}

// Sets one key as the profile file writes it, and checks the outcome: the bytes written,
// read again, give the value back and keep the other section's key. `text` becomes what the
// file would hold, so the next write starts from the bytes this one left.
template <typename ReadBack>
void WriteAndCheck(ProfileText& text, const std::string& otherKey, const char* section,
                   const char* key, const std::string& value, ReadBack readBack) {
    if (!text.SetValue(section, key, value)) {
        return;
    }
    text = ProfileText(text.Bytes());
    Require(readBack(text), "the value written reads back", value);
    Require(text.Value("Ports", "COM5").value_or("\x01") == otherKey, "another section is kept",
            otherKey);
}

// The same bytes through a file: every read gives what the bytes in memory gave, and a write
// leaves in the file the bytes the write in memory gave, or, refused, the file as it was.
void CheckFile(std::string_view file, const std::string& value) {
    const std::filesystem::path path = WorkFolder() / "VR410.ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
    }
    ProfileText memory(file);
    ProfileFile ini(path);
    for (const IntegerKey& k : IntegerKeys) {
        Require(ini.ReadInteger(k.Section, k.Key, k.Default) == ReadInteger(memory, k, k.Default),
                "the file reads as its bytes", k.Key);
    }
    Require(ini.ReadString("Data", "USB", "\x01") == memory.Value("Data", "USB").value_or("\x01"),
            "the file reads as its bytes", "USB");
    const bool set = memory.SetValue("Data", "USB", value);
    Require(ini.WriteString("Data", "USB", value) == set, "the file is written when its bytes are",
            value);
    Require(FileBytes(path) == (set ? memory.Bytes() : std::string(file)),
            "the file holds the bytes written in memory", value);
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

    static unsigned inputs = 0;
    if (inputs++ % FileCheckEvery == 0) {
        CheckFile(file, value);
    }

    ProfileText ini(file);
    int32_t integers[std::size(IntegerKeys)];
    for (size_t i = 0; i < std::size(IntegerKeys); ++i) {
        const IntegerKey& k = IntegerKeys[i];
        integers[i] = ReadInteger(ini, k, k.Default);
        // The file's reads take the key straight from the bytes.
        Require(ProfileValue(file, k.Section, k.Key) == ini.Value(k.Section, k.Key),
                "the bytes read as their text", k.Key);
    }
    Require(ProfileValue(file, "Data", "USB") == ini.Value("Data", "USB"),
            "the bytes read as their text", "USB");
    const std::string usb = ini.Value("Data", "USB").value_or("");
    Require(IsValidUtf8(usb), "a value read is UTF-8", usb);
    const std::string otherKey = ini.Value("Ports", "COM5").value_or("\x01");

    // Written back as the program saves them: every key, the same values.
    for (size_t i = 0; i < std::size(IntegerKeys); ++i) {
        const IntegerKey& k = IntegerKeys[i];
        WriteAndCheck(
            ini, otherKey, k.Section, k.Key, std::to_string(integers[i]),
            [&](const ProfileText& t) { return ReadInteger(t, k, k.Default - 1) == integers[i]; });
    }
    WriteAndCheck(ini, otherKey, "Data", "USB", usb, [&](const ProfileText& t) {
        return t.Value("Data", "USB").value_or("\x01") == usb;
    });
    // Read again: the same values.
    for (size_t i = 0; i < std::size(IntegerKeys); ++i) {
        const IntegerKey& k = IntegerKeys[i];
        if (ReadInteger(ini, k, k.Default) != integers[i]) {
            Violation("a value changed on its way back", k.Key);
        }
    }
    Require(ini.Value("Data", "USB").value_or("") == usb, "the USB name kept", usb);

    // A new value from outside.
    WriteAndCheck(ini, otherKey, "Data", "USB", value, [&](const ProfileText& t) {
        return t.Value("Data", "USB").value_or("\x01") == value;
    });
    return 0;
}
