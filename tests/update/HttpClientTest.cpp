#include "TestSupport.h"

#include "platform/HttpClient.h"
#include "platform/TextCodec.h"
#include "platform/WindowPoster.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace updatetest;
using platform::HttpClient;

namespace {

class RecordingWindow : public platform::WindowPoster {
public:
    void Post(unsigned message, uintptr_t wParam, intptr_t lParam) override
    {
        EXPECT_EQ(message, 1690u);
        EXPECT_EQ(wParam, 0u);
        values.push_back(static_cast<int>(lParam));
        if (onPost)
            onPost(static_cast<int>(lParam));
    }
    std::vector<int> values;
    std::function<void(int)> onPost;
};

class HttpClientTest : public ::testing::Test {
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
    void SetUp() override { ASSERT_TRUE(s_server->Running()); }

    static std::wstring Url(const std::string& path) { return s_server->Base() + platform::FromUtf8(path); }
    static std::string Served(const std::string& name) { return s_root->Path() + "/" + name; }
    std::string Target() const { return m_out.Path() + "/download.bin"; }
    std::wstring WTarget() const { return platform::FromUtf8(Target()); }

    static std::unique_ptr<TempDir> s_root;
    static std::unique_ptr<TestServer> s_server;
    TempDir m_out;
};

std::unique_ptr<TempDir> HttpClientTest::s_root;
std::unique_ptr<TestServer> HttpClientTest::s_server;

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + (i * 7) % 26);
    return bytes;
}

} // namespace

TEST_F(HttpClientTest, DownloadTextResults)
{
    WriteFile(Served("utf8.txt"), "Ver \xC3\xA9");
    const std::string agent = "/agent";
    struct Case {
        std::wstring address;
        int result;
        std::wstring text;
    };
    const Case cases[] = {
        { Url(agent), HttpClient::kDone, L"IIC2.0/PC 5.5.0000" },
        { Url("/utf8.txt"), HttpClient::kDone, L"Ver \u00e9" },
        { Url("/redirect?to=") + Url(agent), HttpClient::kDone, L"IIC2.0/PC 5.5.0000" },
        { Url("/missing.txt"), HttpClient::kFailed, L"untouched" },         // an error page is no text
        { Url("/endless"), HttpClient::kFailed, L"untouched" },             // over the text cap
        { L"file:///etc/hostname", HttpClient::kFailed, L"untouched" },      // not a web address
        { Url("/redirect?to=file:///etc/hostname"), HttpClient::kFailed, L"untouched" },
        { Url("/redirect?to=ftp://127.0.0.1/x"), HttpClient::kFailed, L"untouched" },
        { L"http://127.0.0.1:1/version", HttpClient::kFailed, L"untouched" },  // nobody listens
    };
    for (const Case& c : cases) {
        HttpClient client;
        std::wstring text = L"untouched";
        EXPECT_EQ(client.DownloadText(c.address, text), c.result) << c.address;
        EXPECT_EQ(text, c.text) << c.address;
    }
}

TEST_F(HttpClientTest, ProgressFollowsBlocksOfTheAnnouncedLength)
{
    struct Case {
        std::string path;
        size_t size;
        std::vector<int> progress;
    };
    const std::vector<int> head { 0, 2, 8, 10 };
    auto with = [&](std::vector<int> tail) {
        std::vector<int> all = head;
        all.insert(all.end(), tail.begin(), tail.end());
        return all;
    };
    const Case cases[] = {
        { "/empty.bin", 0, with({ 100 }) },
        { "/small.bin", 5000, with({ 100 }) },                        // less than one block expected
        { "/three.bin", 30720, with({ 40, 70, 100 }) },               // exactly three blocks
        { "/five.bin", 56000, with({ 28, 46, 64, 82, 100 }) },        // five blocks and a short read, never past 100
        { "/nolength/five.bin", 56000, with({ 100 }) },               // no length announced
    };
    for (const Case& c : cases) {
        const std::string body = Pattern(c.size);
        WriteFile(Served(c.path.substr(c.path.rfind('/') + 1)), body);
        WriteFile(Target(), "stale contents of an earlier download");
        RecordingWindow window;
        HttpClient client;
        EXPECT_EQ(client.DownloadToFile(Url(c.path), WTarget(), &window), HttpClient::kDone) << c.path;
        EXPECT_EQ(window.values, c.progress) << c.path;
        EXPECT_EQ(ReadFile(Target()), body) << c.path;
    }
}

