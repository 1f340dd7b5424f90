#include "profiles/ExchangeFiles.h"

#include "keys/KeyFunction.h"
#include "macros/MacroModel.h"
#include "store/DataStore.h"
#include "xml/XmlDocument.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace {

const std::wstring kDeclaration = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
// The macro editor accepts five digits of delay.
constexpr int kMaxImportedDelayMs = 99999;

int Clamp(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

// Control characters would break list rows and tips, and cannot be written back as XML 1.0.
std::wstring CleanText(std::wstring text)
{
    std::erase_if(text, [](wchar_t c) { return c < 0x20 || c == 0x7F; });
    return text;
}

void WriteEvents(XmlDocument& doc, const std::vector<MacroRecordData>& events)
{
    for (const MacroRecordData& e : events) {
        doc.AddElem(L"item");
        doc.SetAttrib(L"desc", e.desc);
        doc.SetAttrib(L"type", e.type);
        doc.SetAttrib(L"value", e.value);
        doc.SetAttrib(L"delay_time", e.delay_time);
    }
}

// Stores the item children of the current level as the events of a macro.
void ReadEvents(XmlDocument& doc, DataStore& store, int macroId)
{
    int index = 0;
    while (doc.FindElem(L"item")) {
        MacroRecordData e;
        e.macro_id = macroId;
        e.record_index = index++;
        e.desc = CleanText(doc.GetAttrib(L"desc"));
        e.type = doc.GetAttribInt(L"type");
        e.value = doc.GetAttribInt(L"value");
        e.delay_time = Clamp(doc.GetAttribInt(L"delay_time"), 0, kMaxImportedDelayMs);
        store.AddMacroEvent(e);
    }
}

MacroData HeaderFromFile(const XmlDocument& doc, std::wstring name)
{
    MacroData m;
    m.name = std::move(name);
    m.play_times = Clamp(doc.GetAttribInt(L"times"), kMinPlayTimes, kMaxPlayTimes);
    m.delay_type = doc.GetAttribInt(L"type");
    m.delay_time = Clamp(doc.GetAttribInt(L"delaytime"), 0, kMaxImportedDelayMs);
    return m;
}

ProfileImport ImportProfileDocument(DataStore& store, XmlDocument& doc, const std::wstring& fileName)
{
    ProfileImport result;
    if (!doc.FindElem(L"profile"))
        return result;
    result.readable = true;

    // Macros first. A macro whose name exists already is not imported again; its keys play the
    // existing one.
    std::unordered_map<std::wstring, int> existing;
    {
        std::vector<MacroData> macros;
        store.GetMacros(macros);
        for (const MacroData& m : macros)
            existing.emplace(m.name, m.macro_id);
    }
    std::map<int, int> idMap;  // id in the file -> id in this database
    doc.IntoElem();
    while (doc.FindElem(L"macroinfo")) {
        const std::wstring name = CleanText(doc.GetAttrib(L"name"));
        const int fileId = doc.GetAttribInt(L"macro_id");
        if (auto it = existing.find(name); it != existing.end()) {
            idMap[fileId] = it->second;
            continue;
        }
        const int newId = store.AddMacroWithSettings(HeaderFromFile(doc, name));
        idMap[fileId] = newId;
        if (newId > 0)
            result.macros.push_back({name, newId});
        doc.IntoElem();
        if (newId > 0 && doc.FindElem(L"macroitems")) {
            doc.IntoElem();
            ReadEvents(doc, store, newId);
            doc.OutOfElem();
        }
        doc.OutOfElem();
    }

    // The profile, named after the file.
    doc.ResetPos();
    doc.FindElem(L"profileinfo");
    result.name = NameFromFileName(fileName);
    ProfileData profile;
    profile.name = result.name;
    result.profileId = store.AddProfile(profile);
    if (result.profileId <= 0) {
        result.profileId = 0;
        return result;
    }
    if (doc.FindElem(L"keyitems")) {
        doc.IntoElem();
        // Each save replaces the key's row, so only the last item of a key decides what is stored,
        // and its row comes after the rows of keys whose last item came earlier. Storing just those
        // gives the same rows in the same order, in work bounded by the number of keys.
        std::map<std::pair<int, int>, std::pair<size_t, KeyMacroData>> lastOfKey;  // (fn_layer, key_code)
        for (size_t index = 0; doc.FindElem(L"item"); ++index) {
            KeyMacroData k;
            k.profile = result.profileId;
            k.fn_layer = doc.GetAttribInt(L"fn_layer");
            k.key_code = doc.GetAttribInt(L"key_code");
            k.layout_value = doc.GetAttribInt(L"layout_value");
            k.layout_desc = CleanText(doc.GetAttrib(L"layout_desc"));
            k.macro_type = doc.GetAttribInt(L"macro_type");
            k.macro_value = doc.GetAttribInt(L"macro_value");
            k.macro_value2 = doc.GetAttribInt(L"macro_value2");
            k.macro_value3 = doc.GetAttribInt(L"macro_value3");
            k.macro_desc = CleanText(doc.GetAttrib(L"macro_desc"));
            if (k.macro_type == KeyKind::Macro)
                if (auto it = idMap.find(k.macro_value); it != idMap.end())
                    k.macro_value = it->second;
            lastOfKey[{k.fn_layer, k.key_code}] = {index, std::move(k)};
        }
        std::vector<std::pair<size_t, KeyMacroData>*> inFileOrder;
        for (auto& entry : lastOfKey)
            inFileOrder.push_back(&entry.second);
        std::sort(inFileOrder.begin(), inFileOrder.end(), [](auto* a, auto* b) { return a->first < b->first; });
        for (const auto* item : inFileOrder)
            store.SaveKeyAssignment(item->second);
    }
    return result;
}

ImportedMacro ImportMacroDocument(DataStore& store, XmlDocument& doc, const std::wstring& fileName)
{
    if (!doc.FindElem(L"macro"))
        return {};
    doc.IntoElem();
    doc.FindElem(L"macroinfo");
    ImportedMacro result{NameFromFileName(fileName), 0};
    result.id = store.AddMacroWithSettings(HeaderFromFile(doc, result.name));
    if (result.id <= 0)
        return {result.name, 0};
    if (doc.FindElem(L"macroitems")) {
        doc.IntoElem();
        ReadEvents(doc, store, result.id);
    }
    return result;
}

} // namespace

