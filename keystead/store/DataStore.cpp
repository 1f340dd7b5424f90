#include "store/DataStore.h"

#include "platform/TextCodec.h"
#include "shell/AppPaths.h"
#include "store/SQLiteAutoTransaction.h"

#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <system_error>

namespace {

// The schema in creation order; "IF NOT EXISTS" lets it run over an existing file.
constexpr std::array<const char*, 17> kSchema = {
    "CREATE TABLE IF NOT EXISTS t_configdata(config_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, key TEXT, value TEXT);",
    "CREATE TABLE IF NOT EXISTS t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, status INTEGER, app TEXT, type INTEGER);",
    "CREATE INDEX IF NOT EXISTS profileindex ON t_profile_data(profile);",
    "CREATE TABLE IF NOT EXISTS t_key_macro_data(key_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, fn_layer INTEGER, key_code INTEGER, layout_value INTEGER, layout_desc TEXT, macro_type INTEGER, macro_value INTEGER, macro_value2 INTEGER, macro_value3 INTEGER, macro_desc TEXT);",
    "CREATE INDEX IF NOT EXISTS keyindex ON t_key_macro_data(key_id);",
    "CREATE TABLE IF NOT EXISTS t_key_otherdata(macro_value INTEGER PRIMARY KEY AUTOINCREMENT, macro_desc TEXT, param TEXT, type INTEGER);",
    "CREATE INDEX IF NOT EXISTS otheridindex ON t_key_otherdata(macro_value);",
    "CREATE TABLE IF NOT EXISTS t_macro_data(macro_id INTEGER PRIMARY KEY AUTOINCREMENT, play_times INTEGER, delay_type INTEGER, delay_time INTEGER, link_count INTEGER, name TEXT);",
    "CREATE INDEX IF NOT EXISTS macroidindex ON t_macro_data(macro_id);",
    "CREATE TABLE IF NOT EXISTS t_macrorecord(record_id INTEGER PRIMARY KEY AUTOINCREMENT, macro_id INTEGER, type INTEGER, record_index INTEGER, desc TEXT, value INTEGER, delay_time INTEGER);",
    "CREATE INDEX IF NOT EXISTS macrorecordindex ON t_macrorecord(record_id);",
    "CREATE TABLE IF NOT EXISTS t_light_data(light_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, name TEXT, mode INTEGER, brightness INTEGER, speed INTEGER, direction INTEGER, colorful INTEGER, colorindex INTEGER, color_value INTEGER, config_func INTEGER, reserved INTEGER, status INTEGER);",
    "CREATE INDEX IF NOT EXISTS lightindex ON t_light_data(light_id);",
    "CREATE TABLE IF NOT EXISTS t_key_light_data(keylight_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, light_id INTEGER, key_code INTEGER, key_rgb INTEGER);",
    "CREATE INDEX IF NOT EXISTS keylightindex ON t_key_light_data(keylight_id);",
    "CREATE TABLE IF NOT EXISTS t_musiclayer_data(layer_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, name TEXT, deviceindex INTEGER, foremode INTEGER, fore_amplitude INTEGER, backmode INTEGER, backb_right INTEGER, sel INTEGER);",
    "CREATE INDEX IF NOT EXISTS musiclayerindex ON t_musiclayer_data(layer_id);",
};

struct ConfigRow {
    const wchar_t* key;
    const wchar_t* value;
};
constexpr std::array<ConfigRow, 11> kDefaultConfig = {{
    {L"version", L"1.0.1"},
    {L"keyboard_layout", L"1"},
    {L"fn_layer", L"0"},
    {L"lightmode", L"1"},
    {L"sleep_light", L"1"},
    {L"userlight", L"0"},
    {L"customlight_run", L"0"},
    {L"gamemode", L"0"},
    {L"disable_alttab", L"0"},
    {L"disable_altf4", L"0"},
    {L"disable_win", L"0"},
}};

constexpr int kOpenExisting = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
constexpr int kOpenOrCreate = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
constexpr int kMacroKind = 3;
constexpr int kDelayEventType = 1;

bool StepSucceeded(int rc)
{
    return rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE;
}

// One statement of a table operation: prepare, bind the parameters in order, step.
// A failed prepare or bind makes every later call fail with that code.
class Query {
public:
    Query(SQLiteDB& db, const char* sql)
        : db_(db)
    {
        rc_ = db.Prepare(statement_, sql);
    }

