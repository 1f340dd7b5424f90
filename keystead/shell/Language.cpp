#include "shell/Language.h"

#include "platform/IniFile.h"
#include "platform/TextCodec.h"
#include "shell/AppPaths.h"

#include <atomic>
#include <mutex>
#include <sys/stat.h>

namespace {
std::atomic<int> g_currentLanguageId{0};

// The parsed file of the current language, re-read when the path or the file changes,
// so a language switch or an edited file shows at the next lookup.
class LanguageFileCache {
public:
    std::wstring Text(const std::wstring& path, int number, std::wstring_view section)
    {
        std::lock_guard lock(m_lock);
        Refresh(path);
        return m_file.Get(section, std::to_wstring(number));
    }

    void SetFolder(const std::wstring& dir)
    {
        std::lock_guard lock(m_lock);
        m_folder = dir;
        if (!m_folder.empty() && m_folder.back() != L'/')
            m_folder.push_back(L'/');
    }

    std::wstring Folder()
    {
        std::lock_guard lock(m_lock);
        if (m_folder.empty())
            m_folder = GetModuleDirWithSlash() + L"language/";
        return m_folder;
    }

private:
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        bool operator==(const Stamp& o) const
        {
            return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
                   modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
        }
    };

    static Stamp StampOf(const std::string& path)
    {
        Stamp s;
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            s = {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim};
        }
        return s;
    }

    void Refresh(const std::wstring& path)
    {
        const std::string file = platform::ToUtf8(path);
        const Stamp stamp = StampOf(file);
        if (m_loaded && path == m_path && stamp == m_stamp)
            return;
        m_file.Clear();
        if (stamp.exists)
            m_file.Load(file);
        m_path = path;
        m_stamp = stamp;
        m_loaded = true;
    }

    std::mutex m_lock;
    std::wstring m_folder;
    std::wstring m_path;
    Stamp m_stamp;
    bool m_loaded = false;
    platform::IniFile m_file;
};

LanguageFileCache& Cache()
{
    static LanguageFileCache cache;
    return cache;
}
} // namespace

int GetCurrentLanguageId()
{
    return g_currentLanguageId.load();
}

void SetCurrentLanguageId(int id)
{
    g_currentLanguageId.store(id);
}

void SetLanguageFolder(const std::wstring& dir)
{
    Cache().SetFolder(dir);
}

std::wstring GetLanguageFolder()
{
    return Cache().Folder();
}

std::wstring GetLanguageFilePath(int id)
{
    return GetLanguageFolder() + std::to_wstring(id) + L".lan";
}

std::wstring GetLanguageText(int number, std::wstring_view section)
{
    return Cache().Text(GetLanguageFilePath(GetCurrentLanguageId()), number, section);
}
