#include "platform/ChannelMessageQueue.h"
#include "platform/InstanceChannel.h"
#include "platform/InstanceGuard.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using platform::ChannelMessage;

namespace {
class InstanceChannelTest : public ::testing::Test {
protected:
    std::unique_ptr<platform::InstanceChannelListener> Listen()
    {
        return platform::InstanceChannelListener::Start(m_path, [this](const ChannelMessage& m) { m_queue.Push(m); });
    }
    // Everything that arrives within a generous deadline, up to `count` records.
    std::vector<ChannelMessage> Receive(size_t count)
    {
        std::vector<ChannelMessage> got;
        while (got.size() < count) {
            const auto m = m_queue.WaitPop(5000);
            if (!m)
                break;
            got.push_back(*m);
        }
        return got;
    }
    // A raw connection, for peers that do not speak the protocol.
    int Connect() const
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        m_path.copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        return fd;
    }

    testenv::FreshUser m_user;
    std::string m_path = platform::InstanceGuard::ChannelPathFor("Channel Board");
    platform::ChannelMessageQueue m_queue;
};
} // namespace

TEST(ChannelRecord, EncodesEveryFieldLosslessly)
{
    const ChannelMessage cases[] = {
        {0, 0, 0},
        {0x0400 + 667, 0, 610},
        {0xFFFFFFFFu, ~0ull, LLONG_MIN},
        {1, 0x0123456789ABCDEFull, -1},
    };
    for (const auto& message : cases) {
        unsigned char record[platform::kChannelRecordSize];
        platform::EncodeChannelMessage(message, record);
        ChannelMessage back;
        ASSERT_TRUE(platform::DecodeChannelMessage(record, back));
        EXPECT_EQ(back, message);
    }
    unsigned char garbage[platform::kChannelRecordSize] = {'n', 'o', 'p', 'e'};
    ChannelMessage ignored;
    EXPECT_FALSE(platform::DecodeChannelMessage(garbage, ignored));
}

TEST_F(InstanceChannelTest, MessagesArriveInTheOrderSent)
{
    auto listener = Listen();
    ASSERT_TRUE(listener);
    EXPECT_EQ(std::filesystem::status(m_path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::vector<ChannelMessage> sent;
    for (int connection = 0; connection < 4; ++connection) {
        std::vector<ChannelMessage> batch;
        for (int i = 0; i < 1 + connection * 20; ++i)
            batch.push_back({static_cast<std::uint32_t>(0x400 + connection), static_cast<std::uint64_t>(i), -i});
        ASSERT_TRUE(platform::SendToInstance(m_path, batch));
        sent.insert(sent.end(), batch.begin(), batch.end());
    }
    EXPECT_EQ(Receive(sent.size()), sent);
}

TEST_F(InstanceChannelTest, BadPeersAreDroppedAndTheListenerGoesOn)
{
    auto listener = Listen();
    ASSERT_TRUE(listener);
    {
        const int fd = Connect();
        ASSERT_EQ(::write(fd, "not a record at all, just text", 30), 30);
        ::close(fd);
    }
    {
        const int fd = Connect(); // half a record, then gone
        unsigned char record[platform::kChannelRecordSize];
        platform::EncodeChannelMessage({7, 7, 7}, record);
        ASSERT_EQ(::write(fd, record, 10), 10);
        ::close(fd);
    }
    // Connections are served in order: anything from the bad peers would come first.
    ASSERT_TRUE(platform::SendToInstance(m_path, std::vector<ChannelMessage>{{1, 2, 3}}));
    EXPECT_EQ(Receive(1), (std::vector<ChannelMessage>{{1, 2, 3}}));
}

TEST_F(InstanceChannelTest, StaleSocketIsReplacedAndRemovedAtTheEnd)
{
    EXPECT_FALSE(platform::SendToInstance(m_path, std::vector<ChannelMessage>{{1, 0, 0}})) << "nobody listens";
    {
        auto crashed = Listen();
        ASSERT_TRUE(crashed);
    }
    ASSERT_TRUE(testenv::WriteFile(m_path, "left over")); // a crashed instance's debris
    auto listener = Listen();
    ASSERT_TRUE(listener);
    ASSERT_TRUE(platform::SendToInstance(m_path, std::vector<ChannelMessage>{{5, 6, 7}}));
    EXPECT_EQ(Receive(1), (std::vector<ChannelMessage>{{5, 6, 7}}));
    listener.reset();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(m_path)));
}

TEST(InstanceGuard, OneOwnerPerNameAndProgramsItStartsDoNotInheritTheLock)
{
    testenv::FreshUser user;
    pid_t child = -1;
    {
        platform::InstanceGuard first("Guard Board");
        ASSERT_EQ(first.GetState(), platform::InstanceGuard::State::Owner);
        EXPECT_EQ(first.LockPath(), user.RuntimeDir() + "/Guard Board.lock");
        EXPECT_EQ(platform::InstanceGuard("Guard Board").GetState(), platform::InstanceGuard::State::OtherRunning);
        EXPECT_EQ(platform::InstanceGuard("Other Board").GetState(), platform::InstanceGuard::State::Owner);

        char sleepPath[] = "/bin/sleep";
        char seconds[] = "30";
        char* argv[] = {sleepPath, seconds, nullptr};
        ASSERT_EQ(::posix_spawn(&child, sleepPath, nullptr, nullptr, argv, environ), 0);
    }
    EXPECT_EQ(platform::InstanceGuard("Guard Board").GetState(), platform::InstanceGuard::State::Owner)
        << "the started program must not keep the lock";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

TEST(InstanceGuard, LongNamesAndOddNamesStayInTheFolder)
{
    testenv::FreshUser user;
    for (const std::string& name : {std::string(300, 'n'), std::string("../../up"), std::string("")}) {
        const std::string path = platform::InstanceGuard::ChannelPathFor(name);
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(std::filesystem::path(path).parent_path(), user.RuntimeDir());
        EXPECT_LT(path.size(), sizeof(sockaddr_un::sun_path));
        platform::ChannelMessageQueue queue;
        auto listener = platform::InstanceChannelListener::Start(path, [&](const ChannelMessage& m) { queue.Push(m); });
        ASSERT_TRUE(listener);
        ASSERT_TRUE(platform::SendToInstance(path, std::vector<ChannelMessage>{{9, 9, 9}}));
        EXPECT_TRUE(queue.WaitPop(5000));
    }
}
