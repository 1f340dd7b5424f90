#include "store/DataStore.h"

#include "store/SQLiteAutoTransaction.h"
#include "store/StoreQuery.h"

using store_detail::Query;
using store_detail::ReadAll;
using store_detail::ReadFirst;
using store_detail::ReadFirstInt;

namespace {

LightData ReadLight(const Query& q)
{
    LightData l;
    l.light_id = q.IntAt(0);
    l.profile = q.IntAt(1);
    l.name = q.TextAt(2);
    l.mode = q.IntAt(3);
    l.brightness = q.IntAt(4);
    l.speed = q.IntAt(5);
    l.direction = q.IntAt(6);
    l.colorful = q.IntAt(7);
    l.colorindex = q.IntAt(8);
    l.color_value = q.IntAt(9);
    l.config_func = q.IntAt(10);
    l.reserved = q.IntAt(11);
    l.status = q.IntAt(12);
    return l;
}

KeyLightData ReadKeyLight(const Query& q)
{
    KeyLightData k;
    k.keylight_id = q.IntAt(0);
    k.profile = q.IntAt(1);
    k.light_id = q.IntAt(2);
    k.key_code = q.IntAt(3);
    k.key_rgb = q.IntAt(4);
    return k;
}

constexpr const char* kInsertKeyLight =
    "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) VALUES (?, ?, ?, ?);";

} // namespace

// ---- lighting ----

int DataStore::CountLights(int profile)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "select count(*) FROM t_light_data WHERE profile = ?");
    q.Int(profile);
    return ReadFirstInt(q);
}

int DataStore::AddLight(const LightData& light)
{
    std::lock_guard guard(lock_);
    return Query(connection_,
               "INSERT INTO t_light_data(profile, name, mode, brightness, speed, direction, colorful, colorindex, "
               "color_value, config_func, reserved, status) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);")
        .Int(light.profile).Text(light.name).Int(light.mode).Int(light.brightness).Int(light.speed)
        .Int(light.direction).Int(light.colorful).Int(light.colorindex).Int(light.color_value)
        .Int(light.config_func).Int(light.reserved).Int(light.status)
        .Insert();
}

bool DataStore::UpdateLight(int profile, int mode, const LightData& light)
{
    std::lock_guard guard(lock_);
    return Query(connection_,
               "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, colorful = ?, colorindex = ?, "
               "color_value = ?, config_func = ?, reserved = ? WHERE profile = ? AND mode = ?")
        .Int(light.brightness).Int(light.speed).Int(light.direction).Int(light.colorful).Int(light.colorindex)
        .Int(light.color_value).Int(light.config_func).Int(light.reserved).Int(profile).Int(mode)
        .Run();
}

bool DataStore::SetActiveLight(int profile, int mode)
{
    std::lock_guard guard(lock_);
    Query(connection_, "UPDATE t_light_data SET status = ?").Int(0).Run();
    return Query(connection_, "UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?")
        .Int(1).Int(profile).Int(mode).Run();
}

int DataStore::GetActiveLightMode(int profile)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT mode FROM t_light_data WHERE profile = ? and status = ?");
    q.Int(profile).Int(1);
    return ReadFirstInt(q);
}

bool DataStore::GetLight(int profile, int mode, LightData& light)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_light_data WHERE profile = ? AND mode = ?");
    q.Int(profile).Int(mode);
    return ReadFirst(q, light, ReadLight);
}

int DataStore::GetLights(int profile, std::vector<LightData>& lights)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_light_data WHERE profile = ?");
    q.Int(profile);
    return ReadAll(q, lights, ReadLight);
}

int DataStore::SaveKeyLights(const std::vector<KeyLightData>& keyLights)
{
    std::lock_guard guard(lock_);
    SQLiteAutoTransaction transaction(connection_);
    int stored = 0;
    for (const KeyLightData& k : keyLights) {
        stored += Query(connection_, kInsertKeyLight).Int(k.profile).Int(k.light_id).Int(k.key_code).Int(k.key_rgb)
                          .Insert() != 0 ? 1 : 0;
    }
    return transaction.Commit() ? stored : 0;
}

bool DataStore::DeleteKeyLights()
{
    std::lock_guard guard(lock_);
    return Query(connection_, "DELETE FROM t_key_light_data WHERE light_id = ?").Int(kCustomLightId).Run();
}

int DataStore::GetKeyLights(int lightId, std::vector<KeyLightData>& keyLights)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_key_light_data WHERE light_id = ?");
    q.Int(lightId);
    return ReadAll(q, keyLights, ReadKeyLight);
}
