#pragma once
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class WindowPoster;

// Bounds of every transfer. Addresses and answers come from outside, so each transfer is
// limited in size and given up when it stalls.
struct HttpOptions {
    std::string userAgent = "IIC2.0/PC 5.5.0000";
    size_t maxTextBytes = 4096;                      // DownloadText: more is refused
    uint64_t maxFileBytes = 512ull * 1024 * 1024;    // DownloadToFile: more is refused
    std::chrono::seconds connectTimeout { 20 };
    std::chrono::milliseconds stallTimeout { 30000 };  // no byte for this long ends the transfer
    int maxRedirects = 10;
    // When set, the certificates trusted instead of the system's (a PEM file).
    std::string caFile;
};

// One transfer object: web downloads over http and https, as text or into a file.
//
// Results: 1 done; 0 no transfer could be set up; -1 the address could not be opened
// (no connection, refused certificate, refused redirect, an HTTP error status) or the
// transfer failed (broken off, stalled, larger than allowed, file not writable); -2 the
// continue flag was cleared. A download to a file leaves the file behind only with result 1.
//
// https is fetched with certificate and host verification. Redirects are followed only
// to http or https addresses and never from https down to http.
class HttpClient {
public:
    static constexpr size_t kBlockSize = 10240;
    // Posted to the progress window with wParam 0 and lParam the progress (0 to 100).
    static constexpr unsigned kProgressMessage = 0x0400 + 666;

    static constexpr int kDone = 1;
    static constexpr int kNoSession = 0;
    static constexpr int kFailed = -1;
    static constexpr int kCancelled = -2;

    HttpClient();
    explicit HttpClient(HttpOptions options);

    // Fetches a short text, decoded from UTF-8. The text is set with results 1 and -2.
    int DownloadText(const std::wstring& address, std::wstring& text);
    // Fetches into a file, replacing it; progress goes to the window when one is given:
    // 0, 2 (session), 8 (address open), 10 (file ready), then per block of 10240 bytes
    // 10 + 90 * blocks read / blocks expected from the content length, and 100 at the end.
    int DownloadToFile(const std::wstring& address, const std::wstring& path, WindowPoster* window);

    // Clears the continue flag: the running transfer stops after its current block.
    // Each download sets the flag again when it starts.
    void Cancel() { m_continue = false; }
    bool ShouldContinue() const { return m_continue; }

    HttpOptions& Options() { return m_options; }

private:
    HttpOptions m_options;
    std::atomic<bool> m_continue { true };
};

} // namespace platform
