#include "update/ArchiveSignature.h"

#include "platform/TextCodec.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool DecodeExact(std::string_view text, size_t size, std::vector<unsigned char>& out)
{
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return false;
    text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    out.assign(size + 1, 0);
    size_t length = 0;
    const char* end = nullptr;
    if (sodium_base642bin(out.data(), out.size(), text.data(), text.size(), " \t\r\n", &length, &end,
                          sodium_base64_VARIANT_ORIGINAL) != 0)
        return false;
    if (end != text.data() + text.size() || length != size)
        return false;
    out.resize(size);
    return true;
}

// The file's bytes, mapped read-only for the length of one check.
class MappedFile {
public:
    explicit MappedFile(const std::string& path)
    {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        struct stat st {};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            m_size = static_cast<size_t>(st.st_size);
            if (m_size == 0) {
                m_ok = true;
            } else {
                void* data = mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0);
                if (data != MAP_FAILED) {
                    m_data = static_cast<const unsigned char*>(data);
                    m_ok = true;
                }
            }
        }
        close(fd);
    }
    ~MappedFile()
    {
        if (m_data)
            munmap(const_cast<unsigned char*>(m_data), m_size);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool Ok() const { return m_ok; }
    const unsigned char* Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    const unsigned char* m_data = nullptr;
    size_t m_size = 0;
    bool m_ok = false;
};

} // namespace

bool VerifyFileSignature(const std::wstring& path, std::string_view signatureBase64, std::string_view publicKeyBase64)
{
    if (sodium_init() < 0)
        return false;
    std::vector<unsigned char> key;
    std::vector<unsigned char> signature;
    if (!DecodeExact(publicKeyBase64, crypto_sign_PUBLICKEYBYTES, key)
        || !DecodeExact(signatureBase64, crypto_sign_BYTES, signature))
        return false;
    const MappedFile file(platform::ToUtf8(path));
    if (!file.Ok())
        return false;
    static const unsigned char kEmpty = 0;
    const unsigned char* data = file.Data() ? file.Data() : &kEmpty;
    return crypto_sign_verify_detached(signature.data(), data, file.Size(), key.data()) == 0;
}
