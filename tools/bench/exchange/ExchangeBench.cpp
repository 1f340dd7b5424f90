// Profile exchange files: export of a full profile and import of a typical and of a hostile file.
// Prints "<figure>: <value> <unit>" lines only.
#include "profiles/ExchangeFiles.h"
#include "store/DataStore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

double MedianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// A full keyboard: 104 assigned keys, 20 of them playing macros of 50 events each.
int FillTypicalProfile(DataStore& store)
{
    ProfileData p;
    p.name = L"Bench";
    const int profile = store.AddProfile(p);
    std::vector<int> macros;
    for (int m = 0; m < 20; ++m) {
        MacroData header{0, L"Macro " + std::to_wstring(m), 0, 1, 1, 0};
        const int id = store.AddMacroWithSettings(header);
        std::vector<MacroRecordData> events;
        for (int e = 0; e < 50; ++e)
            events.push_back({0, id, e % 2 ? 3 : 2, e, 65 + e / 2 % 26, 30, L"A"});
        store.SaveMacroEvents(events);
        macros.push_back(id);
    }
    for (int code = 4; code < 108; ++code) {
        KeyMacroData k;
        k.profile = profile;
        k.key_code = code;
        const bool macro = code % 5 == 0 && code / 5 <= 20;
        k.macro_type = macro ? 3 : 2;
        k.macro_value = macro ? macros[static_cast<size_t>(code / 5 - 1)] : code;
        k.macro_desc = L"X";
        store.SaveKeyAssignment(k);
    }
    return profile;
}

std::string HostileProfile(int items)
{
    std::string text = "<profile><keyitems>";
    for (int i = 1; i <= items; ++i)
        text += "<item key_code='" + std::to_string(i % 300 + 1) + "' macro_type='2' macro_value='" +
                std::to_string(i) + "'/>";
    return text + "</keyitems></profile>";
}

} // namespace

int main()
{
    DataStore source;
    if (!source.OpenDatabaseFile(L":memory:"))
        return 1;
    const int profile = FillTypicalProfile(source);
    std::string typical;
    std::printf("export_profile_104_keys: %.2f ms\n",
                MedianMs(21, [&] { typical = BuildProfileFile(source, profile, L"Bench"); }));
    std::printf("import_profile_104_keys: %.2f ms\n", MedianMs(11, [&] {
                    DataStore target;
                    target.OpenDatabaseFile(L":memory:");
                    ImportProfileText(target, typical, L"Bench.xml");
                }));
    const std::string hostile = HostileProfile(100000);
    std::printf("import_profile_100k_items: %.1f ms\n", MedianMs(5, [&] {
                    DataStore target;
                    target.OpenDatabaseFile(L":memory:");
                    ImportProfileText(target, hostile, L"Big.xml");
                }));
    return 0;
}