    Query& Int(int value)
    {
        if (rc_ == SQLITE_OK)
            rc_ = statement_.BindInt(++index_, value);
        return *this;
    }

    Query& Text(std::wstring_view text)
    {
        if (rc_ == SQLITE_OK)
            rc_ = statement_.BindText(++index_, platform::ToUtf8(text));
        return *this;
    }

    // Next row available?
    bool Row()
    {
        if (rc_ != SQLITE_OK && rc_ != SQLITE_ROW)
            return false;
        rc_ = statement_.Step();
        return rc_ == SQLITE_ROW;
    }

    bool Run()
    {
        if (rc_ != SQLITE_OK)
            return false;
        return StepSucceeded(statement_.Step());
    }

    int Insert()
    {
        return Run() ? static_cast<int>(static_cast<std::uint32_t>(db_.LastInsertRowId())) : 0;
    }

    // The last step ended the rows normally.
    bool Done() const { return rc_ == SQLITE_DONE; }

    int IntAt(int column) const { return statement_.ColumnInt(column); }

    std::wstring TextAt(int column) const
    {
        const char* text = statement_.ColumnText(column);
        if (text == nullptr)
            return {};
        return platform::FromUtf8(std::string_view(text, static_cast<size_t>(statement_.ColumnBytes(column))));
    }

private:
    SQLiteDB& db_;
    SQLiteStatement statement_;
    int rc_ = SQLITE_OK;
    int index_ = 0;
};

// SELECT * column orders.
ProfileData ReadProfile(const Query& q)
{
    ProfileData p;
    p.profile = q.IntAt(0);
    p.name = q.TextAt(1);
    p.status = q.IntAt(2);
    p.app = q.TextAt(3);
    p.type = q.IntAt(4);
    return p;
}

KeyMacroData ReadKeyMacro(const Query& q)
{
    KeyMacroData k;
    k.key_id = q.IntAt(0);
    k.profile = q.IntAt(1);
    k.fn_layer = q.IntAt(2);
    k.key_code = q.IntAt(3);
    k.layout_value = q.IntAt(4);
    k.layout_desc = q.TextAt(5);
    k.macro_type = q.IntAt(6);
    k.macro_value = q.IntAt(7);
    k.macro_value2 = q.IntAt(8);
    k.macro_value3 = q.IntAt(9);
    k.macro_desc = q.TextAt(10);
    return k;
}

MacroData ReadMacro(const Query& q)
{
    MacroData m;
    m.macro_id = q.IntAt(0);
    m.play_times = q.IntAt(1);
    m.delay_type = q.IntAt(2);
    m.delay_time = q.IntAt(3);
    m.link_count = q.IntAt(4);
    m.name = q.TextAt(5);
    return m;
}

MacroRecordData ReadMacroRecord(const Query& q)
{
    MacroRecordData r;
    r.record_id = q.IntAt(0);
    r.macro_id = q.IntAt(1);
    r.type = q.IntAt(2);
    r.record_index = q.IntAt(3);
    r.desc = q.TextAt(4);
    r.value = q.IntAt(5);
    r.delay_time = q.IntAt(6);
    return r;
}

LightData ReadLight(const Query& q)
{
    LightData l;
    l.light_id = q.IntAt(0);
    l.profile = q.IntAt(1);
    l.name = q.TextAt(2);
    l.mode = q.IntAt(3);
    l.brightness = q.IntAt(4);
    l.speed = q.IntAt(5);
    l.direction = q.IntAt(6);
    l.colorful = q.IntAt(7);
    l.colorindex = q.IntAt(8);
    l.color_value = q.IntAt(9);
    l.config_func = q.IntAt(10);
    l.reserved = q.IntAt(11);
    l.status = q.IntAt(12);
    return l;
}

KeyLightData ReadKeyLight(const Query& q)
{
    KeyLightData k;
    k.keylight_id = q.IntAt(0);
    k.profile = q.IntAt(1);
    k.light_id = q.IntAt(2);
    k.key_code = q.IntAt(3);
    k.key_rgb = q.IntAt(4);
    return k;
}

MusicLayerData ReadMusicLayer(const Query& q)
{
    MusicLayerData m;
    m.layer_id = q.IntAt(0);
    m.profile = q.IntAt(1);
    m.name = q.TextAt(2);
    m.deviceindex = q.IntAt(3);
    m.foremode = q.IntAt(4);
    m.fore_amplitude = q.IntAt(5);
    m.backmode = q.IntAt(6);
    m.backb_right = q.IntAt(7);
    return m;
}

template <typename Record, typename Reader>
int ReadAll(Query& q, std::vector<Record>& out, Reader read)
{
    out.clear();
    while (q.Row())
        out.push_back(read(q));
    return static_cast<int>(out.size());
}

template <typename Record, typename Reader>
bool ReadFirst(Query& q, Record& out, Reader read)
{
    if (!q.Row())
        return false;
    out = read(q);
    return true;
}

int ReadFirstInt(Query& q)
{
    return q.Row() ? q.IntAt(0) : 0;
}

constexpr const char* kInsertMacroEvent =
    "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) VALUES (?, ?, ?, ?, ?, ?);";
constexpr const char* kInsertKeyLight =
    "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) VALUES (?, ?, ?, ?);";
constexpr const char* kSelectMacroEvents =
    "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC";

int InsertMacroEvent(SQLiteDB& db, const MacroRecordData& e)
{
    return Query(db, kInsertMacroEvent).Int(e.macro_id).Int(e.type).Int(e.record_index).Text(e.desc)
        .Int(e.value).Int(e.delay_time).Insert();
}

int InsertMacro(SQLiteDB& db, int playTimes, int delayType, int delayTime, int linkCount, std::wstring_view name)
{
    return Query(db, "INSERT INTO t_macro_data(play_times, delay_type, delay_time, link_count, name) VALUES (?, ?, ?, ?, ?);")
        .Int(playTimes).Int(delayType).Int(delayTime).Int(linkCount).Text(name).Insert();
}

} // namespace

