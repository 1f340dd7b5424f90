#pragma once
#include <string>
#include <string_view>

// Start with the desktop session: an XDG autostart entry
// $XDG_CONFIG_HOME/autostart/<name>.desktop. The entry being present means on.
namespace platform {

class Autostart {
public:
    explicit Autostart(std::string_view applicationName);

    std::string EntryPath() const;
    bool IsOn() const;
    // Writes the entry (atomically) so the session starts `program`; false on failure.
    bool Enable(const std::string& program) const;
    // Removes the entry; true when it is gone afterwards.
    bool Disable() const;

    // The entry's text for a program path.
    std::string EntryText(const std::string& program) const;

private:
    std::string m_name;
};

} // namespace platform
