#include "TestSupport.h"

#include "platform/Shell.h"
#include "platform/TextCodec.h"
#include "platform/WindowPoster.h"
#include "update/UpdateTasks.h"

#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <sys/stat.h>

using namespace updatetest;

namespace {

std::string BaseName(const std::wstring& path)
{
    const std::string text = platform::ToUtf8(path);
    return text.substr(text.rfind('/') + 1);
}

// One log for host, device and shell, so tests see the order of everything the tasks did.
using Log = std::vector<std::string>;

class RecordingHost : public UpdateHost, public platform::WindowPoster {
public:
    explicit RecordingHost(Log& log) : m_log(log) {}
    UpdateSources GetUpdateSources() override { return sources; }
    void KillTimer(int id) override { m_log.push_back("kill timer " + std::to_string(id)); }
    void SetUpgradeStatus(UpgradeTarget target, int status) override
    {
        m_log.push_back(std::string(target == UpgradeTarget::Software ? "software" : "firmware") + " status "
                        + std::to_string(status));
    }
    void QueueTask(int task) override { m_log.push_back("queue " + std::to_string(task)); }
    platform::WindowPoster* ProgressWindow() override { return this; }
    void Post(unsigned, uintptr_t, intptr_t lParam) override { progress.push_back(static_cast<int>(lParam)); }
    bool AgreeToStart(const std::wstring& program) override
    {
        m_log.push_back("agree? " + BaseName(program));
        return agree;
    }
    void EndProcess() override { m_log.push_back("end"); }

    UpdateSources sources;
    bool agree = true;
    std::vector<int> progress;

private:
    Log& m_log;
};

class RecordingDevice : public FirmwareDevice {
public:
    explicit RecordingDevice(Log& log) : m_log(log) {}
    int ReadFirmwareVersion() override
    {
        m_log.push_back("read firmware");
        return version;
    }
    void CloseAll() override { m_log.push_back("close all"); }
    void RunDetection() override { m_log.push_back("detect"); }
    int version = -1;

private:
    Log& m_log;
};

// Records starts; with realStart it runs the program for real and keeps its pid.
class RecordingShell : public platform::Shell {
public:
    explicit RecordingShell(Log& log) : m_log(log) {}
    bool Open(const std::wstring&) override { return false; }
    bool Start(const std::wstring& program, const std::vector<std::wstring>&) override
    {
        m_log.push_back("start " + BaseName(program));
        if (!realStart)
            return starts;
        pid = platform::StartProcess(platform::ToUtf8(program), {});
        return pid > 0;
    }
    bool starts = true;
    bool realStart = false;
    pid_t pid = -1;

private:
    Log& m_log;
};

class UpdateTasksTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_root = std::make_unique<TempDir>();
        s_server = std::make_unique<TestServer>(s_root->Path());
    }
    static void TearDownTestSuite()
    {
        s_server.reset();
        s_root.reset();
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_server->Running());
        m_host.sources.downloadFolder = m_local.WPath() + L"/data/temp/";
        m_host.sources.programFolder = m_local.WPath() + L"/program/";
        m_tasks.Http().Options().stallTimeout = std::chrono::milliseconds(2000);
    }

    // A folder of the server standing for one update location; returns its base address.
    static std::wstring Location(const std::string& name) { return s_server->Base() + L"/" + platform::FromUtf8(name) + L"/"; }
    static std::string Served(const std::string& location, const std::string& file)
    {
        MakeDirs(s_root->Path() + "/" + location);
        return s_root->Path() + "/" + location + "/" + file;
    }
    std::string Downloads() const { return platform::ToUtf8(m_host.sources.downloadFolder); }

    static std::string Script(const std::string& proof)
    {
        return "#!/bin/sh\necho \"" + proof + "\" > \"$(dirname \"$0\")/proof.txt\"\n";
    }

    static std::unique_ptr<TempDir> s_root;
    static std::unique_ptr<TestServer> s_server;
    TempDir m_local;
    Log m_log;
    RecordingHost m_host { m_log };
    RecordingDevice m_device { m_log };
    RecordingShell m_shell { m_log };
    std::vector<std::chrono::milliseconds> m_pauses;
    UpdateTasks m_tasks { m_host, m_device, m_shell, [this](std::chrono::milliseconds p) {
                             m_pauses.push_back(p);
                             m_log.push_back("sleep " + std::to_string(p.count()));
                         } };
};

