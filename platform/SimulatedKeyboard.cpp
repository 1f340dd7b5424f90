#include "platform/SimulatedKeyboard.h"

#include <algorithm>
#include <cstdio>

namespace platform {
namespace {

constexpr std::uint8_t kFeatureId = 0x07;
constexpr std::size_t kFeatureSize = 8;
constexpr std::size_t kOutputSize = 65;
constexpr std::size_t kSlotDataLimit = 2048;

int Offset(std::span<const std::uint8_t> r)
{
    return r[3] | (r[4] << 8);
}

// Copies a table chunk (length byte 2, offset bytes 3-4, data from byte 5) into a table,
// clipped to both the chunk and the table.
template <std::size_t N>
bool CopyChunk(std::array<std::uint8_t, N>& table, std::span<const std::uint8_t> r)
{
    const std::size_t offset = static_cast<std::size_t>(Offset(r));
    const std::size_t length = std::min<std::size_t>(r[2], 60);
    if (offset >= N)
        return false;
    const std::size_t count = std::min(length, N - offset);
    std::copy_n(r.begin() + 5, count, table.begin() + offset);
    return offset + length == N;
}

} // namespace

// What the keyboard understands: report kind and command byte to handler. Framed output
// reports (BB AA 99 88) are recognised before this table is consulted.
const SimulatedKeyboard::Rule SimulatedKeyboard::kRules[] = {
    {'F', 0xFB, "read slot table", &SimulatedKeyboard::OnReadSlotTable},
    {'F', 0xFA, "set function slot", &SimulatedKeyboard::OnFunctionSlot},
    {'F', 0xF1, "macro slot transfer, first chunk", &SimulatedKeyboard::OnMacroChunkFirst},
    {'F', 0x00, "macro slot transfer, next chunk", &SimulatedKeyboard::OnMacroChunkNext},
    {'F', 0xF7, "lighting mode", &SimulatedKeyboard::OnLightingFeature},
    {'F', 0xF0, "factory reset", &SimulatedKeyboard::OnResetFeature},
    {'F', 0x23, "music level", &SimulatedKeyboard::OnMusicLevel},
    {'F', 0xFD, "read firmware version", &SimulatedKeyboard::OnReadFirmware},
    {'F', 0xFF, "select custom lighting", &SimulatedKeyboard::OnCustomLighting},
    {'O', 0x88, "lighting mode", &SimulatedKeyboard::OnLightingMode},
    {'O', 0x89, "lighting parameters", &SimulatedKeyboard::OnLightingParams},
    {'O', 0x8B, "custom colour chunk", &SimulatedKeyboard::OnCustomColourChunk},
    {'O', 0x8D, "key map chunk", &SimulatedKeyboard::OnKeyMapChunk},
    {'O', 0x8E, "macro slot chunk", &SimulatedKeyboard::OnMacroSlotChunk},
    {'O', 0xF0, "start colour stream", &SimulatedKeyboard::OnStreamStart},
    {'O', 0xF1, "colour stream chunk", &SimulatedKeyboard::OnStreamChunk},
    {'O', 0xFF, "factory reset", &SimulatedKeyboard::OnResetOutput},
};

SimulatedKeyboard::SimulatedKeyboard(std::vector<SimulatedInterface> interfaces, Clock& clock)
    : clock_(clock), start_(clock.NowMicros()), interfaces_(std::move(interfaces))
{
}

std::vector<std::string> SimulatedKeyboard::IdentitiesOf(int connection) const
{
    std::vector<std::string> ids;
    for (const SimulatedInterface& i : interfaces_)
        if (i.connection == connection)
            ids.push_back(i.Identity());
    return ids;
}

void SimulatedKeyboard::Notify(const std::vector<std::string>& identities, bool arrival)
{
    std::vector<ConnectionListener> listeners;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [id, l] : listeners_)
            listeners.push_back(l);
    }
    for (const std::string& identity : identities)
        for (const ConnectionListener& l : listeners)
            l(arrival, identity);
}

