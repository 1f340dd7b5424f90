#include "TestSupport.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sodium.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

extern char** environ;

namespace updatetest {

namespace fs = std::filesystem;

// The servers are on loopback; a proxy from the environment must not come between.
const bool kProxiesCleared = [] {
    for (const char* name : { "http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY" })
        unsetenv(name);
    return true;
}();

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "keystead-update-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    if (!m_path.empty())
        fs::remove_all(m_path, ignored);
}

std::wstring TempDir::WPath() const
{
    return platform::FromUtf8(m_path);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

void MakeDirs(const std::string& path)
{
    std::error_code ignored;
    fs::create_directories(path, ignored);
}

std::map<std::string, std::string> Snapshot(const std::string& root)
{
    std::map<std::string, std::string> seen;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path& p = it->path();
        const std::string key = fs::relative(p, root).string();
        if (it->is_symlink())
            seen[key] = "link:" + fs::read_symlink(p).string();
        else if (it->is_directory())
            seen[key] = "dir";
        else
            seen[key] = "file:" + ReadFile(p.string());
    }
    return seen;
}

namespace {

pid_t Spawn(const std::vector<std::string>& argv, int stdoutFd, bool quiet)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
    else if (quiet)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> copy = argv;
    std::vector<char*> args;
    for (std::string& a : copy)
        args.push_back(a.data());
    args.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

} // namespace

int WaitForExit(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunQuietly(const std::vector<std::string>& argv)
{
    const pid_t pid = Spawn(argv, -1, true);
    return pid < 0 ? -1 : WaitForExit(pid);
}

TestServer::TestServer(const std::string& root, const std::string& cert, const std::string& key)
    : m_tls(!cert.empty())
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    std::vector<std::string> argv { "python3", std::string(KEYSTEAD_FIXTURES_DIR) + "/update/http_server.py", "--root", root };
    if (m_tls)
        argv.insert(argv.end(), { "--cert", cert, "--key", key });
    m_pid = Spawn(argv, fds[1], false);
    close(fds[1]);
    std::string line;
    pollfd p { fds[0], POLLIN, 0 };
    while (m_pid > 0 && line.find('\n') == std::string::npos && poll(&p, 1, 10000) > 0) {
        char buffer[64];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    m_port = std::atoi(line.c_str());
}

TestServer::~TestServer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        WaitForExit(m_pid);
    }
}

std::wstring TestServer::Base() const
{
    return (m_tls ? L"https://127.0.0.1:" : L"http://127.0.0.1:") + std::to_wstring(m_port);
}

bool MakeSelfSignedCertificate(const std::string& folder, std::string& cert, std::string& key)
{
    cert = folder + "/cert.pem";
    key = folder + "/key.pem";
    return RunQuietly({ "openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                        "-keyout", key, "-out", cert, "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                        "subjectAltName=IP:127.0.0.1" })
        == 0;
}

bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries)
{
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool ok = true;
    for (const ZipEntry& e : entries) {
        zip_fileinfo info {};
        info.external_fa = static_cast<uLong>(e.unixMode) << 16;
        const uLong madeBy = e.unixMode != 0 ? (3u << 8) | 20u : 20u;
        ok = ok
            && zipOpenNewFileInZip4(zip, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, e.stored ? 0 : Z_DEFLATED,
                                    e.stored ? 0 : 6, 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, madeBy, 0)
                == ZIP_OK
            && zipWriteInFileInZip(zip, e.data.data(), static_cast<unsigned>(e.data.size())) == ZIP_OK
            && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

bool WriteLyingZip(const std::string& path, const std::string& name, const std::string& data, uint64_t declaredSize,
                   uint32_t declaredCrc)
{
    // Raw deflate of the real data, then headers that tell another story.
    z_stream stream {};
    if (deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    std::string raw(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(raw.data());
    stream.avail_out = static_cast<uInt>(raw.size());
    const int rc = deflate(&stream, Z_FINISH);
    raw.resize(stream.total_out);
    deflateEnd(&stream);
    if (rc != Z_STREAM_END)
        return false;
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    zip_fileinfo info {};
    const bool ok = zipOpenNewFileInZip2(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9, 1) == ZIP_OK
        && zipWriteInFileInZip(zip, raw.data(), static_cast<unsigned>(raw.size())) == ZIP_OK
        && zipCloseFileInZipRaw64(zip, declaredSize, declaredCrc) == ZIP_OK;
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

SigningKey::SigningKey() : m_secret(crypto_sign_SECRETKEYBYTES)
{
    if (sodium_init() < 0)
        std::abort();
    unsigned char pk[crypto_sign_PUBLICKEYBYTES];
    crypto_sign_keypair(pk, m_secret.data());
    char text[sodium_base64_ENCODED_LEN(crypto_sign_PUBLICKEYBYTES, sodium_base64_VARIANT_ORIGINAL)];
    publicBase64 = sodium_bin2base64(text, sizeof text, pk, sizeof pk, sodium_base64_VARIANT_ORIGINAL);
}

std::string SigningKey::Sign(const std::string& bytes) const
{
    unsigned char sig[crypto_sign_BYTES];
    crypto_sign_detached(sig, nullptr, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), m_secret.data());
    char text[sodium_base64_ENCODED_LEN(crypto_sign_BYTES, sodium_base64_VARIANT_ORIGINAL)];
    return sodium_bin2base64(text, sizeof text, sig, sizeof sig, sodium_base64_VARIANT_ORIGINAL);
}

} // namespace updatetest
