// The connection, statement and transaction wrappers.
#include "store/SQLiteAutoTransaction.h"
#include "store/SQLiteDB.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <string>

namespace {

int CountRows(SQLiteDB& db)
{
    SQLiteStatement st;
    if (db.Prepare(st, "SELECT count(*) FROM t") != SQLITE_OK || st.Step() != SQLITE_ROW)
        return -1;
    return st.ColumnInt(0);
}

TEST(SQLiteLayer, WithoutConnectionOrStatementEveryCallIsMisuse)
{
    SQLiteDB db;
    SQLiteStatement st;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.Exec("SELECT 1"), SQLITE_MISUSE);
    EXPECT_EQ(db.Prepare(st, "SELECT 1"), SQLITE_MISUSE);
    EXPECT_EQ(db.LastInsertRowId(), -1);
    EXPECT_TRUE(db.Close());
    EXPECT_EQ(st.BindInt(1, 5), SQLITE_MISUSE);
    EXPECT_EQ(st.BindText(1, "x"), SQLITE_MISUSE);
    EXPECT_EQ(st.Step(), SQLITE_MISUSE);
    EXPECT_EQ(st.ColumnText(0), nullptr);
    EXPECT_EQ(st.ColumnInt(0), 0);
    EXPECT_EQ(st.State(), 1);
    EXPECT_FALSE(db.Open(nullptr, "", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
    // No cipher in plain SQLite: a key is refused rather than silently ignored.
    EXPECT_FALSE(db.Open(":memory:", "secret", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
    EXPECT_FALSE(db.IsOpen());
}

TEST(SQLiteLayer, StatementLifecycle)
{
    SQLiteDB db;
    ASSERT_TRUE(db.Open(":memory:", "", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX));
    ASSERT_EQ(db.Exec("CREATE TABLE t(id INTEGER PRIMARY KEY AUTOINCREMENT, n INTEGER, s TEXT)"), SQLITE_OK);

    SQLiteStatement st;
    ASSERT_EQ(db.Prepare(st, "INSERT INTO t(n, s) VALUES (?, ?)"), SQLITE_OK);
    EXPECT_EQ(st.State(), 0);
    EXPECT_EQ(st.BindInt(1, -7), SQLITE_OK);
    {
        std::string text = "a text long enough to live on the heap, gone before the step";
        EXPECT_EQ(st.BindText(2, text), SQLITE_OK);
        text.assign(text.size(), '#');
    }
    EXPECT_EQ(st.Step(), SQLITE_DONE);
    EXPECT_EQ(st.State(), 1);
    EXPECT_EQ(db.LastInsertRowId(), 1);

    // The same object prepares the next text; the previous statement is finalised.
    ASSERT_EQ(db.Prepare(st, "SELECT n, s FROM t"), SQLITE_OK);
    ASSERT_EQ(st.Step(), SQLITE_ROW);
    EXPECT_EQ(st.ColumnInt(0), -7);
    EXPECT_STREQ(st.ColumnText(1), "a text long enough to live on the heap, gone before the step");

    // A live statement makes SQLite refuse to close; the handle stays usable.
    EXPECT_FALSE(db.Close());
    EXPECT_TRUE(db.IsOpen());
    st.Finalize();
    EXPECT_TRUE(db.Close());
    EXPECT_FALSE(db.IsOpen());
}

TEST(SQLiteLayer, AutoTransaction)
{
    SQLiteDB db;
    ASSERT_TRUE(db.Open(":memory:", "", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
    ASSERT_EQ(db.Exec("CREATE TABLE t(n INTEGER)"), SQLITE_OK);
    {
        SQLiteAutoTransaction transaction(db);
        EXPECT_FALSE(db.InAutocommit());
        transaction.Begin(); // no nested BEGIN
        db.Exec("INSERT INTO t VALUES (1)");
        EXPECT_TRUE(transaction.Commit());
        EXPECT_TRUE(db.InAutocommit());
        EXPECT_FALSE(transaction.Commit()); // nothing open any more
        EXPECT_TRUE(db.InAutocommit());
        transaction.Begin();
        db.Exec("INSERT INTO t VALUES (2)");
    } // the destructor ends what is still open
    EXPECT_TRUE(db.InAutocommit());
    EXPECT_EQ(CountRows(db), 2);
}

} // namespace
