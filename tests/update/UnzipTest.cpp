#include "TestSupport.h"

#include "platform/TextCodec.h"
#include "update/Unzip.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

using namespace updatetest;

void PrintTo(UnzipResult result, std::ostream* out)
{
    static const char* const kNames[] = { "Done", "CannotOpen", "RefusedEntry", "TooLarge", "Corrupt", "WriteFailed" };
    *out << kNames[static_cast<int>(result)];
}

namespace {

constexpr uint32_t kFile = S_IFREG;

// A temp root with the unpack target two levels down and a folder beside it, so
// that any escape from the target shows up in a snapshot of the root.
class UnzipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeDirs(Target());
        MakeDirs(m_root.Path() + "/outside");
        WriteFile(m_root.Path() + "/outside/sentinel.txt", "keep");
    }
    std::string Target() const { return m_root.Path() + "/a/b/download"; }
    std::wstring WTarget() const { return platform::FromUtf8(Target()); }
    std::wstring Archive() const { return platform::FromUtf8(m_root.Path() + "/archive.zip"); }
    std::string ArchivePath() const { return m_root.Path() + "/archive.zip"; }

    // Unpacks, then removes the archive so the snapshot compares only what unpacking did.
    UnzipResult UnpackAndDrop(const UnzipLimits& limits = {})
    {
        const UnzipResult result = Unzip(Archive(), WTarget(), limits);
        unlink(ArchivePath().c_str());
        return result;
    }

    TempDir m_root;
};

bool IsExecutable(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IXUSR) != 0;
}

void ReplaceAll(std::string& bytes, const std::string& from, const std::string& to)
{
    for (size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + to.size()))
        bytes.replace(at, from.size(), to);
}

} // namespace

TEST_F(UnzipTest, UnpacksFoldersFilesAndExecutableBits)
{
    ASSERT_TRUE(WriteZip(ArchivePath(), {
                                            { "top.txt", "top" },
                                            { "dir/sub/a.txt", "a" },
                                            { "win\\style\\b.txt", "b" },
                                            { "folder/", "" },
                                            { "./dot//c.txt", "c" },
                                            { "tool", "#!/bin/sh\n", kFile | 0755 },
                                            { "plain", "text", kFile | 0644 },
                                        }));
    ASSERT_EQ(Unzip(Archive(), WTarget()), UnzipResult::Done);
    const std::map<std::string, std::string> expected {
        { "top.txt", "file:top" },  { "dir", "dir" },           { "dir/sub", "dir" },  { "dir/sub/a.txt", "file:a" },
        { "win", "dir" },           { "win/style", "dir" },     { "win/style/b.txt", "file:b" },
        { "folder", "dir" },        { "dot", "dir" },           { "dot/c.txt", "file:c" },
        { "tool", "file:#!/bin/sh\n" }, { "plain", "file:text" },
    };
    EXPECT_EQ(Snapshot(Target()), expected);
    EXPECT_TRUE(IsExecutable(Target() + "/tool"));
    EXPECT_FALSE(IsExecutable(Target() + "/plain"));
    EXPECT_FALSE(IsExecutable(Target() + "/top.txt"));
}

TEST_F(UnzipTest, RefusesWholeArchivesWithUnsafeEntriesAndWritesNothing)
{
    const std::string absolute = m_root.Path() + "/outside/abs.txt";
    struct Case {
        const char* why;
        std::vector<ZipEntry> entries;
    };
    const std::vector<Case> cases = {
        { "parent with slash", { { "../x.txt", "x" } } },
        { "parent with backslash", { { "..\\x.txt", "x" } } },
        { "parent in the middle", { { "a/../../x.txt", "x" } } },
        { "parent climbing to the sibling", { { "sub\\..\\..\\..\\..\\outside\\x.txt", "x" } } },
        { "absolute", { { absolute, "x" } } },
        { "absolute with backslash", { { "\\abs.txt", "x" } } },
        { "drive prefix", { { "C:\\x.txt", "x" } } },
        { "drive prefix without separator", { { "C:x.txt", "x" } } },
        { "empty name", { { "", "x" } } },
        { "NUL in the name", { { "nul#name.txt", "x" } } },
        { "symbolic link", { { "link", m_root.Path() + "/outside", S_IFLNK | 0777 } } },
        { "symbolic link then a file through it", { { "link", "../../../outside", S_IFLNK | 0777 }, { "link/x.txt", "x" } } },
        { "named pipe", { { "fifo", "", S_IFIFO | 0644 } } },
        { "duplicate names", { { "same.txt", "1" }, { "same.txt", "2" } } },
        { "duplicates after separator folding", { { "d/same.txt", "1" }, { "d\\same.txt", "2" } } },
    };
    const auto before = Snapshot(m_root.Path());
    for (const Case& c : cases) {
        std::vector<ZipEntry> entries { { "first.txt", "harmless" } };
        entries.insert(entries.end(), c.entries.begin(), c.entries.end());
        ASSERT_TRUE(WriteZip(ArchivePath(), entries)) << c.why;
        std::string bytes = ReadFile(ArchivePath());
        ReplaceAll(bytes, "nul#name", std::string("nul\0name", 8));
        WriteFile(ArchivePath(), bytes);

        EXPECT_EQ(UnpackAndDrop(), UnzipResult::RefusedEntry) << c.why;
        EXPECT_EQ(Snapshot(m_root.Path()), before) << c.why;
    }
}