void SimulatedKeyboard::Attach(int connection)
{
    {
        std::lock_guard lock(mutex_);
        if (attached_[connection])
            return;
        attached_[connection] = true;
    }
    Notify(IdentitiesOf(connection), true);
}

void SimulatedKeyboard::Detach(int connection)
{
    {
        std::lock_guard lock(mutex_);
        if (!attached_[connection])
            return;
        attached_[connection] = false;
    }
    Notify(IdentitiesOf(connection), false);
}

void SimulatedKeyboard::DetachAll()
{
    std::vector<int> connections;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [c, on] : attached_)
            if (on)
                connections.push_back(c);
    }
    for (int c : connections)
        Detach(c);
}

bool SimulatedKeyboard::IsAttached(int connection) const
{
    std::lock_guard lock(mutex_);
    const auto it = attached_.find(connection);
    return it != attached_.end() && it->second;
}

std::vector<SimulatedInterface> SimulatedKeyboard::PresentInterfaces() const
{
    std::lock_guard lock(mutex_);
    std::vector<SimulatedInterface> present;
    for (const SimulatedInterface& i : interfaces_) {
        const auto it = attached_.find(i.connection);
        if (it != attached_.end() && it->second)
            present.push_back(i);
    }
    return present;
}

bool SimulatedKeyboard::IsPresent(const std::string& identity) const
{
    for (const SimulatedInterface& i : PresentInterfaces())
        if (i.Identity() == identity)
            return true;
    return false;
}

int SimulatedKeyboard::AddListener(ConnectionListener listener)
{
    std::lock_guard lock(mutex_);
    listeners_[nextListener_] = std::move(listener);
    return nextListener_++;
}

void SimulatedKeyboard::RemoveListener(int id)
{
    std::lock_guard lock(mutex_);
    listeners_.erase(id);
}

bool SimulatedKeyboard::Receive(char kind, const std::string& identity, std::span<const std::uint8_t> data)
{
    bool unplug = false;
    {
        std::lock_guard lock(mutex_);
        bool present = false;
        for (const SimulatedInterface& i : interfaces_) {
            const auto it = attached_.find(i.connection);
            if (it != attached_.end() && it->second && i.Identity() == identity)
                present = true;
        }
        if (!present)
            return false;
        if (detachAfter_ == 0) {
            detachAfter_ = -1;
            unplug = true;
        } else {
            if (detachAfter_ > 0)
                --detachAfter_;
            if (fault_ && fault_(kind, data))
                return false;
            SimulatedReport report{clock_.NowMicros() - start_, kind, identity, {data.begin(), data.end()}};
            if (logFile_.is_open()) {
                std::string hex;
                char buf[4];
                for (std::uint8_t b : report.bytes) {
                    std::snprintf(buf, sizeof buf, "%02x", b);
                    hex += buf;
                }
                logFile_ << report.micros << ' ' << kind << ' ' << identity << ' ' << hex << '\n';
                logFile_.flush();
            }
            log_.push_back(std::move(report));
            if (kind != 'G')
                Decode(kind, data);
            return true;
        }
    }
    if (unplug)
        DetachAll();
    return false;
}

int SimulatedKeyboard::SetFeature(const std::string& identity, std::span<const std::uint8_t> data)
{
    return Receive('F', identity, data) ? static_cast<int>(data.size()) : -1;
}

int SimulatedKeyboard::Write(const std::string& identity, std::span<const std::uint8_t> data)
{
    return Receive('O', identity, data) ? static_cast<int>(data.size()) : -1;
}

