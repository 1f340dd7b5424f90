#include "platform/SimulatedVirtualHidDevice.h"
#include "platform/TextCodec.h"
#include "softkeys/DriverInstaller.h"
#include "softkeys/SoftKeyDevices.h"
#include "softkeys/VHidev.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Records the command lines; "installing" makes the virtual device appear.
struct RecordingRunner : ProcessRunner {
    bool RunAndWait(const std::wstring& program, const std::vector<std::wstring>& arguments) override
    {
        std::wstring line = program;
        for (const auto& a : arguments)
            line += L" " + a;
        lines.push_back(line);
        if (installMakesDevicePresent && std::find(arguments.begin(), arguments.end(), L"install") != arguments.end())
            device->SetPresent(true);
        return true;
    }
    std::vector<std::wstring> lines;
    platform::SimulatedVirtualHidDevice* device = nullptr;
    bool installMakesDevicePresent = true;
};

class DriverInstallerTest : public ::testing::Test {
protected:
    DriverInstallerTest()
    {
        folder_ = fs::temp_directory_path() / ("keystead-driver-" + std::to_string(getpid()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        auto device = std::make_unique<platform::SimulatedVirtualHidDevice>();
        device_ = device.get();
        vhid_ = std::make_unique<VHidev>(std::move(device));
        runner_.device = device_;
        Touch("keystead-driver.sh");
    }
    ~DriverInstallerTest() override { fs::remove_all(folder_); }

    void Touch(const std::string& name) { std::ofstream(folder_ / name) << "x"; }
    std::wstring Folder() const { return platform::FromUtf8(folder_.string()); }
    DriverInstaller Make(std::wstring installedRules = L"/nonexistent/70-keystead.rules")
    {
        return DriverInstaller(*vhid_, runner_, Folder(), {{0x1209, 0x4b01}, {0x0c45, 0x652f}}, installedRules);
    }
    // The script's command line as the runner sees it, as root (by sh) or through pkexec.
    std::wstring Command(const std::wstring& args) const
    {
        const std::wstring script = Folder() + L"/keystead-driver.sh";
        return (geteuid() == 0 ? L"/bin/sh " : L"pkexec /bin/sh ") + script + L" " + args;
    }

    fs::path folder_;
    platform::SimulatedVirtualHidDevice* device_ = nullptr;
    std::unique_ptr<VHidev> vhid_;
    RecordingRunner runner_;
};

TEST_F(DriverInstallerTest, PresentDeviceStartsNoProcess)
{
    auto installer = Make();
    EXPECT_TRUE(installer.InstallDrivers());
    EXPECT_TRUE(runner_.lines.empty());
}

TEST_F(DriverInstallerTest, InstallsFullPackageWithKeyboardIdsAndFindsDevice)
{
    Touch("keystead-input.rules");
    Touch("keystead-uinput.rules");
    device_->SetPresent(false);
    auto installer = Make();
    EXPECT_TRUE(installer.InstallDrivers());
    EXPECT_EQ(runner_.lines, std::vector<std::wstring>{Command(L"install " + Folder() +
                                                               L"/keystead-input.rules 1209:4B01 0C45:652F")});
    EXPECT_TRUE(vhid_->IsOpen());
}

TEST_F(DriverInstallerTest, OnlyVirtualDevicePackageIsNamedWhenFullOneIsMissing)
{
    Touch("keystead-uinput.rules");
    fs::create_directories(folder_ / "keystead-input.rules");  // a folder is not a package
    device_->SetPresent(false);
    auto installer = Make();
    installer.InstallDrivers();
    ASSERT_EQ(runner_.lines.size(), 1u);
    EXPECT_NE(runner_.lines[0].find(L"install " + Folder() + L"/keystead-uinput.rules "), std::wstring::npos);
}

TEST_F(DriverInstallerTest, InstalledRulesAreRemovedFirst)
{
    Touch("installed.rules");
    device_->SetPresent(false);
    runner_.installMakesDevicePresent = false;
    auto installer = Make(Folder() + L"/installed.rules");
    EXPECT_FALSE(installer.InstallDrivers());  // the device stays missing
    ASSERT_EQ(runner_.lines.size(), 2u);
    EXPECT_EQ(runner_.lines[0], Command(L"remove"));
}

TEST_F(DriverInstallerTest, MissingScriptFailsWithoutStartingAnything)
{
    fs::remove(folder_ / "keystead-driver.sh");
    Touch("installed.rules");
    device_->SetPresent(false);
    auto installer = Make(Folder() + L"/installed.rules");
    EXPECT_FALSE(installer.RemoveVirtualDevice());
    EXPECT_FALSE(installer.InstallDrivers());
    EXPECT_TRUE(runner_.lines.empty());
}

TEST(KeyboardIdsTest, ConfiguredIdentitiesEachOnceInFileOrder)
{
    std::vector<DeviceEntry> entries(5);
    entries[0].vendorId = 0x1209, entries[0].productId = 0x4B01;
    entries[1].vendorId = 0x0C45, entries[1].productId = 0x652F;
    entries[2].vendorId = 0x1209, entries[2].productId = 0x4B01;  // another mode of the same model
    entries[3].vendorId = 0, entries[3].productId = 0x1111;       // keyboard-list entry without ids
    entries[4].vendorId = 0x12345, entries[4].productId = 1;      // not a USB id
    const auto ids = KeyboardIds(entries);
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(ids[0].vendor, 0x1209);
    EXPECT_EQ(ids[0].product, 0x4B01);
    EXPECT_EQ(ids[1].vendor, 0x0C45);
}

TEST(SystemProcessRunnerTest, RunsToTheEndOrFailsToStart)
{
    SystemProcessRunner runner;
    const auto marker = fs::temp_directory_path() / ("keystead-run-" + std::to_string(getpid()));
    EXPECT_TRUE(runner.RunAndWait(L"/bin/sh", {L"-c", L"sleep 0.1; touch " + platform::FromUtf8(marker.string())}));
    EXPECT_TRUE(fs::exists(marker));  // waited for the end
    fs::remove(marker);
    EXPECT_TRUE(runner.RunAndWait(L"false", {}));  // exit code is not examined
    EXPECT_FALSE(runner.RunAndWait(L"", {}));
    EXPECT_FALSE(runner.RunAndWait(L"/nonexistent/tool", {}));
}

TEST(DriverFolderTest, ShippedScriptAndPackagesAreInProgramFolder)
{
    const fs::path driver = fs::path(KEYSTEAD_PROGRAM_DIR) / "driver";
    for (const char* name : {"keystead-driver.sh", "keystead-input.rules", "keystead-uinput.rules"})
        EXPECT_TRUE(fs::is_regular_file(driver / name)) << name;
    EXPECT_EQ(std::system(("sh -n " + (driver / "keystead-driver.sh").string()).c_str()), 0);
}

} // namespace
