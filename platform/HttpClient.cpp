#include "platform/HttpClient.h"

#include "platform/TextCodec.h"
#include "platform/WindowPoster.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <curl/curl.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <string_view>
#include <unistd.h>

namespace platform {

namespace {

// Bodies of redirect answers are thrown away, but not without end.
constexpr uint64_t kMaxRedirectBody = 64 * 1024;

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// Lower-case scheme of an absolute address, empty when it has none.
std::string SchemeOf(const std::string& address)
{
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    char* scheme = nullptr;
    if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK
        || curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK)
        return {};
    std::string text(scheme);
    curl_free(scheme);
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsRedirectAllowed(const std::string& from, const std::string& to)
{
    const std::string target = SchemeOf(to);
    if (target == "https")
        return true;
    return target == "http" && SchemeOf(from) == "http";
}

// What becomes of an answer's body.
class ResponseSink {
public:
    virtual ~ResponseSink() = default;
    // The final answer's headers are in (status 2xx). False refuses the answer.
    virtual bool Opened(uint64_t contentLength) = 0;
    // One read of up to kBlockSize bytes. False breaks the transfer off as failed.
    virtual bool Block(const char* data, size_t size) = 0;
};

class Progress {
public:
    explicit Progress(WindowPoster* window) : m_window(window) {}
    void Set(int value)
    {
        value = std::min(value, 100);
        if (m_window && value != m_last) {
            m_last = value;
            m_window->Post(HttpClient::kProgressMessage, 0, value);
        }
    }

private:
    WindowPoster* m_window;
    int m_last = -1;
};

// One request with its redirects, delivering the final body in blocks of kBlockSize.
class Transfer {
public:
    Transfer(const HttpOptions& options, std::atomic<bool>& keepGoing, uint64_t cap)
        : m_options(options), m_continue(keepGoing), m_cap(cap)
    {
    }

    bool Init()
    {
        InitCurlOnce();
        m_curl.reset(curl_easy_init());
        if (!m_curl)
            return false;
        curl_slist* headers = nullptr;
        for (const char* h : { "Accept: */*", "Cache-Control: no-cache", "Pragma: no-cache" }) {
            curl_slist* next = curl_slist_append(headers, h);
            if (!next) {
                curl_slist_free_all(headers);
                return false;
            }
            headers = next;
        }
        m_headers.reset(headers);
        CURL* c = m_curl.get();
        bool ok = curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_USERAGENT, m_options.userAgent.c_str()) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_HTTPHEADER, m_headers.get()) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_BUFFERSIZE, static_cast<long>(HttpClient::kBlockSize)) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, static_cast<long>(m_options.connectTimeout.count())) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_HEADERDATA, this) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Transfer::OnData) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_WRITEDATA, this) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_XFERINFODATA, this) == CURLE_OK
            && curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
        if (ok && !m_options.caFile.empty())
            ok = curl_easy_setopt(c, CURLOPT_CAINFO, m_options.caFile.c_str()) == CURLE_OK;
        return ok;
    }

    int Run(std::string address, ResponseSink& sink)
    {
        m_sink = &sink;
        for (int hop = 0; hop <= m_options.maxRedirects; ++hop) {
            m_redirect = false;
            m_sawLocation = false;
            m_redirectBody = 0;
            m_lastReceived = 0;
            m_lastActivity = std::chrono::steady_clock::now();
            if (curl_easy_setopt(m_curl.get(), CURLOPT_URL, address.c_str()) != CURLE_OK)
                return HttpClient::kFailed;
            const CURLcode rc = curl_easy_perform(m_curl.get());
            if (m_cancelled)
                return HttpClient::kCancelled;
            if (rc != CURLE_OK || m_failed)
                return HttpClient::kFailed;
            if (!m_redirect) {
                if (!m_opened)
                    return HttpClient::kFailed;
                // The last, short read.
                if (!m_block.empty() && !m_sink->Block(m_block.data(), m_block.size()))
                    return HttpClient::kFailed;
                return HttpClient::kDone;
            }
            char* next = nullptr;
            if (curl_easy_getinfo(m_curl.get(), CURLINFO_REDIRECT_URL, &next) != CURLE_OK || !next)
                return HttpClient::kFailed;
            std::string target(next);
            if (!IsRedirectAllowed(address, target))
                return HttpClient::kFailed;
            address = std::move(target);
        }
        return HttpClient::kFailed;
    }