DataStore& GetDataStore()
{
    static DataStore store;
    return store;
}

DataStore::~DataStore()
{
    std::lock_guard guard(lock_);
    if (opened_)
        CloseLocked();
}

// ---- the file ----

std::wstring DataStore::DatabasePath(const std::wstring& dataDir, const std::wstring& deviceName)
{
    std::wstring path = dataDir;
    if (!path.empty() && path.back() != L'/')
        path += L'/';
    return path + L"db/" + deviceName + L"_data_v1.db";
}

bool DataStore::OpenDeviceDatabase(const std::wstring& dataDir, const std::wstring& deviceName)
{
    const std::wstring path = DatabasePath(dataDir, deviceName);
    CreateDirectoryPath(path.substr(0, path.rfind(L'/')));
    return OpenDatabaseFile(path);
}

bool DataStore::OpenDatabaseFile(const std::wstring& path)
{
    std::lock_guard guard(lock_);
    return OpenPathLocked(platform::ToUtf8(path));
}

bool DataStore::OpenPathLocked(const std::string& path)
{
    // Never keep serving another file under the new name.
    if (connection_.IsOpen() && path != path_)
        connection_.Close();
    path_ = path;
    std::error_code ec;
    const bool exists = path != ":memory:" && std::filesystem::exists(std::filesystem::path(path), ec);
    if (!exists)
        opened_ = CreateDatabaseLocked();
    else if (connection_.IsOpen())
        opened_ = true;
    else
        opened_ = connection_.Open(path_.c_str(), key_, kOpenExisting);
    return opened_;
}

bool DataStore::CreateDatabase()
{
    std::lock_guard guard(lock_);
    return CreateDatabaseLocked();
}

bool DataStore::CreateDatabaseLocked()
{
    if (connection_.IsOpen())
        return true;
    if (!connection_.Open(path_.c_str(), key_, kOpenOrCreate))
        return false;
    bool ok = true;
    for (const char* statement : kSchema)
        ok = connection_.Exec(statement) == SQLITE_OK && ok;
    return ok;
}

void DataStore::WriteDefaultConfig()
{
    std::lock_guard guard(lock_);
    for (const ConfigRow& row : kDefaultConfig) {
        Query(connection_, "INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);")
            .Int(1).Text(row.key).Text(row.value).Run();
    }
}

void DataStore::DeleteDeviceDatabase(const std::wstring& dataDir, const std::wstring& deviceName)
{
    const std::string path = platform::ToUtf8(DatabasePath(dataDir, deviceName));
    std::error_code ec;
    // The log files belong to the database: a stale log must not be replayed into a new file.
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(std::filesystem::path(path + suffix), ec);
}