TEST_F(UnzipTest, NeverWritesThroughLinksAlreadyInTheTarget)
{
    ASSERT_EQ(symlink((m_root.Path() + "/outside").c_str(), (Target() + "/linkdir").c_str()), 0);
    ASSERT_EQ(symlink((m_root.Path() + "/outside/sentinel.txt").c_str(), (Target() + "/linkfile").c_str()), 0);
    const auto before = Snapshot(m_root.Path());
    const std::vector<ZipEntry> cases[] = {
        { { "first.txt", "harmless" }, { "linkdir/x.txt", "x" } },
        { { "first.txt", "harmless" }, { "linkfile", "overwritten" } },
    };
    for (const auto& entries : cases) {
        ASSERT_TRUE(WriteZip(ArchivePath(), entries));
        EXPECT_EQ(UnpackAndDrop(), UnzipResult::WriteFailed) << entries.back().name;
        EXPECT_EQ(Snapshot(m_root.Path()), before) << entries.back().name;
    }
}

TEST_F(UnzipTest, StopsBombsDamageAndCorruptionAndRemovesWhatItWrote)
{
    const std::string zeros(8u << 20, '\0');
    const uint32_t zerosCrc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(zeros.data()), static_cast<uInt>(zeros.size())));
    const std::string bigData(600u << 10, 'x');
    struct Case {
        const char* why;
        std::function<bool(const std::string&)> write;
        UnzipResult result;
    };
    const Case cases[] = {
        { "8 MiB of zeros over a 1 MiB cap",
          [&](const std::string& p) { return WriteZip(p, { { "first.txt", "harmless" }, { "bomb", zeros } }); },
          UnzipResult::TooLarge },
        { "two entries over the cap together",
          [&](const std::string& p) { return WriteZip(p, { { "one", bigData }, { "two", bigData } }); },
          UnzipResult::TooLarge },
        { "header understates the size",
          [&](const std::string& p) { return WriteLyingZip(p, "bomb", zeros, 1024, zerosCrc); },
          UnzipResult::Corrupt },
        { "header overstates the size",
          [&](const std::string& p) { return WriteLyingZip(p, "short", std::string(4096, 'y'), 8192, 0); },
          UnzipResult::Corrupt },
        { "data altered after packing",
          [&](const std::string& p) {
              if (!WriteZip(p, { { "first.txt", "harmless" }, { "data.txt", "PAYLOAD-CONTENT", 0, true } }))
                  return false;
              std::string bytes = ReadFile(p);
              ReplaceAll(bytes, "PAYLOAD-CONTENT", "PAYLOAD-CONTENX");
              WriteFile(p, bytes);
              return true;
          },
          UnzipResult::Corrupt },
        { "not an archive", [&](const std::string& p) { WriteFile(p, "plain text, no zip"); return true; },
          UnzipResult::CannotOpen },
    };
    UnzipLimits limits;
    limits.maxTotalBytes = 1u << 20;
    const auto before = Snapshot(m_root.Path());
    for (const Case& c : cases) {
        ASSERT_TRUE(c.write(ArchivePath())) << c.why;
        EXPECT_EQ(UnpackAndDrop(limits), c.result) << c.why;
        EXPECT_EQ(Snapshot(m_root.Path()), before) << c.why;
    }
}
