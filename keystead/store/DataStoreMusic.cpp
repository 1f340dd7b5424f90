#include "store/DataStore.h"

#include "store/StoreQuery.h"

using store_detail::Query;
using store_detail::ReadFirst;
using store_detail::ReadFirstInt;

namespace {

MusicLayerData ReadMusicLayer(const Query& q)
{
    MusicLayerData m;
    m.layer_id = q.IntAt(0);
    m.profile = q.IntAt(1);
    m.name = q.TextAt(2);
    m.deviceindex = q.IntAt(3);
    m.foremode = q.IntAt(4);
    m.fore_amplitude = q.IntAt(5);
    m.backmode = q.IntAt(6);
    m.backb_right = q.IntAt(7);
    return m;
}

} // namespace

// ---- music lighting ----

int DataStore::CountMusicLayers()
{
    std::lock_guard guard(lock_);
    Query q(connection_, "select count(*) FROM t_musiclayer_data WHERE profile = ?");
    q.Int(1);
    return ReadFirstInt(q);
}

int DataStore::AddMusicLayer(std::wstring_view name, int foremode)
{
    std::lock_guard guard(lock_);
    return Query(connection_,
               "INSERT INTO t_musiclayer_data(profile, name, deviceindex, foremode, fore_amplitude, backmode, "
               "backb_right, sel) VALUES (?, ?, ?, ?, ?, ?, ?, ?);")
        .Int(1).Text(name).Int(0).Int(foremode).Int(300).Int(0).Int(100).Int(0)
        .Insert();
}

bool DataStore::GetMusicLayer(int layerId, MusicLayerData& layer)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_musiclayer_data WHERE layer_id = ?");
    q.Int(layerId);
    return ReadFirst(q, layer, ReadMusicLayer);
}

bool DataStore::UpdateMusicLayer(const MusicLayerData& layer)
{
    std::lock_guard guard(lock_);
    return Query(connection_,
               "UPDATE t_musiclayer_data SET deviceindex= ?, foremode= ?, fore_amplitude = ?, backmode= ?, "
               "backb_right= ? WHERE layer_id = ?")
        .Int(layer.deviceindex).Int(layer.foremode).Int(layer.fore_amplitude).Int(layer.backmode)
        .Int(layer.backb_right).Int(1)
        .Run();
}

bool DataStore::SelectMusicLayer()
{
    std::lock_guard guard(lock_);
    Query(connection_, "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ?").Int(0).Int(1).Run();
    return Query(connection_, "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ? AND layer_id = ?")
        .Int(1).Int(1).Int(1).Run();
}

int DataStore::GetSelectedMusicLayer()
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT layer_id FROM t_musiclayer_data WHERE profile = ? AND sel = ?");
    q.Int(1).Int(1);
    return ReadFirstInt(q);
}
