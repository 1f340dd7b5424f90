// The database file: location, schema, default rows, reopening, reset and closing.
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using storetest::RawQuery;
using storetest::TempDir;

namespace {

const std::wstring kModel = L"K100";

std::filesystem::path ModelFile(const TempDir& dir)
{
    return dir.Path() / "db" / "K100_data_v1.db";
}

// One line per sqlite_master entry in creation order, with columns, types and key flags.
std::string DescribeSchema(const std::filesystem::path& file)
{
    std::ostringstream out;
    for (const std::string& row : RawQuery(file, "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY rowid")) {
        std::istringstream fields(row);
        std::string type, name, table, sql;
        std::getline(fields, type, '|');
        std::getline(fields, name, '|');
        std::getline(fields, table, '|');
        std::getline(fields, sql);
        if (type == "table") {
            out << "table " << name << (sql.find("AUTOINCREMENT") != std::string::npos ? " autoincrement" : "") << ":";
            for (const std::string& col : RawQuery(file, "SELECT name, type, pk FROM pragma_table_info('" + name + "')")) {
                std::istringstream c(col);
                std::string cname, ctype, pk;
                std::getline(c, cname, '|');
                std::getline(c, ctype, '|');
                std::getline(c, pk);
                out << " " << cname << (ctype.empty() ? "" : " " + ctype) << (pk == "1" ? " key" : "") << ",";
            }
        } else {
            out << type << " " << name << " on " << table << "(";
            for (const std::string& col : RawQuery(file, "SELECT name FROM pragma_index_info('" + name + "')"))
                out << col;
            out << ")";
        }
        out << "\n";
    }
    return out.str();
}

std::string ReadText(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(StoreFile, NewFileHasTheSchemaAndNothingElse)
{
    TempDir dir;
    DataStore store;
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), kModel));
    EXPECT_TRUE(store.IsOpened());
    EXPECT_EQ(store.Path(), ModelFile(dir).string());
    ASSERT_TRUE(std::filesystem::exists(ModelFile(dir)));

    EXPECT_EQ(DescribeSchema(ModelFile(dir)), ReadText(std::filesystem::path(KEYSTEAD_FIXTURES_DIR) / "store/schema.txt"));
    EXPECT_EQ(RawQuery(ModelFile(dir), "SELECT count(*) FROM t_configdata"), std::vector<std::string>{"0"});
    EXPECT_EQ(RawQuery(ModelFile(dir), "PRAGMA journal_mode"), std::vector<std::string>{"wal"});
}

TEST(StoreFile, ReopeningNeverCreatesTables)
{
    TempDir dir;
    {
        DataStore store;
        ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), kModel));
        EXPECT_NE(store.AddMacro(L"m"), 0);
    }
    RawQuery(ModelFile(dir), "DROP TABLE t_macro_data");

    DataStore store;
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), kModel));
    EXPECT_EQ(store.AddMacro(L"again"), 0);
    std::vector<MacroData> macros(1);
    EXPECT_EQ(store.GetMacros(macros), 0);
    EXPECT_TRUE(macros.empty());
    EXPECT_NE(store.AddProfile({0, L"p", L"", 0, 0}), 0); // the other tables still work
    EXPECT_TRUE(RawQuery(ModelFile(dir), "SELECT name FROM sqlite_master WHERE name = 't_macro_data'").empty());
}

TEST(StoreFile, OpeningTheOpenFileKeepsTheConnection)
{
    TempDir dir;
    DataStore store;
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), kModel));
    const int id = store.AddMacro(L"kept");
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), kModel));
    MacroData macro;
    EXPECT_TRUE(store.GetMacro(id, macro));

    // Switching to another model's file serves that file, not the one still open.
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), L"K200"));
    EXPECT_FALSE(store.GetMacro(id, macro));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "db" / "K200_data_v1.db"));
}

