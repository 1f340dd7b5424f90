// Store timings on a database file: median of repeated runs, printed as "<figure>: <value> <unit>".
// The baseline figures run the same statements with a rollback journal and synchronous=OFF,
// so the cost of the crash-safe write-ahead log can be read off the same run.
#include "store/DataStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 41;
constexpr int kKeys = 110;
constexpr int kMacroEvents = 500;

double MedianMicros(const std::function<void()>& work)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    return times[kRuns / 2];
}

std::vector<KeyLightData> KeyColours()
{
    std::vector<KeyLightData> colours;
    for (int key = 0; key < kKeys; ++key)
        colours.push_back({0, 1, DataStore::kCustomLightId, key + 4, 0x00102030 + key});
    return colours;
}

std::vector<MacroRecordData> MacroEvents(int macroId)
{
    std::vector<MacroRecordData> events;
    for (int i = 0; i < kMacroEvents; ++i)
        events.push_back({0, macroId, i % 2 ? 1 : 2, i, 0x41 + i % 26, 20, L"A"});
    return events;
}

// The same statement sequence on a raw connection with the old journal settings.
void RawBatch(sqlite3* db, const char* sql, int rows, const std::function<void(sqlite3_stmt*, int)>& bind)
{
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int row = 0; row < rows; ++row) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        bind(st, row);
        sqlite3_step(st);
        sqlite3_finalize(st);
    }
    sqlite3_exec(db, "END", nullptr, nullptr, nullptr);
}

void RawExec(sqlite3* db, const char* sql, int value)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    sqlite3_bind_int(st, 1, value);
    sqlite3_step(st);
    sqlite3_finalize(st);
}

} // namespace

int main()
{
    char pattern[] = "/tmp/keystead-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return 1;
    const std::filesystem::path dir = pattern;
    const std::filesystem::path file = dir / "bench.db";

    DataStore store;
    if (!store.OpenDatabaseFile(file.wstring()))
        return 1;
    const std::vector<KeyLightData> colours = KeyColours();
    const int macro = store.AddMacro(L"bench");
    const std::vector<MacroRecordData> events = MacroEvents(macro);
    for (int key = 0; key < kKeys; ++key)
        store.SaveKeyAssignment({0, 1, 0, key + 4, 0, L"", 1, key + 4, 0, 0, L"Key"});

    const double keyColours = MedianMicros([&] {
        store.DeleteKeyLights();
        store.SaveKeyLights(colours);
    });
    const double macroSave = MedianMicros([&] {
        store.DeleteMacroEvents(macro);
        store.SaveMacroEvents(events);
    });
    std::vector<KeyMacroData> keys;
    const double layerRead = MedianMicros([&] { store.GetLayerAssignments(1, 0, keys); });
    store.CloseDatabase();

    // Baseline: rollback journal, synchronous OFF.
    std::filesystem::copy_file(file, dir / "baseline.db");
    sqlite3* db = nullptr;
    sqlite3_open_v2((dir / "baseline.db").c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode = DELETE; PRAGMA synchronous = OFF; ", nullptr, nullptr, nullptr);
    const double keyColoursBase = MedianMicros([&] {
        RawExec(db, "DELETE FROM t_key_light_data WHERE light_id = ?", DataStore::kCustomLightId);
        RawBatch(db, "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) VALUES (?, ?, ?, ?);", kKeys,
                 [&](sqlite3_stmt* st, int i) {
                     sqlite3_bind_int(st, 1, colours[i].profile);
                     sqlite3_bind_int(st, 2, colours[i].light_id);
                     sqlite3_bind_int(st, 3, colours[i].key_code);
                     sqlite3_bind_int(st, 4, colours[i].key_rgb);
                 });
    });
    const double macroSaveBase = MedianMicros([&] {
        RawExec(db, "DELETE FROM t_macrorecord WHERE macro_id = ?", macro);
        RawBatch(db, "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) VALUES (?, ?, ?, ?, ?, ?);",
                 kMacroEvents, [&](sqlite3_stmt* st, int i) {
                     sqlite3_bind_int(st, 1, events[i].macro_id);
                     sqlite3_bind_int(st, 2, events[i].type);
                     sqlite3_bind_int(st, 3, events[i].record_index);
                     sqlite3_bind_text(st, 4, "A", 1, SQLITE_TRANSIENT);
                     sqlite3_bind_int(st, 5, events[i].value);
                     sqlite3_bind_int(st, 6, events[i].delay_time);
                 });
    });
    sqlite3_close(db);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);

    std::printf("save_key_colours_110_median: %.1f us\n", keyColours);
    std::printf("save_key_colours_110_syncoff_baseline_median: %.1f us\n", keyColoursBase);
    std::printf("save_macro_500_events_median: %.1f us\n", macroSave);
    std::printf("save_macro_500_events_syncoff_baseline_median: %.1f us\n", macroSaveBase);
    std::printf("layer_assignments_110_rows_median: %.1f us\n", layerRead);
    return 0;
}
