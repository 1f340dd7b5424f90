#pragma once
// Building blocks of the table operations; used only inside the store.
#include "platform/TextCodec.h"
#include "store/SQLiteDB.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace store_detail {

inline bool StepSucceeded(int rc)
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

inline int ReadFirstInt(Query& q)
{
    return q.Row() ? q.IntAt(0) : 0;
}

} // namespace store_detail