TEST(StoreFile, DefaultConfigRows)
{
    TempDir dir;
    DataStore store;
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), kModel));
    store.WriteDefaultConfig();
    store.CloseDatabase();
    const std::vector<std::string> expected = {
        "1|version|1.0.1", "1|keyboard_layout|1", "1|fn_layer|0", "1|lightmode|1",
        "1|sleep_light|1", "1|userlight|0", "1|customlight_run|0", "1|gamemode|0",
        "1|disable_alttab|0", "1|disable_altf4|0", "1|disable_win|0",
    };
    EXPECT_EQ(RawQuery(ModelFile(dir), "SELECT profile, key, value FROM t_configdata ORDER BY config_id"), expected);
}

TEST(StoreFile, ClosingLeavesACompleteDatabaseFile)
{
    TempDir dir;
    DataStore store;
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), kModel));
    ASSERT_NE(store.AddProfile({0, L"Spiel 1", L"", 0, 0}), 0);
    store.CloseDatabase();
    EXPECT_FALSE(store.IsOpened());

    // The .db alone, copied elsewhere without its log, holds every commit.
    const std::filesystem::path copy = dir.Path() / "copy.db";
    std::filesystem::copy_file(ModelFile(dir), copy);
    EXPECT_EQ(RawQuery(copy, "SELECT name FROM t_profile_data"), std::vector<std::string>{"Spiel 1"});
    EXPECT_FALSE(std::filesystem::exists(ModelFile(dir).string() + "-wal") &&
                 std::filesystem::file_size(ModelFile(dir).string() + "-wal") > 0);
}

TEST(StoreFile, RestoringDefaultsStartsFromAnEmptyFile)
{
    TempDir dir;
    DataStore store;
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), kModel));
    ASSERT_NE(store.AddProfile({0, L"old", L"", 0, 0}), 0);
    const std::string firstSchema = DescribeSchema(ModelFile(dir));

    store.CloseDatabase();
    store.DeleteDeviceDatabase(dir.WithSlash(), kModel);
    for (const char* suffix : {"", "-wal", "-shm"})
        EXPECT_FALSE(std::filesystem::exists(ModelFile(dir).string() + suffix)) << suffix;

    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), kModel));
    std::vector<ProfileData> profiles;
    EXPECT_EQ(store.GetProfiles(profiles), 0);
    EXPECT_EQ(DescribeSchema(ModelFile(dir)), firstSchema);
    EXPECT_EQ(store.AddProfile({0, L"new", L"", 0, 0}), 1); // ids start over
}

TEST(StoreFile, FileThatIsNotADatabaseDoesNotOpen)
{
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "db");
    std::ofstream(ModelFile(dir)) << "this is not a database, just some text that is long enough to have a header";

    DataStore store;
    EXPECT_FALSE(store.OpenDeviceDatabase(dir.WithSlash(), kModel));
    EXPECT_FALSE(store.IsOpened());
    EXPECT_EQ(store.AddProfile({0, L"p", L"", 0, 0}), 0);
}

TEST(StoreFile, TextOutsideAsciiIsUtf8InTheFile)
{
    TempDir dir;
    const std::wstring name = L"配置 Ünïcødé 🎮";
    DataStore store;
    ASSERT_TRUE(store.OpenDeviceDatabase(dir.WithSlash(), kModel));
    const int id = store.AddProfile({0, name, L"", 0, 0});
    std::wstring back;
    ASSERT_TRUE(store.GetProfileName(id, back));
    EXPECT_EQ(back, name);
    store.CloseDatabase();
    EXPECT_EQ(RawQuery(ModelFile(dir), "SELECT name FROM t_profile_data"),
              std::vector<std::string>{"\xE9\x85\x8D\xE7\xBD\xAE \xC3\x9Cn\xC3\xAF""c\xC3\xB8""d\xC3\xA9 \xF0\x9F\x8E\xAE"});
}

TEST(StoreFile, GetDataStoreIsOneObject)
{
    EXPECT_EQ(&GetDataStore(), &GetDataStore());
}

} // namespace
