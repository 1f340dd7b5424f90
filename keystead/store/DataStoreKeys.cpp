#include "store/DataStore.h"

#include "store/StoreQuery.h"

using store_detail::Query;
using store_detail::ReadAll;
using store_detail::ReadFirst;

namespace {

KeyMacroData ReadKeyMacro(const Query& q)
{
    KeyMacroData k;
    k.key_id = q.IntAt(0);
    k.profile = q.IntAt(1);
    k.fn_layer = q.IntAt(2);
    k.key_code = q.IntAt(3);
    k.layout_value = q.IntAt(4);
    k.layout_desc = q.TextAt(5);
    k.macro_type = q.IntAt(6);
    k.macro_value = q.IntAt(7);
    k.macro_value2 = q.IntAt(8);
    k.macro_value3 = q.IntAt(9);
    k.macro_desc = q.TextAt(10);
    return k;
}

} // namespace

// ---- key assignments ----

int DataStore::SaveKeyAssignment(const KeyMacroData& key)
{
    if (key.key_code == 0)
        return 0;
    std::lock_guard guard(lock_);
    Query(connection_, "DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?")
        .Int(key.profile).Int(key.fn_layer).Int(key.key_code).Run();
    if (key.macro_value == 0 && key.macro_value2 == 0)
        return 0;
    return Query(connection_,
               "INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc, macro_type, "
               "macro_value, macro_value2, macro_value3, macro_desc) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);")
        .Int(key.profile).Int(key.fn_layer).Int(key.key_code).Int(key.layout_value).Text(key.layout_desc)
        .Int(key.macro_type).Int(key.macro_value).Int(key.macro_value2).Int(key.macro_value3).Text(key.macro_desc)
        .Insert();
}

bool DataStore::GetKeyAssignment(int profile, int fnLayer, int keyCode, KeyMacroData& key)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?");
    q.Int(profile).Int(fnLayer).Int(keyCode);
    return ReadFirst(q, key, ReadKeyMacro);
}

int DataStore::GetLayerAssignments(int profile, int fnLayer, std::vector<KeyMacroData>& keys)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?");
    q.Int(profile).Int(fnLayer);
    return ReadAll(q, keys, ReadKeyMacro);
}

int DataStore::AddKeyOtherData(std::wstring_view macroDesc, std::wstring_view param, int type)
{
    std::lock_guard guard(lock_);
    return Query(connection_, "INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);")
        .Text(macroDesc).Text(param).Int(type).Insert();
}

bool DataStore::GetKeyOtherData(int macroValue, std::wstring& macroDesc, std::wstring& param, int& type)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?");
    q.Int(macroValue);
    if (!q.Row())
        return q.Done();
    macroDesc = q.TextAt(0);
    param = q.TextAt(1);
    type = q.IntAt(2);
    return true;
}