TEST_F(HttpClientTest, ClearingTheContinueFlagStopsAfterTheBlockAndLeavesNoFile)
{
    WriteFile(Served("cancel.bin"), Pattern(56000));
    HttpClient client;
    RecordingWindow window;
    window.onPost = [&](int value) {
        if (value > 10)
            client.Cancel();
    };
    EXPECT_EQ(client.DownloadToFile(Url("/cancel.bin"), WTarget(), &window), HttpClient::kCancelled);
    EXPECT_EQ(window.values, (std::vector<int> { 0, 2, 8, 10, 28 }));
    EXPECT_FALSE(Exists(Target()));

    // The next download sets the flag again.
    EXPECT_EQ(client.DownloadToFile(Url("/cancel.bin"), WTarget(), nullptr), HttpClient::kDone);
}

TEST_F(HttpClientTest, BrokenOffOversizedAndStalledTransfersLeaveNoFile)
{
    WriteFile(Served("big.bin"), Pattern(300000));
    struct Case {
        std::string path;
        const char* why;
    };
    const Case cases[] = {
        { "/endless", "endless body passes the size cap" },
        { "/big.bin", "announced length over the size cap" },
        { "/nolength/big.bin", "unannounced body over the size cap" },
        { "/short", "connection closed before the announced length" },
        { "/stall", "no data for longer than the stall timeout" },
        { "/missing.bin", "error status" },
    };
    for (const Case& c : cases) {
        HttpClient client;
        client.Options().maxFileBytes = 200000;
        client.Options().stallTimeout = std::chrono::milliseconds(300);
        EXPECT_EQ(client.DownloadToFile(Url(c.path), WTarget(), nullptr), HttpClient::kFailed) << c.why;
        EXPECT_FALSE(Exists(Target())) << c.why;
    }
}

class HttpsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeSelfSignedCertificate(m_dir.Path(), m_cert, m_key));
        m_https = std::make_unique<TestServer>(m_dir.Path(), m_cert, m_key);
        m_http = std::make_unique<TestServer>(m_dir.Path());
        ASSERT_TRUE(m_https->Running() && m_http->Running());
    }

    TempDir m_dir;
    std::string m_cert;
    std::string m_key;
    std::unique_ptr<TestServer> m_https;
    std::unique_ptr<TestServer> m_http;
};

TEST_F(HttpsTest, CertificatesAreVerifiedAndRedirectsNeverLeaveHttps)
{
    const std::wstring agent = L"IIC2.0/PC 5.5.0000";
    struct Case {
        std::wstring address;
        bool trustCertificate;
        int result;
        const char* why;
    };
    const Case cases[] = {
        { m_https->Base() + L"/agent", false, HttpClient::kFailed, "self-signed certificate" },
        { m_https->Base() + L"/agent", true, HttpClient::kDone, "trusted certificate" },
        { m_https->Base() + L"/redirect?to=" + m_https->Base() + L"/agent", true, HttpClient::kDone, "https to https" },
        { m_https->Base() + L"/redirect?to=" + m_http->Base() + L"/agent", true, HttpClient::kFailed, "https down to http" },
        { m_http->Base() + L"/redirect?to=" + m_https->Base() + L"/agent", true, HttpClient::kDone, "http up to https" },
    };
    for (const Case& c : cases) {
        HttpClient client;
        if (c.trustCertificate)
            client.Options().caFile = m_cert;
        std::wstring text;
        EXPECT_EQ(client.DownloadText(c.address, text), c.result) << c.why;
        EXPECT_EQ(text, c.result == HttpClient::kDone ? agent : L"") << c.why;
    }
}