int SimulatedKeyboard::GetFeature(const std::string& identity, std::span<std::uint8_t> data)
{
    if (data.empty() || !Receive('G', identity, data))
        return -1;
    std::lock_guard lock(mutex_);
    std::array<std::uint8_t, kFeatureSize> reply{};
    reply[0] = kFeatureId;
    if (pendingGet_ == 0xFB) {
        // Bytes 1-7 of the four replies make the 28-byte slot table: byte 0 unused,
        // 1-13 macro slot keys, 14-23 function slot keys.
        std::array<std::uint8_t, 28> table{};
        for (int s = 1; s <= 13; ++s)
            table[s] = state_.macroSlotKey[s];
        for (int s = 1; s <= 10; ++s)
            table[13 + s] = state_.functionSlotKey[s];
        std::copy_n(table.begin() + 7 * slotGetIndex_, 7, reply.begin() + 1);
        slotGetIndex_ = (slotGetIndex_ + 1) % 4;
    } else if (pendingGet_ == 0xFD) {
        reply[1] = static_cast<std::uint8_t>(state_.firmwareVersion >> 8);
        reply[2] = static_cast<std::uint8_t>(state_.firmwareVersion & 0xFF);
        if (corruptFirmwareReply_) {
            reply[0] = 0;
            corruptFirmwareReply_ = false;
        }
    }
    const std::size_t count = std::min({data.size(), reply.size(), static_cast<std::size_t>(replyLength_)});
    std::copy_n(reply.begin(), count, data.begin());
    return static_cast<int>(count);
}

void SimulatedKeyboard::Decode(char kind, std::span<const std::uint8_t> data)
{
    // Short reports are read as if padded with zeros, so no handler reads past the data.
    std::array<std::uint8_t, kOutputSize> padded{};
    const std::size_t size = kind == 'F' ? kFeatureSize : kOutputSize;
    std::copy_n(data.begin(), std::min(data.size(), size), padded.begin());
    const std::span<const std::uint8_t> r(padded.data(), size);

    if (kind == 'O' && r[1] == 0xBB && r[2] == 0xAA && r[3] == 0x99 && r[4] == 0x88) {
        OnFramed(r);
        return;
    }
    if (kind == 'F' && r[0] != kFeatureId) {
        ++state_.unknownReports;
        return;
    }
    for (const Rule& rule : kRules) {
        if (rule.kind == kind && rule.command == r[1]) {
            (this->*rule.apply)(r);
            return;
        }
    }
    ++state_.unknownReports;
}

void SimulatedKeyboard::FactoryReset()
{
    SimulatedKeyboardState fresh;
    fresh.firmwareVersion = state_.firmwareVersion;
    fresh.factoryResets = state_.factoryResets + 1;
    fresh.unknownReports = state_.unknownReports;
    fresh.streamStarted = state_.streamStarted;
    fresh.streamFrames = state_.streamFrames;
    state_ = fresh;
    transferChunks_ = -1;
}

void SimulatedKeyboard::OnReadSlotTable(std::span<const std::uint8_t>)
{
    pendingGet_ = 0xFB;
    slotGetIndex_ = 0;
}

void SimulatedKeyboard::OnFunctionSlot(std::span<const std::uint8_t> r)
{
    const int slot = r[3];
    if (r[2] != 0x01 || slot < 1 || slot > 10) {
        ++state_.unknownReports;
        return;
    }
    state_.functionSlotKey[slot] = r[4];
    state_.functionSlotValue[slot] = r[6];
}

void SimulatedKeyboard::OnMacroChunkFirst(std::span<const std::uint8_t> r)
{
    transfer_.fill(0);
    std::copy_n(r.begin() + 2, 6, transfer_.begin());
    transferChunks_ = 1;
}

void SimulatedKeyboard::OnMacroChunkNext(std::span<const std::uint8_t> r)
{
    if (transferChunks_ < 1 || transferChunks_ >= 28) {
        ++state_.unknownReports;
        return;
    }
    std::copy_n(r.begin() + 2, 6, transfer_.begin() + 6 * transferChunks_);
    if (++transferChunks_ < 28)
        return;
    transferChunks_ = -1;
    const int slot = transfer_[1];
    if (transfer_[0] != 1 || slot < 1 || slot > 13) {
        ++state_.unknownReports;
        return;
    }
    state_.macroSlotKey[slot] = transfer_[2];
    if (transfer_[2] != 0)
        state_.macroPayloadB[slot] = transfer_;
    else
        state_.macroPayloadB.erase(slot);
}

