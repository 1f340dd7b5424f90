#include "store/SQLiteAutoTransaction.h"

#include "store/SQLiteDB.h"

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB& connection)
    : connection_(connection)
{
    Begin();
}

SQLiteAutoTransaction::~SQLiteAutoTransaction()
{
    if (open_)
        Commit();
}

void SQLiteAutoTransaction::Begin()
{
    if (open_)
        return;
    connection_.Exec("BEGIN");
    open_ = true;
}

bool SQLiteAutoTransaction::Commit()
{
    open_ = false;
    if (connection_.Exec("END") == 0)
        return true;
    if (!connection_.InAutocommit())
        connection_.Exec("ROLLBACK");
    return false;
}