void DataStore::CloseDatabase()
{
    std::lock_guard guard(lock_);
    CloseLocked();
}

void DataStore::CloseLocked()
{
    connection_.Close();
    opened_ = false;
}

bool DataStore::IsOpened() const
{
    std::lock_guard guard(lock_);
    return opened_;
}

std::string DataStore::Path() const
{
    std::lock_guard guard(lock_);
    return path_;
}

int DataStore::GetCurrentDevice() const
{
    std::lock_guard guard(lock_);
    return currentDevice_;
}

void DataStore::SetCurrentDevice(int deviceType)
{
    std::lock_guard guard(lock_);
    currentDevice_ = deviceType;
}

// ---- profiles ----

int DataStore::AddProfile(const ProfileData& profile)
{
    std::lock_guard guard(lock_);
    return Query(connection_, "INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);")
        .Text(profile.name).Int(0).Text(profile.app).Int(0).Insert();
}

bool DataStore::DeleteProfile(int profile)
{
    std::lock_guard guard(lock_);
    return Query(connection_, "DELETE FROM t_profile_data WHERE profile = ?").Int(profile).Run();
}

bool DataStore::RenameProfile(int profile, std::wstring_view name)
{
    std::lock_guard guard(lock_);
    return Query(connection_, "UPDATE t_profile_data SET name = ? WHERE profile = ?").Text(name).Int(profile).Run();
}

bool DataStore::GetProfileName(int profile, std::wstring& name)
{
    std::lock_guard guard(lock_);
    name.clear();
    Query q(connection_, "SELECT name FROM t_profile_data WHERE profile = ?");
    q.Int(profile);
    if (!q.Row())
        return false;
    name = q.TextAt(0);
    return true;
}

int DataStore::GetProfiles(std::vector<ProfileData>& profiles)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_profile_data");
    return ReadAll(q, profiles, ReadProfile);
}

bool DataStore::SetActiveProfile(int profile)
{
    std::lock_guard guard(lock_);
    Query(connection_, "UPDATE t_profile_data SET status = ?").Int(0).Run();
    return Query(connection_, "UPDATE t_profile_data SET status = ? WHERE profile = ?").Int(1).Int(profile).Run();
}

int DataStore::GetActiveProfile()
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT profile FROM t_profile_data WHERE status = ?");
    q.Int(1);
    return ReadFirstInt(q);
}

// ---- key assignments ----

int DataStore::SaveKeyAssignment(const KeyMacroData& key)
{
    if (key.key_code == 0)
        return 0;
    std::lock_guard guard(lock_);
    Query(connection_, "DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?")
        .Int(key.profile).Int(key.fn_layer).Int(key.key_code).Run();
    if (key.macro_value == 0 && key.macro_value2 == 0)
        return 0;
    return Query(connection_,
               "INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc, macro_type, "
               "macro_value, macro_value2, macro_value3, macro_desc) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);")
        .Int(key.profile).Int(key.fn_layer).Int(key.key_code).Int(key.layout_value).Text(key.layout_desc)
        .Int(key.macro_type).Int(key.macro_value).Int(key.macro_value2).Int(key.macro_value3).Text(key.macro_desc)
        .Insert();
}

bool DataStore::GetKeyAssignment(int profile, int fnLayer, int keyCode, KeyMacroData& key)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?");
    q.Int(profile).Int(fnLayer).Int(keyCode);
    return ReadFirst(q, key, ReadKeyMacro);
}

int DataStore::GetLayerAssignments(int profile, int fnLayer, std::vector<KeyMacroData>& keys)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?");
    q.Int(profile).Int(fnLayer);
    return ReadAll(q, keys, ReadKeyMacro);
}

int DataStore::AddKeyOtherData(std::wstring_view macroDesc, std::wstring_view param, int type)
{
    std::lock_guard guard(lock_);
    return Query(connection_, "INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);")
        .Text(macroDesc).Text(param).Int(type).Insert();
}

bool DataStore::GetKeyOtherData(int macroValue, std::wstring& macroDesc, std::wstring& param, int& type)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?");
    q.Int(macroValue);
    if (!q.Row())
        return q.Done();
    macroDesc = q.TextAt(0);
    param = q.TextAt(1);
    type = q.IntAt(2);
    return true;
}

// ---- macros ----

