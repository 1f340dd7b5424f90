#pragma once
#include "store/Records.h"
#include "store/SQLiteDB.h"

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// The configuration database of the selected keyboard model, and every operation on its
// tables. One lock serialises all of them: the store is used at once from the UI thread,
// the worker thread and the filter monitor thread.
//
// Results: "row id" is the new primary key (low 32 bits) or 0 on failure; "ok" is true when
// the statement ran (step result 0, 100 or 101); lists are emptied first and filled in the
// order SQLite returns the rows, and the count is returned. On a closed database every
// operation returns its failure value.
class DataStore {
public:
    // Custom per-key colours are stored under the custom lighting mode's number.
    static constexpr int kCustomLightId = 128;

    DataStore() = default;
    DataStore(const DataStore&) = delete;
    DataStore& operator=(const DataStore&) = delete;
    // Closes the connection if it is open.
    ~DataStore();

    // ---- the file ----
    // dataDir + "db/" + deviceName + "_data_v1.db".
    static std::wstring DatabasePath(const std::wstring& dataDir, const std::wstring& deviceName);
    // Opens the model's file, creating it (and its folder) with the empty schema when it does
    // not exist. True when it is open; also stored as the opened flag.
    bool OpenDeviceDatabase(const std::wstring& dataDir, const std::wstring& deviceName);
    // The same for a given path; ":memory:" opens a fresh in-memory database.
    bool OpenDatabaseFile(const std::wstring& path);
    // Opens (creating if needed) the file at the stored path and creates the missing tables
    // and indexes. True when already open, or when every schema statement succeeded.
    bool CreateDatabase();
    // The default configuration rows, written once with the first profile.
    void WriteDefaultConfig();
    // Deletes the model's file with its write-ahead log and shared-memory files.
    void DeleteDeviceDatabase(const std::wstring& dataDir, const std::wstring& deviceName);
    void CloseDatabase();
    bool IsOpened() const;
    std::string Path() const;
    int GetCurrentDevice() const;
    void SetCurrentDevice(int deviceType);

    // ---- profiles ----
    int AddProfile(const ProfileData& profile);                 // row id; status and type written as 0
    bool DeleteProfile(int profile);                            // ok
    bool RenameProfile(int profile, std::wstring_view name);    // ok
    bool GetProfileName(int profile, std::wstring& name);       // found; name emptied first
    int GetProfiles(std::vector<ProfileData>& profiles);        // count
    bool SetActiveProfile(int profile);                         // ok of setting the mark
    int GetActiveProfile();                                     // first active profile, 0 if none

    // ---- key assignments ----
    // key_code 0: nothing, 0. Otherwise replaces the key's row; a record whose macro_value and
    // macro_value2 are both 0 only deletes it (result 0). Else the new row id.
    int SaveKeyAssignment(const KeyMacroData& key);
    bool GetKeyAssignment(int profile, int fnLayer, int keyCode, KeyMacroData& key); // found
    int GetLayerAssignments(int profile, int fnLayer, std::vector<KeyMacroData>& keys);
    int AddKeyOtherData(std::wstring_view macroDesc, std::wstring_view param, int type); // row id
    // True when the query ran (row or not); outputs untouched when there is no row.
    bool GetKeyOtherData(int macroValue, std::wstring& macroDesc, std::wstring& param, int& type);

    // ---- macros ----
    int AddMacro(std::wstring_view name);                       // row id; play_times 1, delay_type 1
    int AddMacroWithSettings(const MacroData& macro);           // row id
    bool RenameMacro(int macroId, std::wstring_view name);      // ok
    bool UpdateMacroSettings(const MacroData& macro);           // ok; play_times, delay_type, delay_time
    // Deletes the macro, its events and every key assignment of kind 3 pointing at it.
    bool DeleteMacro(int macroId);
    bool GetMacroPlayTimes(int macroId, int& playTimes);        // found
    bool GetMacro(int macroId, MacroData& macro);               // found
    int GetMacros(std::vector<MacroData>& macros);              // count
    int AddMacroEvent(const MacroRecordData& event);            // row id
    // Inserts every event in one transaction (nothing is deleted); individual failures are
    // passed over. Returns the number of events stored, 0 when the commit failed.
    int SaveMacroEvents(const std::vector<MacroRecordData>& events);
    int GetMacroEvents(int macroId, std::vector<MacroRecordData>& events); // by record_index
    bool DeleteMacroEvents(int macroId);                        // ok
    int CountMacroActions(int macroId);                         // events whose type is not 1

    // ---- lighting ----
    int CountLights(int profile);
    int AddLight(const LightData& light);                       // row id
    // Writes brightness, speed, direction, colorful, colorindex, color_value, config_func,
    // reserved of the record to the row (profile, mode).
    bool UpdateLight(int profile, int mode, const LightData& light);
    bool SetActiveLight(int profile, int mode);                 // clears every profile's mark first
    int GetActiveLightMode(int profile);                        // 0 if none
    bool GetLight(int profile, int mode, LightData& light);     // found
    int GetLights(int profile, std::vector<LightData>& lights); // count
    // Inserts every colour in one transaction; returns the number stored, 0 when the commit failed.
    int SaveKeyLights(const std::vector<KeyLightData>& keyLights);
    bool DeleteKeyLights();                                     // every profile's custom colours
    int GetKeyLights(int lightId, std::vector<KeyLightData>& keyLights); // rows of every profile

    // ---- music lighting: one row per database, profile 1, layer 1 ----
    int CountMusicLayers();
    int AddMusicLayer(std::wstring_view name, int foremode);    // row id
    bool GetMusicLayer(int layerId, MusicLayerData& layer);     // found
    bool UpdateMusicLayer(const MusicLayerData& layer);         // ok; always writes layer 1
    bool SelectMusicLayer();                                    // ok
    int GetSelectedMusicLayer();                                // 0 if none

private:
    bool OpenPathLocked(const std::string& path);
    bool CreateDatabaseLocked();
    void CloseLocked();

    SQLiteDB connection_;
    mutable std::mutex lock_;
    std::string path_;  // UTF-8
    std::string key_;   // always empty: the file is never encrypted
    int currentDevice_ = 0;
    bool opened_ = false;
};

// The process-wide store, created on first use.
DataStore& GetDataStore();
