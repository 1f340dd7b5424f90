// Profile and macro exchange files through import into a fresh in-memory store.
#include "profiles/ExchangeFiles.h"
#include "store/DataStore.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    DataStore store;
    if (!store.OpenDatabaseFile(L":memory:"))
        std::abort();
    const ProfileImport profile = ImportProfileText(store, text, L"fuzz.v1.xml");
    if (profile.profileId != 0 && profile.name != L"fuzz")
        std::abort();
    ImportMacroText(store, text, L"fuzz.xml");
    return 0;
}