void SimulatedKeyboard::ApplyFeatureLighting(std::span<const std::uint8_t> p)
{
    SimLighting l;
    l.mode = p[0] + 1;
    l.colourIndex = p[1];
    l.brightness = p[4];
    if (l.mode == 4) {
        l.colour = p[2] | (p[3] << 8) | (p[5] << 16);
    } else {
        l.direction = p[2];
        l.speed = p[3]; // mode 9 of the feature command carries it unreduced
        l.option = p[5];
    }
    state_.lighting = l;
}

void SimulatedKeyboard::OnLightingFeature(std::span<const std::uint8_t> r)
{
    ApplyFeatureLighting(r.subspan(2, 6));
}

void SimulatedKeyboard::OnResetFeature(std::span<const std::uint8_t> r)
{
    if (r[2] == 0xAA)
        FactoryReset();
    else
        ++state_.unknownReports;
}

void SimulatedKeyboard::OnMusicLevel(std::span<const std::uint8_t> r)
{
    if (r[2] != 0x45 || r[3] != 0x67 || r[4] != 0x89) {
        ++state_.unknownReports;
        return;
    }
    state_.musicEffect = r[5];
    state_.musicColour = r[6];
    state_.musicLevel = r[7];
}

void SimulatedKeyboard::OnReadFirmware(std::span<const std::uint8_t>)
{
    pendingGet_ = 0xFD;
}

void SimulatedKeyboard::OnCustomLighting(std::span<const std::uint8_t> r)
{
    if (r[2] != 0xFF) {
        ++state_.unknownReports;
        return;
    }
    SimLighting l;
    l.mode = r[3] + 1;
    l.brightness = r[4];
    l.speed = r[5];
    l.option = r[7];
    state_.customSelection = l;
}

void SimulatedKeyboard::OnLightingMode(std::span<const std::uint8_t> r)
{
    state_.lighting.mode = r[3];
}

void SimulatedKeyboard::OnLightingParams(std::span<const std::uint8_t> r)
{
    const int flags = r[3];
    state_.lighting.direction = (flags >> 4) & 3;
    state_.lighting.colorful = (flags & 0x40) ? 1 : 0;
    state_.lighting.speed = flags & 0x0F;
    state_.lighting.colour = r[4] | (r[5] << 8) | (r[6] << 16);
    state_.lighting.brightness = r[7];
}

void SimulatedKeyboard::OnCustomColourChunk(std::span<const std::uint8_t> r)
{
    CopyChunk(state_.customColours, r);
}

void SimulatedKeyboard::OnKeyMapChunk(std::span<const std::uint8_t> r)
{
    CopyChunk(state_.keyMap, r);
}

void SimulatedKeyboard::OnMacroSlotChunk(std::span<const std::uint8_t> r)
{
    const int slot = r[5];
    const std::size_t offset = static_cast<std::size_t>(Offset(r));
    if (offset + 59 > kSlotDataLimit) {
        ++state_.unknownReports;
        return;
    }
    std::vector<std::uint8_t>& data = state_.slotDataA[slot];
    if (offset == 0)
        data.clear(); // a new transfer for this slot
    if (data.size() < offset + 59)
        data.resize(offset + 59);
    std::copy_n(r.begin() + 6, 59, data.begin() + offset);
}

void SimulatedKeyboard::OnStreamStart(std::span<const std::uint8_t> r)
{
    if (r[2] == 0xF4 && r[3] == 0x01)
        state_.streamStarted = true;
    else
        ++state_.unknownReports;
}

void SimulatedKeyboard::OnStreamChunk(std::span<const std::uint8_t> r)
{
    if (CopyChunk(state_.colourStream, r))
        ++state_.streamFrames;
}