std::unique_ptr<TempDir> UpdateTasksTest::s_root;
std::unique_ptr<TestServer> UpdateTasksTest::s_server;

} // namespace

TEST_F(UpdateTasksTest, SoftwareCheckDownloadsWhenTheOfferIsNewer)
{
    struct Case {
        const char* local;
        const char* offered;
        Log expected;
    };
    const Log hands = { "kill timer 200", "agree? Keyboard-Software-", "start Keyboard-Software-", "end" };
    const Case cases[] = {
        { "1.0.5", "1.0.6", hands },
        { "1.0.5", "1.0.5", { "kill timer 200" } },
        { "1.2", "1.10", hands },
        { "1.0", "1.0.0", hands },
        { "1.0.5", "1.0.4", { "kill timer 200" } },
        { "1.0.5", "12345678901", { "kill timer 200" } },  // 11 characters: ignored
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string location = "software" + std::to_string(n++);
        const std::string program = std::string("Keyboard-Software-") + c.offered;
        WriteFile(Served(location, "version"), c.offered);
        ASSERT_TRUE(WriteZip(Served(location, program + ".zip"), { { program, Script("unused") } }));
        m_log.clear();
        m_host.sources.softwareVersion = platform::FromUtf8(c.local);
        m_host.sources.software.url = Location(location);

        m_tasks.CheckSoftware();

        Log expected = c.expected;
        for (std::string& line : expected)
            if (line.back() == '-')
                line += c.offered;
        EXPECT_EQ(m_log, expected) << c.local << " vs " << c.offered;
        if (std::string(c.offered).size() <= 10) {
            EXPECT_EQ(m_tasks.OfferedSoftwareVersion(), platform::FromUtf8(c.offered));
        }
    }
}

TEST_F(UpdateTasksTest, FirmwareCheckReadsTheKeyboardsHexDigitsAsDecimal)
{
    struct Case {
        int keyboard;
        const char* offered;
        Log expected;
    };
    const Case cases[] = {
        { 0x0105, "106", { "read firmware", "firmware status 1", "queue 15" } },
        { 0x0105, "105", { "read firmware" } },
        { 0x010A, "11", { "read firmware", "firmware status 1", "queue 15" } },  // "10a" reads as 10
        { -1, "106", { "read firmware" } },     // the query failed
        { 0x0105, "12345678901", {} },
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string location = "firmware" + std::to_string(n++);
        WriteFile(Served(location, "version"), c.offered);
        m_log.clear();
        m_device.version = c.keyboard;
        m_host.sources.firmware.url = Location(location);
        m_tasks.CheckFirmware();
        EXPECT_EQ(m_log, c.expected) << c.keyboard << " vs " << c.offered;
        EXPECT_EQ(m_tasks.OfferedFirmwareVersion(), std::string(c.offered).size() <= 10 ? platform::FromUtf8(c.offered) : L"");
    }
}