int DataStore::AddMacro(std::wstring_view name)
{
    std::lock_guard guard(lock_);
    return InsertMacro(connection_, 1, 1, 0, 0, name);
}

int DataStore::AddMacroWithSettings(const MacroData& macro)
{
    std::lock_guard guard(lock_);
    return InsertMacro(connection_, macro.play_times, macro.delay_type, macro.delay_time, macro.link_count, macro.name);
}

bool DataStore::RenameMacro(int macroId, std::wstring_view name)
{
    std::lock_guard guard(lock_);
    return Query(connection_, "UPDATE t_macro_data SET name = ? WHERE macro_id = ?").Text(name).Int(macroId).Run();
}

bool DataStore::UpdateMacroSettings(const MacroData& macro)
{
    std::lock_guard guard(lock_);
    return Query(connection_, "UPDATE t_macro_data SET play_times = ?, delay_type = ?, delay_time = ? WHERE macro_id = ?")
        .Int(macro.play_times).Int(macro.delay_type).Int(macro.delay_time).Int(macro.macro_id).Run();
}

bool DataStore::DeleteMacro(int macroId)
{
    std::lock_guard guard(lock_);
    if (!Query(connection_, "DELETE FROM t_macro_data WHERE macro_id = ?").Int(macroId).Run())
        return false;
    Query(connection_, "DELETE FROM t_macrorecord WHERE macro_id = ?").Int(macroId).Run();
    return Query(connection_, "DELETE FROM t_key_macro_data WHERE macro_type = ? and macro_value = ?")
        .Int(kMacroKind).Int(macroId).Run();
}

bool DataStore::GetMacroPlayTimes(int macroId, int& playTimes)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT play_times FROM t_macro_data WHERE macro_id = ?");
    q.Int(macroId);
    if (!q.Row())
        return false;
    playTimes = q.IntAt(0);
    return true;
}

bool DataStore::GetMacro(int macroId, MacroData& macro)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_macro_data WHERE macro_id = ?");
    q.Int(macroId);
    return ReadFirst(q, macro, ReadMacro);
}

int DataStore::GetMacros(std::vector<MacroData>& macros)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_macro_data");
    return ReadAll(q, macros, ReadMacro);
}

int DataStore::AddMacroEvent(const MacroRecordData& event)
{
    std::lock_guard guard(lock_);
    return InsertMacroEvent(connection_, event);
}

int DataStore::SaveMacroEvents(const std::vector<MacroRecordData>& events)
{
    std::lock_guard guard(lock_);
    SQLiteAutoTransaction transaction(connection_);
    int stored = 0;
    for (const MacroRecordData& event : events)
        stored += InsertMacroEvent(connection_, event) != 0 ? 1 : 0;
    return transaction.Commit() ? stored : 0;
}

int DataStore::GetMacroEvents(int macroId, std::vector<MacroRecordData>& events)
{
    std::lock_guard guard(lock_);
    Query q(connection_, kSelectMacroEvents);
    q.Int(macroId);
    return ReadAll(q, events, ReadMacroRecord);
}

bool DataStore::DeleteMacroEvents(int macroId)
{
    std::lock_guard guard(lock_);
    return Query(connection_, "DELETE FROM t_macrorecord WHERE macro_id = ?").Int(macroId).Run();
}

int DataStore::CountMacroActions(int macroId)
{
    std::lock_guard guard(lock_);
    Query q(connection_, kSelectMacroEvents);
    q.Int(macroId);
    int count = 0;
    while (q.Row())
        count += q.IntAt(2) != kDelayEventType ? 1 : 0;
    return count;
}

// ---- lighting ----

int DataStore::CountLights(int profile)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "select count(*) FROM t_light_data WHERE profile = ?");
    q.Int(profile);
    return ReadFirstInt(q);
}

int DataStore::AddLight(const LightData& light)
{
    std::lock_guard guard(lock_);
    return Query(connection_,
               "INSERT INTO t_light_data(profile, name, mode, brightness, speed, direction, colorful, colorindex, "
               "color_value, config_func, reserved, status) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);")
        .Int(light.profile).Text(light.name).Int(light.mode).Int(light.brightness).Int(light.speed)
        .Int(light.direction).Int(light.colorful).Int(light.colorindex).Int(light.color_value)
        .Int(light.config_func).Int(light.reserved).Int(light.status)
        .Insert();
}

