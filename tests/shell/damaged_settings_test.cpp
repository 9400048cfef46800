// The program started on a damaged settings file: it starts with the defaults or the values'
// low 8 bits, and at exit it either saves, keeping what the file held besides, or shows the
// save-failure message once and leaves the file as it was. The machine has COM3 and a USB
// adapter whose caption is the Cyrillic name some rows hold, so that the name read at start
// takes the adapter up and is saved again at exit.
#include "common/damaged_ini.h"
#include "main_window_fixture.h"

#include "platform/ftdi_simulated.h"
#include "shell/usb_menu.h"

namespace vr410::test {
namespace {

class DamagedSettings : public MainWindowFixture,
                        public testing::WithParamInterface<DamagedIniCase> {
  protected:
    ~DamagedSettings() override { RepairDamage(IniPath); }

    void StartOnComThreeAndTheAdapter() {
        PortsBus = std::make_unique<sim::VirtualBus>();
        PortsBus->AddDevice<sim::VirtualInstrument>();
        auto api = std::make_unique<SimulatedSerialApi>(*PortsBus);
        api->AddPort(api->PortDeviceName(3));
        PortsApi = api.get();
        auto usb = std::make_unique<SimulatedFtdiApi>(*PortsBus);
        usb->AddAdapter(CyrillicAdapterDescription, CyrillicAdapterSerial);
        LineBackend line;
        line.Api = std::move(api);
        line.SimulatedUsb = usb.get();
        line.Usb = std::move(usb);
        Start(std::move(line));
    }
};

TEST_P(DamagedSettings, StartWithDefaultsAndSaveOrSayItCannot) {
    const DamagedIniCase& c = GetParam();
    MakeDamage(c.What, IniPath);
    std::error_code error;
    const bool regular = std::filesystem::is_regular_file(IniPath, error);
    const std::string before = regular ? FileBytesOf(IniPath) : "";

    StartOnComThreeAndTheAdapter();
    Main().show();
    EXPECT_EQ(State().AddrDevice, c.AddrDevice);
    EXPECT_EQ(State().PCDevice, c.PCDevice);
    const std::string usb = c.Usb;
    QAction* const ticked =
        !usb.empty() ? Inside().Usb().Item(usb) : Find(c.Com == 0 ? "NoPort" : "COM3");
    ASSERT_NE(ticked, nullptr);
    EXPECT_TRUE(ticked->isChecked()) << "the saved link is taken up";
    EXPECT_FALSE(Find("N15")->isChecked()) << "no row holds a valid ShowPackets";
    if (c.What == Damage::RandomTenMegabytes) {
        // Started, with the defaults. Its save rewrites the whole file once per key, nine
        // times ten megabytes, which the sanitizers make take minutes; one such write is the
        // settings file's own test.
        return;
    }
    Facilities->Messages.clear();
    {
        const AsOrdinaryUser user(IniPath);
        ASSERT_TRUE(user.Ready());
        ASSERT_TRUE(Main().close());
    }

    const RecordingSystemFacilities::Message failure{
        "Невозможно сохранение настроек в файле VR410.ini", MessageKind::Error};
    if (!c.Writable) {
        EXPECT_EQ(Facilities->Messages, std::vector{failure}) << "said once";
        if (regular) {
            EXPECT_EQ(FileBytesOf(IniPath), before) << "a failed save leaves the file alone";
        }
        return;
    }
    EXPECT_TRUE(Facilities->Messages.empty());
    const std::string after = FileBytesOf(IniPath);
    if (c.Keeps == nullptr) {
        EXPECT_GE(after.size(), before.size()) << "nothing of the file is lost";
    } else {
        EXPECT_NE(after.find(c.Keeps), std::string::npos) << "keeps " << c.Keeps;
    }
    const ProfileFile ini(IniPath);
    EXPECT_EQ(ini.ReadInteger("Data", "AddrDevice", -1), c.AddrDevice);
    EXPECT_EQ(ini.ReadInteger("Data", "PCDevice", -1), c.PCDevice);
    EXPECT_EQ(ini.ReadInteger("Data", "COM", -1), c.Com);
    EXPECT_EQ(ini.ReadString("Data", "USB", "?"), c.Usb);
    EXPECT_EQ(ini.ReadInteger("FormI", "Width", -1), 700) << "the monitor's default size";
    EXPECT_EQ(ini.ReadInteger("FormI", "Height", -1), 69);
    EXPECT_EQ(ini.ReadString("Data", "ShowPackets", "?"), "0");
}

INSTANTIATE_TEST_SUITE_P(Settings, DamagedSettings, testing::ValuesIn(DamagedIniCases),
                         [](const auto& row) { return std::string(row.param.Name); });

} // namespace
} // namespace vr410::test