TEST_F(UpdateTasksTest, SignedUpdateIsDownloadedUnpackedAndStarted)
{
    const SigningKey key;
    const std::string program = "FirmwareUpdateTool-201";
    const std::string archive = Served("signed", program + ".zip");
    ASSERT_TRUE(WriteZip(archive, { { program, Script("the tool ran"), S_IFREG | 0644 }, { "readme.txt", "notes" } }));
    WriteFile(Served("signed", program + ".zip.sig"), key.Sign(ReadFile(archive)) + "\n");
    WriteFile(Served("signed", "version"), "201");
    m_host.sources.firmware = { Location("signed"), platform::FromUtf8(key.publicBase64) };
    m_device.version = 0x0200;
    m_shell.realStart = true;

    m_tasks.CheckFirmware();
    ASSERT_EQ(m_log, (Log { "read firmware", "firmware status 1", "queue 15" }));
    EXPECT_TRUE(m_tasks.RunTask(UpdateTasks::kFirmwareDownload));

    EXPECT_EQ(m_log, (Log { "read firmware", "firmware status 1", "queue 15", "start " + program, "end" }));
    ASSERT_GT(m_shell.pid, 0);
    EXPECT_EQ(WaitForExit(m_shell.pid), 0);
    EXPECT_EQ(ReadFile(Downloads() + "proof.txt"), "the tool ran\n");
    EXPECT_EQ(ReadFile(Downloads() + "readme.txt"), "notes");
    EXPECT_FALSE(Exists(Downloads() + program + ".zip"));
    ASSERT_FALSE(m_host.progress.empty());
    EXPECT_EQ(m_host.progress.front(), 0);
    EXPECT_EQ(m_host.progress.back(), 100);
}

TEST_F(UpdateTasksTest, NothingStartsFromRefusedOrUnverifiedDownloads)
{
    const SigningKey key;
    const SigningKey otherKey;
    struct Case {
        const char* why;
        std::vector<ZipEntry> entries;
        std::function<std::string(const std::string& archiveBytes)> signature;  // empty: no .sig file
        std::function<std::string(const std::string& archiveBytes)> tamper;     // what the server serves instead
        std::string pubkey;
    };
    const std::string program = "Keyboard-Software-1.0.1";
    const std::vector<ZipEntry> good { { program, Script("ran") } };
    auto sign = [&](const std::string& b) { return key.Sign(b); };
    const Case cases[] = {
        { "signed by another key", good, [&](const std::string& b) { return otherKey.Sign(b); }, {}, key.publicBase64 },
        { "archive altered after signing", good, sign,
          [](std::string b) {  // still a sound archive: one byte of archive comment added
              b[b.size() - 2] = 1;
              return b + "x";
          },
          key.publicBase64 },
        { "no signature beside the archive", good, {}, {}, key.publicBase64 },
        { "signature that is no base64", good, [](const std::string&) { return std::string("%%%"); }, {}, key.publicBase64 },
        { "configured key that is no key", good, sign, {}, "c2hvcnQ=" },
        { "signed archive with an entry leaving the folder", { { program, "x" }, { "../escape", "x" } }, sign, {},
          key.publicBase64 },
        { "unsigned archive with a symbolic link", { { program, "/bin/sh", S_IFLNK | 0777 } }, {}, {}, "" },
        { "archive that is no zip", good, {}, [](const std::string&) { return std::string("<html>oops</html>"); }, "" },
        { "archive missing on the server", {}, {}, {}, "" },
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string location = "refused" + std::to_string(n++);
        const std::string archive = Served(location, program + ".zip");
        WriteFile(Served(location, "version"), "1.0.1");
        if (!c.entries.empty()) {
            ASSERT_TRUE(WriteZip(archive, c.entries)) << c.why;
            const std::string bytes = ReadFile(archive);
            if (c.signature)
                WriteFile(archive + ".sig", c.signature(bytes));
            if (c.tamper)
                WriteFile(archive, c.tamper(bytes));
        }
        m_log.clear();
        m_host.sources.softwareVersion = L"1.0.0";
        m_host.sources.software = { Location(location), platform::FromUtf8(c.pubkey) };
        m_tasks.CheckSoftware();

        EXPECT_EQ(m_log, (Log { "kill timer 200", "software status 1" })) << c.why;
        EXPECT_FALSE(Exists(Downloads() + program)) << c.why;
        EXPECT_FALSE(Exists(Downloads() + program + ".zip")) << c.why;
        EXPECT_FALSE(Exists(m_local.Path() + "/data/escape")) << c.why;
    }
}

