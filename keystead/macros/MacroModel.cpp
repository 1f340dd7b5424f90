#include "macros/MacroModel.h"

#include "profiles/ProfileNames.h"
#include "store/DataStore.h"

MacroData NewMacroHeader(std::wstring_view name)
{
    MacroData m;
    m.name = name;
    m.play_times = 1;
    m.delay_type = MacroDelayType::Recorded;
    m.delay_time = 0;
    m.link_count = 0;
    return m;
}

std::wstring MakeDefaultMacroName(std::wstring_view stem, const std::vector<std::wstring>& taken)
{
    return MakeUniqueName(stem, taken);
}

std::wstring MakeDuplicateMacroName(std::wstring_view sourceName, const std::vector<std::wstring>& taken)
{
    return MakeUniqueName(std::wstring(sourceName) + L" -", taken);
}

std::wstring GetMacroDisplayName(std::wstring_view storedName, int languageId, std::wstring_view stem)
{
    if (languageId != 1033 && languageId != 1046 && languageId != 2052)
        return std::wstring(storedName);
    for (std::wstring_view prefix : {std::wstring_view(L"Macro"), std::wstring_view(L"宏")})
        if (storedName.starts_with(prefix))
            return std::wstring(stem) + std::wstring(storedName.substr(prefix.size()));
    return std::wstring(storedName);
}

int DuplicateMacro(DataStore& store, int sourceId, const std::vector<std::wstring>& takenNames)
{
    MacroData source;
    if (sourceId <= 0 || !store.GetMacro(sourceId, source))
        return 0;
    MacroData copy = source;
    copy.name = MakeDuplicateMacroName(source.name, takenNames);
    const int newId = store.AddMacroWithSettings(copy);
    if (newId <= 0)
        return 0;
    std::vector<MacroRecordData> events;
    store.GetMacroEvents(sourceId, events);
    for (MacroRecordData& e : events) {
        e.macro_id = newId;
        store.AddMacroEvent(e);
    }
    return newId;
}
