#include "store/DataStore.h"

#include "store/StoreQuery.h"

using store_detail::Query;
using store_detail::ReadAll;
using store_detail::ReadFirstInt;

namespace {

ProfileData ReadProfile(const Query& q)
{
    ProfileData p;
    p.profile = q.IntAt(0);
    p.name = q.TextAt(1);
    p.status = q.IntAt(2);
    p.app = q.TextAt(3);
    p.type = q.IntAt(4);
    return p;
}

} // namespace

// ---- profiles ----

int DataStore::AddProfile(const ProfileData& profile)
{
    std::lock_guard guard(lock_);
    return Query(connection_, "INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);")
        .Text(profile.name).Int(0).Text(profile.app).Int(0).Insert();
}

bool DataStore::DeleteProfile(int profile)
{
    std::lock_guard guard(lock_);
    return Query(connection_, "DELETE FROM t_profile_data WHERE profile = ?").Int(profile).Run();
}

bool DataStore::RenameProfile(int profile, std::wstring_view name)
{
    std::lock_guard guard(lock_);
    return Query(connection_, "UPDATE t_profile_data SET name = ? WHERE profile = ?").Text(name).Int(profile).Run();
}

bool DataStore::GetProfileName(int profile, std::wstring& name)
{
    std::lock_guard guard(lock_);
    name.clear();
    Query q(connection_, "SELECT name FROM t_profile_data WHERE profile = ?");
    q.Int(profile);
    if (!q.Row())
        return false;
    name = q.TextAt(0);
    return true;
}

int DataStore::GetProfiles(std::vector<ProfileData>& profiles)
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT * FROM t_profile_data");
    return ReadAll(q, profiles, ReadProfile);
}

bool DataStore::SetActiveProfile(int profile)
{
    std::lock_guard guard(lock_);
    Query(connection_, "UPDATE t_profile_data SET status = ?").Int(0).Run();
    return Query(connection_, "UPDATE t_profile_data SET status = ? WHERE profile = ?").Int(1).Int(profile).Run();
}

int DataStore::GetActiveProfile()
{
    std::lock_guard guard(lock_);
    Query q(connection_, "SELECT profile FROM t_profile_data WHERE status = ?");
    q.Int(1);
    return ReadFirstInt(q);
}