TEST_F(UpdateTasksTest, UnsignedProgramStartsOnlyWithTheUsersAgreement)
{
    const std::string program = "Keyboard-Software-3.0";
    WriteFile(Served("unsigned", "version"), "3.0");
    ASSERT_TRUE(WriteZip(Served("unsigned", program + ".zip"), { { program, Script("ran") } }));
    m_host.sources.softwareVersion = L"2.0";
    m_host.sources.software.url = Location("unsigned");
    m_host.agree = false;

    m_tasks.CheckSoftware();

    EXPECT_EQ(m_log, (Log { "kill timer 200", "agree? " + program, "software status 1" }));
    EXPECT_TRUE(Exists(Downloads() + program));  // unpacked, not started

    // The button queues the download again; this time the user agrees.
    m_log.clear();
    m_host.agree = true;
    EXPECT_TRUE(m_tasks.DownloadSoftware());
    EXPECT_EQ(m_log, (Log { "agree? " + program, "start " + program, "end" }));
}

TEST_F(UpdateTasksTest, UnsafeOfferedVersionIsNeverUsedInNames)
{
    for (const char* offered : { "../../x", "a/b", "1.0 x", "1.0\n" }) {
        const std::string location = "unsafe";
        WriteFile(Served(location, "version"), offered);
        m_log.clear();
        m_host.sources.softwareVersion = L"0.1";
        m_host.sources.software.url = Location(location);
        const auto before = Snapshot(m_local.Path());
        m_tasks.CheckSoftware();
        EXPECT_EQ(m_log, (Log { "kill timer 200", "software status 1" })) << offered;
        EXPECT_EQ(Snapshot(m_local.Path()), before) << offered;
    }
}

TEST_F(UpdateTasksTest, FirmwareToolStartClosesTheKeyboardAndDetectsAgainWhenItFails)
{
    const std::string toolFolder = m_local.Path() + "/program/firmware";
    MakeDirs(toolFolder);
    WriteFile(toolFolder + "/FwTool", Script("x"));
    struct Case {
        const char* file;
        bool starts;
        Log expected;
    };
    const Case cases[] = {
        { "FwTool", true, { "close all", "start FwTool", "end" } },
        { "FwTool", false, { "close all", "start FwTool", "sleep 2000", "detect" } },
        { "Missing", true, {} },
        { "", true, {} },
    };
    for (const Case& c : cases) {
        m_log.clear();
        m_shell.starts = c.starts;
        m_host.sources.firmwareFile = platform::FromUtf8(c.file);
        EXPECT_TRUE(m_tasks.RunTask(UpdateTasks::kFirmwareToolStart));
        EXPECT_EQ(m_log, c.expected) << c.file << " starts " << c.starts;
    }
}

TEST(UpdateKeys, PubkeyAttributesAreReadFromConfigurationAndLayout)
{
    TempDir dir;
    const std::string config = dir.Path() + "/config.xml";
    const std::string layout = dir.Path() + "/layout.xml";
    struct Case {
        const char* configText;
        const char* layoutText;
        std::wstring softwareKey;
        std::wstring firmwareKey;
    };
    const Case cases[] = {
        { "<config><device.info/><software version='1.0'><website url='w'/><upgrade url='u' pubkey='S+k='/></software></config>",
          "<device.info><menu macro='1'/><firmware version='1' file='f' url='u' pubkey='F/k='/></device.info>", L"S+k=",
          L"F/k=" },
        { "<config><software><upgrade url='u'/></software></config>", "<device.info><firmware url='u'/></device.info>", L"",
          L"" },
        { "<other><software><upgrade pubkey='x'/></software></other>", "<device.info/>", L"", L"" },
        { "not xml", "", L"", L"" },
    };
    for (const Case& c : cases) {
        WriteFile(config, c.configText);
        WriteFile(layout, c.layoutText);
        EXPECT_EQ(ReadSoftwareUpdateKey(platform::FromUtf8(config)), c.softwareKey) << c.configText;
        EXPECT_EQ(ReadFirmwareUpdateKey(platform::FromUtf8(layout)), c.firmwareKey) << c.layoutText;
    }
}