void SimulatedKeyboard::OnResetOutput(std::span<const std::uint8_t> r)
{
    if (r[2] == 0xFE && r[3] == 0xAA && r[4] == 0xFF)
        FactoryReset();
    else
        ++state_.unknownReports;
}

void SimulatedKeyboard::OnFramed(std::span<const std::uint8_t> r)
{
    const std::span<const std::uint8_t> command = r.subspan(5); // after id and marker
    const auto allEqual = [](std::span<const std::uint8_t> bytes, std::uint8_t value) {
        return std::all_of(bytes.begin(), bytes.end(), [value](std::uint8_t b) { return b == value; });
    };
    if (allEqual(command.first(6), 0xAA)) {
        resetArmed_ = true;
    } else if (allEqual(command, 0x00)) {
        if (resetArmed_)
            FactoryReset();
        resetArmed_ = false;
    } else if (command[0] == 0xAA) {
        ApplyFeatureLighting(command.subspan(1, 6));
    } else {
        ++state_.unknownReports;
    }
}

void SimulatedKeyboard::SetFault(ReportFault fault)
{
    std::lock_guard lock(mutex_);
    fault_ = std::move(fault);
}

void SimulatedKeyboard::DetachAfter(int count)
{
    std::lock_guard lock(mutex_);
    detachAfter_ = count;
}

void SimulatedKeyboard::CorruptNextFirmwareReply()
{
    std::lock_guard lock(mutex_);
    corruptFirmwareReply_ = true;
}

void SimulatedKeyboard::SetReplyLength(int length)
{
    std::lock_guard lock(mutex_);
    replyLength_ = std::clamp(length, 0, 8);
}

SimulatedKeyboardState SimulatedKeyboard::State() const
{
    std::lock_guard lock(mutex_);
    return state_;
}

void SimulatedKeyboard::SetFirmwareVersion(std::uint16_t version)
{
    std::lock_guard lock(mutex_);
    state_.firmwareVersion = version;
}

std::optional<SimMacroSlotA> SimulatedKeyboard::MacroSlotA(int slot) const
{
    std::lock_guard lock(mutex_);
    const auto it = state_.slotDataA.find(slot);
    if (it == state_.slotDataA.end() || it->second.size() < 2)
        return std::nullopt;
    const std::vector<std::uint8_t>& d = it->second;
    SimMacroSlotA macro;
    macro.repetitions = d[0];
    const std::size_t count = d[1];
    for (std::size_t i = 0; i < count && 4 + 3 * i < d.size(); ++i) {
        const std::uint8_t low = d[3 + 3 * i];
        const std::uint8_t high = d[4 + 3 * i];
        SimMacroEventA e;
        e.usage = d[2 + 3 * i];
        e.keyUp = !(high & 0x80);
        e.delayMs = e.keyUp ? ((high << 8) | (low & 0x7F)) : (((high & 0x7F) << 8) | low);
        macro.events.push_back(e);
    }
    return macro;
}

std::vector<std::pair<std::uint8_t, std::uint8_t>> SimulatedKeyboard::MacroSlotEventsB(int slot) const
{
    std::lock_guard lock(mutex_);
    std::vector<std::pair<std::uint8_t, std::uint8_t>> events;
    const auto it = state_.macroPayloadB.find(slot);
    if (it == state_.macroPayloadB.end())
        return events;
    for (std::size_t i = 4; i + 1 < it->second.size(); i += 2) {
        if (it->second[i] == 0 && it->second[i + 1] == 0)
            break;
        events.emplace_back(it->second[i], it->second[i + 1]);
    }
    return events;
}

std::vector<SimulatedReport> SimulatedKeyboard::Log() const
{
    std::lock_guard lock(mutex_);
    return log_;
}

void SimulatedKeyboard::ClearLog()
{
    std::lock_guard lock(mutex_);
    log_.clear();
}

bool SimulatedKeyboard::OpenLogFile(const std::string& path)
{
    std::lock_guard lock(mutex_);
    logFile_.open(path, std::ios::app);
    return logFile_.is_open();
}

} // namespace platform
