#include "profiles/ProfileNames.h"

#include "profiles/ItemListView.h"

#include <algorithm>
#include <unordered_set>

namespace {

constexpr int kMaxUniqueNumber = 1000;

// Refused anywhere in a profile or macro name: five Latin words and ten Chinese ones, lower case.
constexpr std::wstring_view kBlockedWords[15] = {
    L"fuck", L"shit", L"cunt", L"bitch", L"whore",
    L"傻逼", L"婊子", L"妈的", L"他妈", L"贱人", L"屌", L"畜生", L"混蛋", L"王八", L"尼玛",
};

std::wstring Numbered(std::wstring_view stem, int n)
{
    std::wstring s(stem);
    s += L' ';
    s += std::to_wstring(n);
    return s;
}

template <typename Taken>
std::wstring FirstFree(std::wstring_view stem, Taken taken)
{
    for (int n = 1; n < kMaxUniqueNumber; ++n) {
        std::wstring candidate = Numbered(stem, n);
        if (!taken(candidate))
            return candidate;
    }
    return Numbered(stem, kMaxUniqueNumber);
}

// Default stems of the other languages; a stored name keeps the language it was made in.
constexpr std::wstring_view kEnglishStem = L"Profile";
constexpr std::wstring_view kPortugueseStem = L"Perfil";
constexpr std::wstring_view kChineseStem = L"配置方案";

} // namespace

std::wstring MakeUniqueName(std::wstring_view stem, const std::vector<std::wstring>& taken)
{
    const std::unordered_set<std::wstring> set(taken.begin(), taken.end());
    return FirstFree(stem, [&](const std::wstring& s) { return set.count(s) != 0; });
}

std::wstring MakeUniqueName(std::wstring_view stem, const ItemListView& list)
{
    std::vector<std::wstring> taken;
    const int count = list.GetItemCount();
    for (int i = 0; i < count; ++i)
        taken.push_back(list.GetItemText(i));
    return MakeUniqueName(stem, taken);
}

bool IsBlockedName(std::wstring_view name)
{
    std::wstring lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; });
    return std::any_of(std::begin(kBlockedWords), std::end(kBlockedWords),
                       [&](std::wstring_view w) { return lower.find(w) != std::wstring::npos; });
}

std::wstring GetProfileDisplayName(std::wstring_view storedName, int languageId, std::wstring_view stem)
{
    std::wstring_view first, second;
    switch (languageId) {
    case 2052: first = kEnglishStem; second = kPortugueseStem; break;
    case 1033: first = kChineseStem; second = kPortugueseStem; break;
    case 1046: first = kChineseStem; second = kEnglishStem; break;
    default: return std::wstring(storedName);
    }
    for (std::wstring_view prefix : {first, second})
        if (storedName.starts_with(prefix))
            return std::wstring(stem) + std::wstring(storedName.substr(prefix.size()));
    return std::wstring(storedName);
}
