#pragma once
// Helpers for tests that touch the file system or the environment: a fresh temporary
// folder that is removed afterwards, environment variables restored on scope exit, and
// the XDG folders of a fresh user.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace testenv {

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "keystead-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(std::string_view name) const { return m_path + "/" + std::string(name); }

private:
    std::string m_path;
};

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR inside one temporary folder.
class FreshUser {
public:
    FreshUser()
        : m_config("XDG_CONFIG_HOME", m_root / "config"),
          m_data("XDG_DATA_HOME", m_root / "data"),
          m_runtime("XDG_RUNTIME_DIR", m_root / "runtime")
    {
        for (const char* sub : {"config", "data", "runtime"})
            std::filesystem::create_directories(m_root / sub);
    }
    const TempFolder& Root() const { return m_root; }
    std::string ConfigHome() const { return m_root / "config"; }
    std::string DataHome() const { return m_root / "data"; }
    std::string RuntimeDir() const { return m_root / "runtime"; }

private:
    TempFolder m_root;
    ScopedEnv m_config;
    ScopedEnv m_data;
    ScopedEnv m_runtime;
};

inline bool WriteFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

inline std::optional<std::string> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Text as UTF-16LE bytes with a byte-order mark, as Windows tools save "Unicode" files.
inline std::string Utf16Le(std::u16string_view text)
{
    std::string out = "\xFF\xFE";
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

} // namespace testenv