private:
    static bool StartsWithNoCase(std::string_view text, std::string_view prefix)
    {
        if (text.size() < prefix.size())
            return false;
        for (size_t i = 0; i < prefix.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
                return false;
        return true;
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<Transfer*>(user);
        const size_t length = size * count;
        const std::string_view line(data, length);
        if (StartsWithNoCase(line, "http/"))
            self->m_sawLocation = false;
        else if (StartsWithNoCase(line, "location:"))
            self->m_sawLocation = true;
        if (line != "\r\n" && line != "\n")
            return length;
        return self->HeadersDone() ? length : 0;
    }

    bool HeadersDone()
    {
        long status = 0;
        curl_easy_getinfo(m_curl.get(), CURLINFO_RESPONSE_CODE, &status);
        if (status >= 100 && status < 200)
            return true;
        if ((status == 301 || status == 302 || status == 303 || status == 307 || status == 308) && m_sawLocation) {
            m_redirect = true;
            return true;
        }
        if (status < 200 || status >= 300) {
            m_failed = true;
            return false;
        }
        curl_off_t length = -1;
        curl_easy_getinfo(m_curl.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        const uint64_t known = length > 0 ? static_cast<uint64_t>(length) : 0;
        if (known > m_cap || !m_sink->Opened(known)) {
            m_failed = true;
            return false;
        }
        m_opened = true;
        return true;
    }

    static size_t OnData(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<Transfer*>(user);
        const size_t length = size * count;
        return self->Take(data, length) ? length : 0;
    }

    bool Take(const char* data, size_t length)
    {
        if (m_redirect) {
            m_redirectBody += length;
            m_failed = m_redirectBody > kMaxRedirectBody;
            return !m_failed;
        }
        if (!m_opened || length > m_cap - m_total) {
            m_failed = true;
            return false;
        }
        m_total += length;
        while (length > 0) {
            const size_t take = std::min(length, HttpClient::kBlockSize - m_block.size());
            m_block.append(data, take);
            data += take;
            length -= take;
            if (m_block.size() < HttpClient::kBlockSize)
                break;
            if (!m_sink->Block(m_block.data(), m_block.size())) {
                m_failed = true;
                return false;
            }
            m_block.clear();
            if (!m_continue) {
                m_cancelled = true;
                return false;
            }
        }
        return true;
    }

    // Called often while data flows and about once a second while it does not.
    static int OnProgress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t)
    {
        auto* self = static_cast<Transfer*>(user);
        if (!self->m_continue) {
            self->m_cancelled = true;
            return 1;
        }
        const auto now = std::chrono::steady_clock::now();
        if (received != self->m_lastReceived) {
            self->m_lastReceived = received;
            self->m_lastActivity = now;
        } else if (now - self->m_lastActivity > self->m_options.stallTimeout) {
            self->m_failed = true;
            return 1;
        }
        return 0;
    }

    const HttpOptions& m_options;
    std::atomic<bool>& m_continue;
    const uint64_t m_cap;
    std::unique_ptr<CURL, CurlDeleter> m_curl;
    std::unique_ptr<curl_slist, SlistDeleter> m_headers;
    ResponseSink* m_sink = nullptr;
    std::string m_block;
    uint64_t m_total = 0;
    uint64_t m_redirectBody = 0;
    curl_off_t m_lastReceived = 0;
    std::chrono::steady_clock::time_point m_lastActivity;
    bool m_redirect = false;
    bool m_sawLocation = false;
    bool m_opened = false;
    bool m_failed = false;
    bool m_cancelled = false;
};

class TextSink final : public ResponseSink {
public:
    bool Opened(uint64_t) override { return true; }
    bool Block(const char* data, size_t size) override
    {
        m_bytes.append(data, size);
        return true;
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

class FileSink final : public ResponseSink {
public:
    FileSink(std::string path, Progress& progress) : m_path(std::move(path)), m_progress(progress) {}
    ~FileSink() override { Discard(); }
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    bool Opened(uint64_t contentLength) override
    {
        m_progress.Set(8);
        if (unlink(m_path.c_str()) != 0 && errno != ENOENT)
            return false;
        // O_EXCL: never write through a link that appeared in the meantime.
        m_fd = open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (m_fd < 0)
            return false;
        m_progress.Set(10);
        m_blocks = contentLength / HttpClient::kBlockSize;
        return true;
    }

    bool Block(const char* data, size_t size) override
    {
        while (size > 0) {
            const ssize_t written = write(m_fd, data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            data += written;
            size -= static_cast<size_t>(written);
        }
        ++m_blocksRead;
        if (m_blocks != 0)
            m_progress.Set(static_cast<int>(10 + (90 * m_blocksRead) / m_blocks));
        return true;
    }

    // Closes the finished file; false when it could not be completed.
    bool Keep()
    {
        const int fd = m_fd;
        m_fd = -1;
        if (fd < 0 || close(fd) != 0) {
            unlink(m_path.c_str());
            return false;
        }
        return true;
    }

    void Discard()
    {
        if (m_fd >= 0) {
            close(m_fd);
            m_fd = -1;
            unlink(m_path.c_str());
        }
    }

private:
    std::string m_path;
    Progress& m_progress;
    int m_fd = -1;
    uint64_t m_blocks = 0;
    uint64_t m_blocksRead = 0;
};

} // namespace

HttpClient::HttpClient() = default;

HttpClient::HttpClient(HttpOptions options) : m_options(std::move(options)) {}

int HttpClient::DownloadText(const std::wstring& address, std::wstring& text)
{
    m_continue = true;
    Transfer transfer(m_options, m_continue, m_options.maxTextBytes);
    if (!transfer.Init())
        return kNoSession;
    TextSink sink;
    const int result = transfer.Run(ToUtf8(address), sink);
    if (result == kDone || result == kCancelled)
        text = FromUtf8(sink.Bytes());
    return result;
}

int HttpClient::DownloadToFile(const std::wstring& address, const std::wstring& path, WindowPoster* window)
{
    m_continue = true;
    Progress progress(window);
    progress.Set(0);
    Transfer transfer(m_options, m_continue, m_options.maxFileBytes);
    if (!transfer.Init())
        return kNoSession;
    progress.Set(2);
    FileSink sink(ToUtf8(path), progress);
    int result = transfer.Run(ToUtf8(address), sink);
    if (result == kDone && !sink.Keep())
        result = kFailed;
    if (result != kDone)
        return result;
    progress.Set(100);
    return result;
}

} // namespace platform
