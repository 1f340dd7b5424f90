#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

class SQLiteStatement;

// Thin wrapper over one SQLite connection. Every call made without a connection returns
// SQLITE_MISUSE (21) without reaching SQLite.
class SQLiteDB {
public:
    SQLiteDB() = default;
    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;
    // Interrupts whatever runs on the connection, then closes it.
    virtual ~SQLiteDB();

    // Closes any open connection first. Opens the UTF-8 path with the given SQLite open
    // flags and switches the file to write-ahead logging with synchronous=NORMAL, so a
    // crash loses at most the last commits but never corrupts the file. A file that is
    // not a database fails here. Encryption keys are not supported: a non-empty key fails.
    bool Open(const char* path, const std::string& key, int flags);
    // Checkpoints the write-ahead log into the main file, then closes. False when SQLite
    // refuses to close (statements still alive); the handle then stays.
    bool Close();
    bool IsOpen() const { return db_ != nullptr; }

    int Exec(const char* sql);
    // Finalises the statement's previous handle, then prepares sql (length -1: up to the terminator).
    int Prepare(SQLiteStatement& statement, const char* sql, int length = -1);
    // -1 without a connection.
    std::int64_t LastInsertRowId() const;
    // Whether no transaction is open (true without a connection).
    bool InAutocommit() const;

private:
    sqlite3* db_ = nullptr;
};

// One prepared statement; reused for several SQL texts in sequence.
class SQLiteStatement {
public:
    SQLiteStatement() = default;
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;
    virtual ~SQLiteStatement();

    int BindInt(int index, int value);
    // SQLite keeps its own copy of the text, so the caller's buffer may die before Step.
    int BindText(int index, std::string_view utf8);
    // 100 row, 101 done, or an error code.
    int Step();
    int ColumnInt(int column) const;
    // UTF-8 text of the column, null for SQL NULL or without a statement.
    const char* ColumnText(int column) const;
    int ColumnBytes(int column) const;
    int Finalize();
    // 1 after construction, after a step that returned SQLITE_DONE and after finalising.
    int State() const { return state_; }

private:
    friend class SQLiteDB;
    std::int32_t state_ = 1;
    sqlite3_stmt* stmt_ = nullptr;
};
