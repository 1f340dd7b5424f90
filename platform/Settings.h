#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Named string values of one application, kept in one file (the counterpart of a per-user
// registry key). Every write replaces the whole file atomically: a temporary file beside it
// is written and flushed to disk, renamed over the old one and the folder is flushed, so a
// crash leaves either the old or the new file, never a torn one. A file that cannot be read
// or parsed holds no values.
namespace platform {

class Settings {
public:
    // Files larger than this read as holding no values.
    static constexpr size_t kMaxFileSize = 1024u * 1024u;

    // `folder` is the settings folder ("key"); the values live in folder/settings.ini.
    explicit Settings(std::string folder);

    // The folder of an application: $XDG_CONFIG_HOME/<name>.
    static std::string FolderFor(std::string_view applicationName);

    const std::string& Folder() const { return m_folder; }
    std::string FilePath() const;

    bool FolderExists() const;
    // Creates the folder and its parents; true when it exists afterwards.
    bool CreateFolder() const;

    // Value names compare case-insensitively (ASCII), as registry value names do.
    std::optional<std::string> Read(std::string_view name) const;
    // Sets one value, keeping the others; false when the folder is missing or the file
    // cannot be replaced (the old file then stays as it was).
    bool Write(std::string_view name, std::string_view value) const;

    using Values = std::vector<std::pair<std::string, std::string>>;
    // All values in file order; empty when the file is missing or unreadable.
    Values ReadAll() const;

    // File text and its parser: "name=value" lines, '#' comment lines, backslash escapes
    // for '\\', line breaks and '=' in names. Lines without '=' are passed over.
    static std::string Serialize(const Values& values);
    static Values Parse(std::string_view text);

private:
    bool Replace(const Values& values) const;

    std::string m_folder;
};

} // namespace platform
