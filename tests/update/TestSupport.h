#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace updatetest {

// A fresh folder under the system's temp folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::wstring WPath() const;

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
void MakeDirs(const std::string& path);

// Every path below a folder (links not followed) with its kind and contents.
std::map<std::string, std::string> Snapshot(const std::string& root);

// Runs a program to its end with its output discarded; returns its exit status or -1.
int RunQuietly(const std::vector<std::string>& argv);
// Waits for a started child and returns its exit status, or -1.
int WaitForExit(pid_t pid);

// The loopback web server of tests/fixtures/update, serving a folder.
class TestServer {
public:
    // With a certificate and key it speaks https.
    explicit TestServer(const std::string& root, const std::string& cert = {}, const std::string& key = {});
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;
    bool Running() const { return m_port > 0; }
    // "http://127.0.0.1:<port>" (or https), no trailing slash.
    std::wstring Base() const;

private:
    pid_t m_pid = -1;
    int m_port = 0;
    bool m_tls = false;
};

// Makes a self-signed certificate for 127.0.0.1 with openssl; false when that fails.
bool MakeSelfSignedCertificate(const std::string& folder, std::string& cert, std::string& key);

struct ZipEntry {
    std::string name;
    std::string data;
    uint32_t unixMode = 0;  // 0: made on a system without Unix modes
    bool stored = false;    // no compression
};
// Writes a zip archive with minizip; false when minizip refuses.
bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries);
// An archive whose single deflated entry declares other sizes and CRC than its data has.
bool WriteLyingZip(const std::string& path, const std::string& name, const std::string& data, uint64_t declaredSize,
                   uint32_t declaredCrc);

// Ed25519 key pair and detached signatures, in base64.
struct SigningKey {
    SigningKey();
    std::string publicBase64;
    std::string Sign(const std::string& bytes) const;

private:
    std::vector<unsigned char> m_secret;
};

} // namespace updatetest
