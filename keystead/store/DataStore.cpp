#include "store/DataStore.h"

#include "platform/TextCodec.h"
#include "shell/AppPaths.h"
#include "store/StoreQuery.h"

#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <system_error>

using store_detail::Query;

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
