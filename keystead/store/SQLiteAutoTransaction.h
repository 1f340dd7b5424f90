#pragma once

class SQLiteDB;

// Scope transaction: "BEGIN" on construction, "END" on Commit or, if still open, on destruction.
class SQLiteAutoTransaction {
public:
    explicit SQLiteAutoTransaction(SQLiteDB& connection);
    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;
    virtual ~SQLiteAutoTransaction();

    // Does nothing while the transaction is open.
    void Begin();
    // Whether "END" succeeded. A failed END rolls back, so the connection never stays
    // inside a transaction that nobody will finish.
    bool Commit();

private:
    SQLiteDB& connection_;
    bool open_ = false;
};
