#include "platform/profile_file.h"

#include "common/temp_dir.h"
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vr410 {
namespace {

class ProfileFileTest : public ::testing::Test {
  protected:
    std::filesystem::path Ini() const { return Dir.Path() / "VR410.ini"; }
    void Put(std::string_view bytes) const { test::WriteBytes(Ini(), bytes); }
    std::string Bytes() const { return test::ReadBytes(Ini()); }

    test::TempDir Dir;
    ProfileFile File{Ini()};
};

TEST_F(ProfileFileTest, MissingFileGivesTheDefaults) {
    EXPECT_EQ(File.ReadInteger("FormI", "Width", 700), 700);
    EXPECT_EQ(File.ReadString("Data", "USB", ""), "");
    EXPECT_FALSE(std::filesystem::exists(Ini())) << "reading creates nothing";
}

struct IntegerCase {
    const char* Shows;
    const char* Text;
    int32_t Expected;
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
    *os << c.Shows;
}

class ProfileIntegers : public ProfileFileTest,
                        public ::testing::WithParamInterface<IntegerCase> {};

TEST_P(ProfileIntegers, InvalidIntegerGivesTheDefault) {
    Put(std::string("[Data]\r\nCOM=") + GetParam().Text + "\r\n");
    EXPECT_EQ(File.ReadInteger("Data", "COM", -99), GetParam().Expected);
}

const IntegerCase IntegerCases[] = {
    // clang-format off
    // what it shows                  text            value
    {"decimal",                       "12",           12},
    {"blanks around",                 "  300 ",       300},
    {"negative",                      "-5",           -5},
    {"plus sign",                     "+7",           7},
    {"smallest 32-bit",               "-2147483648",  INT32_MIN},
    {"largest 32-bit",                "2147483647",   INT32_MAX},
    {"beyond 32 bits",                "2147483648",   -99},
    {"far beyond 64 bits",            "99999999999999999999999", -99},
    {"trailing letters",              "12abc",        -99},
    {"inner blank",                   "1 2",          -99},
    {"empty",                         "",             -99},
    {"sign alone",                    "-",            -99},
    {"two signs",                     "+-3",          -99},
    {"hexadecimal",                   "0x10",         -99},
    {"fraction",                      "1.5",          -99},
    // clang-format on
};

INSTANTIATE_TEST_SUITE_P(Table, ProfileIntegers, ::testing::ValuesIn(IntegerCases));

// Lines end in line feeds only, and the last is cut off after two carriage returns: the one
// left is not part of the value, which reads the same after another key is written.
TEST_F(ProfileFileTest, CarriageReturnLeftAtALineEndIsNotPartOfTheValue) {
    Put("[Data]\nUSB = \" D \"=\r\r");
    EXPECT_EQ(File.ReadString("Data", "USB", "?"), "\" D \"=");
    ASSERT_TRUE(File.WriteInteger("Data", "COM", 3));
    EXPECT_EQ(File.ReadString("Data", "USB", "?"), "\" D \"=");
}

TEST_F(ProfileFileTest, SectionsAndKeysMatchWhateverTheirCase) {
    Put("[DATA]\r\naddrdevice=7\r\n[Настройки]\r\nКлюч=да\r\n");
    EXPECT_EQ(File.ReadInteger("Data", "AddrDevice", 1), 7);
    EXPECT_EQ(File.ReadString("НАСТРОЙКИ", "ключ", ""), "да");
    ASSERT_TRUE(File.WriteInteger("data", "ADDRDEVICE", 9));
    EXPECT_EQ(Bytes(), "[DATA]\r\nADDRDEVICE=9\r\n[Настройки]\r\nКлюч=да\r\n")
        << "the key is changed in place, not added twice";
}

TEST_F(ProfileFileTest, ReadsTheWayWindowsDoes) {
    Put("; settings\r\n"
        "[Data]\r\n"
        "  USB = \"FT232R USB UART (№ A1)\" \r\n"
        ";COM=5\r\n"
        "COM=3\r\n"
        "Empty=\r\n"
        "[Data]\r\n"
        "COM=4\r\n"
        "AddrDevice=2\r\n");
    EXPECT_EQ(File.ReadString("Data", "USB", "x"), "FT232R USB UART (№ A1)")
        << "blanks and enclosing quotes go";
    EXPECT_EQ(File.ReadInteger("Data", "COM", 0), 3) << "comments are not keys";
    EXPECT_EQ(File.ReadString("Data", "Empty", "x"), "") << "an empty value is still a value";
    EXPECT_EQ(File.ReadInteger("Data", "AddrDevice", 1), 1) << "only the first section counts";
}

TEST_F(ProfileFileTest, Windows1251FileIsReadAndWrittenBackAsWindows1251) {
    const std::string original = *Cp1251FromUtf8Exact("; Настройки программы VR410\r\n"
                                                      "[Form]\r\n"
                                                      "Top=10\r\n"
                                                      "\r\n"
                                                      "[Чужая секция]\r\n"
                                                      "Имя=Значение\r\n"
                                                      "[Data]\r\n"
                                                      "USB=Преобразователь (№ 12)\r\n"
                                                      "COM=3\r\n");
    Put(original);
    EXPECT_EQ(File.ReadString("Data", "USB", ""), "Преобразователь (№ 12)");
    EXPECT_EQ(File.ReadString("чужая секция", "ИМЯ", ""), "Значение");

    ASSERT_TRUE(File.WriteInteger("Form", "Left", 20));
    ASSERT_TRUE(File.WriteString("Data", "USB", "Адаптер (№ 7)"));
    ASSERT_TRUE(File.WriteInteger("FormI", "Width", 700));
    EXPECT_EQ(Bytes(), *Cp1251FromUtf8Exact("; Настройки программы VR410\r\n"
                                            "[Form]\r\n"
                                            "Top=10\r\n"
                                            "Left=20\r\n"
                                            "\r\n"
                                            "[Чужая секция]\r\n"
                                            "Имя=Значение\r\n"
                                            "[Data]\r\n"
                                            "USB=Адаптер (№ 7)\r\n"
                                            "COM=3\r\n"
                                            "[FormI]\r\n"
                                            "Width=700\r\n"));
}

TEST_F(ProfileFileTest, Utf8FileStaysUtf8WithItsLineEnds) {
    Put("# written by hand\n[Data]\nUSB=Адаптер\n");
    EXPECT_EQ(File.ReadString("Data", "USB", ""), "Адаптер");
    ASSERT_TRUE(File.WriteInteger("Data", "COM", 5));
    EXPECT_EQ(Bytes(), "# written by hand\n[Data]\nUSB=Адаптер\nCOM=5\n");
}

TEST_F(ProfileFileTest, ByteOrderMarkIsKept) {
    Put("\xEF\xBB\xBF[Data]\r\nUSB=Адаптер\r\n");
    EXPECT_EQ(File.ReadString("data", "usb", ""), "Адаптер");
    ASSERT_TRUE(File.WriteInteger("Data", "COM", 1));
    EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[Data]\r\nUSB=Адаптер\r\nCOM=1\r\n");
}

// A byte order mark in front of text that is not UTF-8 after all (an editor saved it so, then
// a Windows-1251 value came in): the mark is not part of the first line.
TEST_F(ProfileFileTest, ByteOrderMarkBeforeWindows1251KeepsTheFirstSection) {
    Put("\xEF\xBB\xBF[Data]\r\nCOM=6\r\nUSB=\xC0\xE4\xE0\xEF\xF2\xE5\xF0\r\n");
    EXPECT_EQ(File.ReadInteger("Data", "COM", 0), 6);
    EXPECT_EQ(File.ReadString("Data", "USB", ""), "Адаптер");
    ASSERT_TRUE(File.WriteInteger("Data", "COM", 7));
    EXPECT_EQ(Bytes(), "[Data]\r\nCOM=7\r\nUSB=\xC0\xE4\xE0\xEF\xF2\xE5\xF0\r\n")
        << "one [Data], in Windows-1251 throughout";
}

TEST_F(ProfileFileTest, NewFileIsCreatedInWindows1251) {
    ASSERT_TRUE(File.WriteString("Data", "USB", "Адаптер"));
    ASSERT_TRUE(File.WriteInteger("Data", "COM", 0));
    EXPECT_EQ(Bytes(), *Cp1251FromUtf8Exact("[Data]\r\nUSB=Адаптер\r\nCOM=0\r\n"));
    EXPECT_EQ(File.ReadString("Data", "USB", ""), "Адаптер");
}

TEST_F(ProfileFileTest, TextWindows1251CannotHoldTurnsTheFileToUtf8) {
    Put(*Cp1251FromUtf8Exact("[Data]\r\nUSB=Адаптер\r\n"));
    ASSERT_TRUE(File.WriteString("Data", "USB", "Wandler Größe"));
    EXPECT_EQ(Bytes(), "[Data]\r\nUSB=Wandler Größe\r\n");
    EXPECT_EQ(File.ReadString("Data", "USB", ""), "Wandler Größe");
}

// Whatever is written reads back as it was: values reading would trim or unquote, and text whose
// Windows-1251 bytes would pass for UTF-8 (and come back as other characters).
TEST_F(ProfileFileTest, EveryValueWrittenReadsBackAsItWas) {
    const struct {
        const char* Start; // the file before the write
        const char* Value;
    } cases[] = {
        {.Start = "", .Value = "FT232R USB UART "},
        {.Start = "", .Value = "  two blanks in front"},
        {.Start = "", .Value = "\"quoted\""},
        {.Start = "", .Value = "'single'"},
        {.Start = "", .Value = "\"\""},
        {.Start = "", .Value = "\"a\" and \"b\""},
        {.Start = "", .Value = "Т—1"},
        {.Start = "[Data]\r\nCOM=3\r\n", .Value = "РђС№"},
        {.Start = "[Data]\nUSB=\xC0\n[Ports]\nCOM5=x\n", .Value = "Т—"},
    };
    for (const auto& c : cases) {
        Put(c.Start);
        ASSERT_TRUE(File.WriteString("Data", "USB", c.Value)) << c.Value;
        EXPECT_EQ(File.ReadString("Data", "USB", "?"), c.Value) << Bytes();
    }
}

// A Windows-1251 file whose other lines would pass for UTF-8 once the one line that was not
// (here the USB name) is replaced: they keep their characters.
TEST_F(ProfileFileTest, OtherKeysKeepTheirCharactersWhenTheEncodingIsInDoubt) {
    Put(*Cp1251FromUtf8Exact("[Ports]\r\nCOM5=Т—1\r\n[Data]\r\nUSB=Адаптер\r\n"));
    ASSERT_EQ(File.ReadString("Ports", "COM5", ""), "Т—1");
    ASSERT_TRUE(File.WriteString("Data", "USB", "FT232R"));
    EXPECT_EQ(File.ReadString("Ports", "COM5", ""), "Т—1") << Bytes();
    EXPECT_EQ(File.ReadString("Data", "USB", ""), "FT232R");
}

TEST_F(ProfileFileTest, WriteThatCannotHappenFailsAndLeavesTheFileAlone) {
    ProfileFile underMissingDirectory(Dir.Path() / "no such directory" / "VR410.ini");
    EXPECT_FALSE(underMissingDirectory.WriteInteger("Data", "COM", 1));

    std::filesystem::create_directory(Dir.Path() / "a directory");
    ProfileFile directory(Dir.Path() / "a directory");
    EXPECT_FALSE(directory.WriteInteger("Data", "COM", 1));

    Put("[Data]\r\nCOM=3\r\n");
    EXPECT_FALSE(File.WriteString("Data", "USB", "two\r\n[Data]\r\nCOM=9")) << "line break";
    EXPECT_FALSE(File.WriteString("Da]ta", "USB", "x"));
    EXPECT_FALSE(File.WriteString("Data", "U=SB", "x"));
    EXPECT_FALSE(File.WriteString("Data", ";USB", "x"));
    EXPECT_FALSE(File.WriteString("Data", " ", "x"));
    EXPECT_FALSE(File.WriteString("Data", "USB", "\xD2 not UTF-8")) << "would read back changed";
    EXPECT_EQ(Bytes(), "[Data]\r\nCOM=3\r\n");
}

TEST_F(ProfileFileTest, ReadOnlyFileFailsTheWrite) {
    Put("[Data]\r\nCOM=3\r\n");
    std::filesystem::permissions(Ini(), std::filesystem::perms::owner_read |
                                            std::filesystem::perms::group_read);
    if (access(Ini().c_str(), W_OK) == 0)
        GTEST_SKIP() << "running as root: permissions do not stop the write";
    EXPECT_FALSE(File.WriteInteger("Data", "COM", 4));
    EXPECT_EQ(File.ReadInteger("Data", "COM", 0), 3);
}

// A disk that fills up in the middle of a write, made with the limit on the size of files this
// process may write (which holds for root too): every key's write replaces the whole file, so
// such a failure must leave the old file as it was, foreign sections included.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &Saved_);
        OldHandler_ = std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead
        rlimit limit = Saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &Saved_);
        std::signal(SIGXFSZ, OldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit Saved_{};
    void (*OldHandler_)(int) = nullptr;
};

std::vector<std::string> Entries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(ProfileFileTest, WriteCutShortByAFullDiskLeavesTheOldFileWhole) {
    const std::string original = "[Form]\r\nTop=10\r\n[Ports]\r\nCOM5=/dev/ttyUSB3\r\n";
    Put(original);
    {
        const FileSizeLimit full(16);
        EXPECT_FALSE(File.WriteInteger("Form", "Left", 20));
    }
    EXPECT_EQ(Bytes(), original);
    EXPECT_EQ(Entries(Dir.Path()), std::vector<std::string>{"VR410.ini"}) << "no leftovers";

    ASSERT_TRUE(File.WriteInteger("Form", "Left", 20));
    EXPECT_EQ(Entries(Dir.Path()), std::vector<std::string>{"VR410.ini"});
}

TEST_F(ProfileFileTest, WriteKeepsThePermissionsAndGoesThroughASymbolicLink) {
    const std::filesystem::path real = Dir.Path() / "shared" / "VR410.ini";
    test::WriteBytes(real, "[Data]\r\nCOM=3\r\n");
    ASSERT_EQ(chmod(real.c_str(), 0664), 0);
    std::filesystem::create_symlink(real, Ini());

    ASSERT_TRUE(File.WriteInteger("Data", "COM", 4));
    EXPECT_TRUE(std::filesystem::is_symlink(Ini())) << "the link stays a link";
    EXPECT_EQ(test::ReadBytes(real), "[Data]\r\nCOM=4\r\n");
    struct stat info {};
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0664u);
    EXPECT_EQ(Entries(real.parent_path()), std::vector<std::string>{"VR410.ini"});
}

TEST(ExecutableIni, SitsBesideTheExecutable) {
    const std::filesystem::path ini = ExecutableIniPath();
    EXPECT_EQ(ini.filename(), "VR410.ini");
    EXPECT_EQ(ini.parent_path(), std::filesystem::read_symlink("/proc/self/exe").parent_path());
}

} // namespace
} // namespace vr410
