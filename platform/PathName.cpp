#include "platform/PathName.h"

namespace platform {

std::string SafePathComponent(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return "_";
    std::string out(name);
    for (char& c : out)
        if (c == '/' || c == '\0')
            c = '_';
    return out;
}

} // namespace platform
