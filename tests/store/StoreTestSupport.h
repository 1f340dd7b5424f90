#pragma once
#include "store/DataStore.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace storetest {

// A fresh folder under the system temp folder, removed again with the object.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "keystead-store-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::wstring WithSlash() const { return path_.wstring() + L"/"; }

private:
    std::filesystem::path path_;
};

// Runs a query on a separate connection and returns every row, columns joined by '|'.
inline std::vector<std::string> RawQuery(const std::filesystem::path& file, const std::string& sql)
{
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW) {
                std::string row;
                for (int i = 0; i < sqlite3_column_count(st); ++i) {
                    const unsigned char* text = sqlite3_column_text(st, i);
                    row += (i ? "|" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "NULL");
                }
                rows.push_back(row);
            }
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return rows;
}

} // namespace storetest