std::wstring NameFromFileName(std::wstring_view path)
{
    const size_t slash = path.find_last_of(L"/\\");
    if (slash != std::wstring_view::npos)
        path.remove_prefix(slash + 1);
    return std::wstring(path.substr(0, path.find(L'.')));
}

namespace {

void FillProfileDocument(XmlDocument& doc, DataStore& store, int profileId, const std::wstring& name)
{
    doc.NewDocument(kDeclaration);
    doc.AddElem(L"profile");
    doc.IntoElem();
    doc.AddElem(L"profileinfo");
    doc.SetAttrib(L"name", name);
    doc.AddElem(L"keyitems");
    doc.IntoElem();
    std::vector<KeyMacroData> keys;
    store.GetLayerAssignments(profileId, kNormalLayer, keys);
    std::vector<int> macroIds;
    for (const KeyMacroData& k : keys) {
        doc.AddElem(L"item");
        doc.SetAttrib(L"fn_layer", k.fn_layer);
        doc.SetAttrib(L"key_code", k.key_code);
        doc.SetAttrib(L"layout_value", k.layout_value);
        doc.SetAttrib(L"layout_desc", k.layout_desc);
        doc.SetAttrib(L"macro_type", k.macro_type);
        doc.SetAttrib(L"macro_value", k.macro_value);
        doc.SetAttrib(L"macro_value2", k.macro_value2);
        doc.SetAttrib(L"macro_value3", k.macro_value3);
        doc.SetAttrib(L"macro_desc", k.macro_desc);
        if (k.macro_type == KeyKind::Macro)
            macroIds.push_back(k.macro_value);
    }
    doc.OutOfElem();
    // A macro played by several keys is written once per key; read it from the store once.
    std::map<int, std::pair<MacroData, std::vector<MacroRecordData>>> macros;
    for (int id : macroIds) {
        auto [it, added] = macros.try_emplace(id);
        if (added && store.GetMacro(id, it->second.first))
            store.GetMacroEvents(id, it->second.second);
        const MacroData& m = it->second.first;
        doc.AddElem(L"macroinfo");
        doc.SetAttrib(L"name", m.name);
        doc.SetAttrib(L"macro_id", m.macro_id);
        doc.SetAttrib(L"times", m.play_times);
        doc.SetAttrib(L"type", m.delay_type);
        doc.SetAttrib(L"delaytime", m.delay_time);
        doc.IntoElem();
        doc.AddElem(L"macroitems");
        doc.IntoElem();
        WriteEvents(doc, it->second.second);
        doc.OutOfElem();
        doc.OutOfElem();
    }
}

void FillMacroDocument(XmlDocument& doc, DataStore& store, int macroId)
{
    MacroData m;
    store.GetMacro(macroId, m);
    std::vector<MacroRecordData> events;
    store.GetMacroEvents(macroId, events);
    doc.NewDocument(kDeclaration);
    doc.AddElem(L"macro");
    doc.IntoElem();
    doc.AddElem(L"macroinfo");
    doc.SetAttrib(L"name", m.name);
    doc.SetAttrib(L"times", m.play_times);
    doc.SetAttrib(L"type", m.delay_type);
    doc.SetAttrib(L"delaytime", m.delay_time);
    doc.AddElem(L"macroitems");
    doc.IntoElem();
    WriteEvents(doc, events);
}

} // namespace

std::string BuildProfileFile(DataStore& store, int profileId, const std::wstring& name)
{
    XmlDocument doc;
    FillProfileDocument(doc, store, profileId, name);
    return doc.GetDocText();
}

std::string BuildMacroFile(DataStore& store, int macroId)
{
    XmlDocument doc;
    FillMacroDocument(doc, store, macroId);
    return doc.GetDocText();
}

bool ExportProfile(DataStore& store, int profileId, const std::wstring& name, const std::wstring& path)
{
    XmlDocument doc;
    FillProfileDocument(doc, store, profileId, name);
    return doc.Save(path);
}

bool ExportMacro(DataStore& store, int macroId, const std::wstring& path)
{
    XmlDocument doc;
    FillMacroDocument(doc, store, macroId);
    return doc.Save(path);
}

ProfileImport ImportProfile(DataStore& store, const std::wstring& path)
{
    XmlDocument doc;
    if (!doc.Load(path))
        return {};
    return ImportProfileDocument(store, doc, path);
}

ProfileImport ImportProfileText(DataStore& store, std::string_view text, const std::wstring& fileName)
{
    XmlDocument doc;
    if (!doc.LoadFromText(text))
        return {};
    return ImportProfileDocument(store, doc, fileName);
}

ImportedMacro ImportMacro(DataStore& store, const std::wstring& path)
{
    XmlDocument doc;
    if (!doc.Load(path))
        return {};
    return ImportMacroDocument(store, doc, path);
}

ImportedMacro ImportMacroText(DataStore& store, std::string_view text, const std::wstring& fileName)
{
    XmlDocument doc;
    if (!doc.LoadFromText(text))
        return {};
    return ImportMacroDocument(store, doc, fileName);
}
