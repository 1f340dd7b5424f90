#include "store/DataStore.h"

#include "store/SQLiteAutoTransaction.h"
#include "store/StoreQuery.h"

using store_detail::Query;
using store_detail::ReadAll;
using store_detail::ReadFirst;

namespace {

constexpr int kMacroKind = 3;
constexpr int kDelayEventType = 1;

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

constexpr const char* kInsertMacroEvent =
    "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) VALUES (?, ?, ?, ?, ?, ?);";
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
