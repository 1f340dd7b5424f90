#include "store/SQLiteDB.h"

#include <sqlite3.h>

SQLiteDB::~SQLiteDB()
{
    if (db_ != nullptr) {
        sqlite3_interrupt(db_);
        Close();
    }
}

bool SQLiteDB::Open(const char* path, const std::string& key, int flags)
{
    if (db_ != nullptr) {
        sqlite3_interrupt(db_);
        Close();
    }
    if (path == nullptr)
        return false;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path, &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    // The first statement reads the file header: a file that is not a database fails here
    // rather than at every later operation. The log mode is kept in the file itself.
    if (sqlite3_exec(db, "PRAGMA journal_mode = WAL; ", nullptr, nullptr, nullptr) == SQLITE_NOTADB) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_exec(db, "PRAGMA synchronous = NORMAL; ", nullptr, nullptr, nullptr);
    db_ = db;
    if (!key.empty()) {
        // Plain SQLite has no cipher: refuse rather than keep secrets in an open file.
        Close();
        return false;
    }
    return true;
}

bool SQLiteDB::Close()
{
    if (db_ == nullptr)
        return true;
    // Fold the log into the main file so the .db alone is complete.
    sqlite3_exec(db_, "PRAGMA wal_checkpoint(TRUNCATE); ", nullptr, nullptr, nullptr);
    if (sqlite3_close(db_) != SQLITE_OK)
        return false;
    db_ = nullptr;
    return true;
}

int SQLiteDB::Exec(const char* sql)
{
    if (db_ == nullptr || sql == nullptr)
        return SQLITE_MISUSE;
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

int SQLiteDB::Prepare(SQLiteStatement& statement, const char* sql, int length)
{
    statement.Finalize();
    if (db_ == nullptr || sql == nullptr)
        return SQLITE_MISUSE;
    const int rc = sqlite3_prepare_v2(db_, sql, length, &statement.stmt_, nullptr);
    if (statement.stmt_ != nullptr)
        statement.state_ = 0;
    return rc;
}

std::int64_t SQLiteDB::LastInsertRowId() const
{
    if (db_ == nullptr)
        return -1;
    return sqlite3_last_insert_rowid(db_);
}

bool SQLiteDB::InAutocommit() const
{
    return db_ == nullptr || sqlite3_get_autocommit(db_) != 0;
}

SQLiteStatement::~SQLiteStatement()
{
    Finalize();
}

int SQLiteStatement::BindInt(int index, int value)
{
    if (stmt_ == nullptr)
        return SQLITE_MISUSE;
    return sqlite3_bind_int(stmt_, index, value);
}

int SQLiteStatement::BindText(int index, std::string_view utf8)
{
    if (stmt_ == nullptr)
        return SQLITE_MISUSE;
    return sqlite3_bind_text64(stmt_, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

int SQLiteStatement::Step()
{
    if (stmt_ == nullptr)
        return SQLITE_MISUSE;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_DONE)
        state_ = 1;
    return rc;
}

int SQLiteStatement::ColumnInt(int column) const
{
    if (stmt_ == nullptr)
        return 0;
    return sqlite3_column_int(stmt_, column);
}

const char* SQLiteStatement::ColumnText(int column) const
{
    if (stmt_ == nullptr)
        return nullptr;
    return reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
}

int SQLiteStatement::ColumnBytes(int column) const
{
    if (stmt_ == nullptr)
        return 0;
    return sqlite3_column_bytes(stmt_, column);
}

int SQLiteStatement::Finalize()
{
    int rc = SQLITE_OK;
    if (stmt_ != nullptr) {
        rc = sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
    state_ = 1;
    return rc;
}
