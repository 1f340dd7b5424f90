#include "update/VersionCompare.h"

#include "xml/XmlDocument.h"

#include <vector>

namespace {

std::vector<std::wstring_view> SplitAtDots(std::wstring_view text)
{
    std::vector<std::wstring_view> parts;
    size_t start = 0;
    for (size_t dot = text.find(L'.'); dot != std::wstring_view::npos; dot = text.find(L'.', start)) {
        parts.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

} // namespace

int CompareVersions(std::wstring_view first, std::wstring_view second)
{
    const std::vector<std::wstring_view> a = SplitAtDots(first);
    const std::vector<std::wstring_view> b = SplitAtDots(second);
    if (a.size() != b.size())
        return 2;
    for (size_t i = 0; i < a.size(); ++i) {
        const int x = LeadingInt(a[i]);
        const int y = LeadingInt(b[i]);
        if (x != y)
            return x > y ? -1 : 1;
    }
    return 0;
}