bool DataStore::UpdateLight(int profile, int mode, const LightData& light)
{
    std::lock_guard guard(lock_);
    return Query(connection_,
               "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, colorful = ?, colorindex = ?, "
               "color_value = ?, config_func = ?, reserved = ? WHERE profile = ? AND mode = ?")
        .Int(light.brightness).Int(light.speed).Int(light.direction).Int(light.colorful).Int(light.colorindex)
        .Int(light.color_value).Int(light.config_func).Int(light.reserved).Int(profile).Int(mode)
        .Run();
}

bool DataStore::SetActiveLight(int profile, int mode)
{
    std::lock_guard guard(lock_);
    Query(connection_, "UPDATE t_light_data SET status = ?").Int(0).Run();
    return Query(connection_, "UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?")
        .Int(1).Int(profile).Int(mode).Run();
}

int DataStore::GetActiveLightMode(int profile)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT mode FROM t_light_data WHERE profile = ? and status = ?");
    q.Int(profile).Int(1);
    return ReadFirstInt(q);
}

bool DataStore::GetLight(int profile, int mode, LightData& light)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_light_data WHERE profile = ? AND mode = ?");
    q.Int(profile).Int(mode);
    return ReadFirst(q, light, ReadLight);
}

int DataStore::GetLights(int profile, std::vector<LightData>& lights)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_light_data WHERE profile = ?");
    q.Int(profile);
    return ReadAll(q, lights, ReadLight);
}

int DataStore::SaveKeyLights(const std::vector<KeyLightData>& keyLights)
{
    std::lock_guard guard(lock_);
    SQLiteAutoTransaction transaction(connection_);
    int stored = 0;
    for (const KeyLightData& k : keyLights) {
        stored += Query(connection_, kInsertKeyLight).Int(k.profile).Int(k.light_id).Int(k.key_code).Int(k.key_rgb)
                          .Insert() != 0 ? 1 : 0;
    }
    return transaction.Commit() ? stored : 0;
}

bool DataStore::DeleteKeyLights()
{
    std::lock_guard guard(lock_);
    return Query(connection_, "DELETE FROM t_key_light_data WHERE light_id = ?").Int(kCustomLightId).Run();
}

int DataStore::GetKeyLights(int lightId, std::vector<KeyLightData>& keyLights)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_key_light_data WHERE light_id = ?");
    q.Int(lightId);
    return ReadAll(q, keyLights, ReadKeyLight);
}

// ---- music lighting ----

int DataStore::CountMusicLayers()
{
    std::lock_guard guard(lock_);
    Query q(connection_, "select count(*) FROM t_musiclayer_data WHERE profile = ?");
    q.Int(1);
    return ReadFirstInt(q);
}

int DataStore::AddMusicLayer(std::wstring_view name, int foremode)
{
    std::lock_guard guard(lock_);
    return Query(connection_,
               "INSERT INTO t_musiclayer_data(profile, name, deviceindex, foremode, fore_amplitude, backmode, "
               "backb_right, sel) VALUES (?, ?, ?, ?, ?, ?, ?, ?);")
        .Int(1).Text(name).Int(0).Int(foremode).Int(300).Int(0).Int(100).Int(0)
        .Insert();
}

bool DataStore::GetMusicLayer(int layerId, MusicLayerData& layer)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_musiclayer_data WHERE layer_id = ?");
    q.Int(layerId);
    return ReadFirst(q, layer, ReadMusicLayer);
}

bool DataStore::UpdateMusicLayer(const MusicLayerData& layer)
{
    std::lock_guard guard(lock_);
    return Query(connection_,
               "UPDATE t_musiclayer_data SET deviceindex= ?, foremode= ?, fore_amplitude = ?, backmode= ?, "
               "backb_right= ? WHERE layer_id = ?")
        .Int(layer.deviceindex).Int(layer.foremode).Int(layer.fore_amplitude).Int(layer.backmode)
        .Int(layer.backb_right).Int(1)
        .Run();
}

bool DataStore::SelectMusicLayer()
{
    std::lock_guard guard(lock_);
    Query(connection_, "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ?").Int(0).Int(1).Run();
    return Query(connection_, "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ? AND layer_id = ?")
        .Int(1).Int(1).Int(1).Run();
}

int DataStore::GetSelectedMusicLayer()
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT layer_id FROM t_musiclayer_data WHERE profile = ? AND sel = ?");
    q.Int(1).Int(1);
    return ReadFirstInt(q);
}
