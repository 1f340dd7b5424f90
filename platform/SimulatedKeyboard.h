#pragma once
#include <array>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/HidBackend.h"

// A keyboard without the hardware: a device model that decodes every report of both command
// families (feature report 7 and output report 0, including the framed commands), keeps the
// state a real keyboard keeps, answers the get-feature requests and can log every report it
// receives. Several connections (cable, receiver, Bluetooth) can be attached at once; they
// share one state, as one physical keyboard would.
namespace platform {

struct SimulatedInterface {
    int connection = 0; // the connection mode this interface appears with
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::wstring productString;
    int interfaceNumber = 0;
    std::uint16_t usagePage = 0xFF01;
    std::uint16_t usage = 1;
    HidBus bus = HidBus::Usb;
    bool openable = true;

    std::string Identity() const { return HidIdentity(vendorId, productId, interfaceNumber, bus); }
};

struct SimLighting {
    int mode = 1; // 1-based
    int brightness = 0; // as the keyboard received it
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colourIndex = 0;
    int option = 0;
    std::uint32_t colour = 0; // COLORREF
};

struct SimMacroEventA {
    std::uint8_t usage = 0;
    int delayMs = 0;
    bool keyUp = false;
};

struct SimMacroSlotA {
    int repetitions = 0;
    std::vector<SimMacroEventA> events;
};

struct SimulatedKeyboardState {
    // Family A
    std::array<std::uint8_t, 220> keyMap{};
    std::map<int, std::vector<std::uint8_t>> slotDataA; // slot -> assembled 0x8E data
    // Family B: slot keys (index 1-13 / 1-10), function values and macro payloads
    std::array<std::uint8_t, 14> macroSlotKey{};
    std::array<std::uint8_t, 11> functionSlotKey{};
    std::array<std::uint8_t, 11> functionSlotValue{};
    std::map<int, std::array<std::uint8_t, 168>> macroPayloadB;
    // Lighting, as set by 0x88/0x89, 0xF7 or the framed command
    SimLighting lighting;
    // Custom-lighting selection (feature 0xFF)
    SimLighting customSelection;
    std::array<std::uint8_t, 440> customColours{};
    std::array<std::uint8_t, 330> colourStream{};
    bool streamStarted = false;
    int streamFrames = 0;
    int musicLevel = -1;
    int musicEffect = 0;
    int musicColour = 0;
    std::uint16_t firmwareVersion = 0x0105;
    int factoryResets = 0;
    int unknownReports = 0;
};

struct SimulatedReport {
    std::int64_t micros = 0; // since the keyboard was made
    char kind = 'O';         // F feature set, G feature get, O output report
    std::string identity;
    std::vector<std::uint8_t> bytes;
};

class SimulatedKeyboard {
public:
    using ConnectionListener = std::function<void(bool arrival, const std::string& identity)>;
    using ReportFault = std::function<bool(char kind, std::span<const std::uint8_t> bytes)>;

    explicit SimulatedKeyboard(std::vector<SimulatedInterface> interfaces, Clock& clock = SystemClock());

    // Plugging: a connection's interfaces appear or disappear; listeners hear each identity.
    void Attach(int connection);
    void Detach(int connection);
    void DetachAll();
    bool IsAttached(int connection) const;
    std::vector<SimulatedInterface> PresentInterfaces() const;
    bool IsPresent(const std::string& identity) const;
    int AddListener(ConnectionListener listener);
    void RemoveListener(int id);

    // The host side, as the HID backend calls it. Byte counts, or -1 on failure.
    int SetFeature(const std::string& identity, std::span<const std::uint8_t> data);
    int GetFeature(const std::string& identity, std::span<std::uint8_t> data);
    int Write(const std::string& identity, std::span<const std::uint8_t> data);

    // Faults: a report for which the predicate answers true fails (and is not received).
    void SetFault(ReportFault fault);
    // After `count` more received reports every connection is unplugged.
    void DetachAfter(int count);
    // The next firmware reply does not start with the report id.
    void CorruptNextFirmwareReply();
    // Replies shorter than 8 bytes, as a faulty device might give.
    void SetReplyLength(int length);

    SimulatedKeyboardState State() const;
    void SetFirmwareVersion(std::uint16_t version);
    // Family-A slot data decoded: repetitions, then events bounded by the data received.
    std::optional<SimMacroSlotA> MacroSlotA(int slot) const;
    // Family-B macro slot events as (usage, timing byte), up to the first empty pair.
    std::vector<std::pair<std::uint8_t, std::uint8_t>> MacroSlotEventsB(int slot) const;

    std::vector<SimulatedReport> Log() const;
    void ClearLog();
    // Appends one line per received report: "<micros> <F|G|O> <identity> <hex>".
    bool OpenLogFile(const std::string& path);

private:
    struct Rule {
        char kind;
        std::uint8_t command;
        const char* meaning;
        void (SimulatedKeyboard::*apply)(std::span<const std::uint8_t>);
    };
    static const Rule kRules[];

    bool Receive(char kind, const std::string& identity, std::span<const std::uint8_t> data);
    void Decode(char kind, std::span<const std::uint8_t> data);
    void FactoryReset();
    void Notify(const std::vector<std::string>& identities, bool arrival);
    std::vector<std::string> IdentitiesOf(int connection) const;

    void OnReadSlotTable(std::span<const std::uint8_t> r);
    void OnFunctionSlot(std::span<const std::uint8_t> r);
    void OnMacroChunkFirst(std::span<const std::uint8_t> r);
    void OnMacroChunkNext(std::span<const std::uint8_t> r);
    void OnLightingFeature(std::span<const std::uint8_t> r);
    void OnResetFeature(std::span<const std::uint8_t> r);
    void OnMusicLevel(std::span<const std::uint8_t> r);
    void OnReadFirmware(std::span<const std::uint8_t> r);
    void OnCustomLighting(std::span<const std::uint8_t> r);
    void OnLightingMode(std::span<const std::uint8_t> r);
    void OnLightingParams(std::span<const std::uint8_t> r);
    void OnCustomColourChunk(std::span<const std::uint8_t> r);
    void OnKeyMapChunk(std::span<const std::uint8_t> r);
    void OnMacroSlotChunk(std::span<const std::uint8_t> r);
    void OnStreamStart(std::span<const std::uint8_t> r);
    void OnStreamChunk(std::span<const std::uint8_t> r);
    void OnResetOutput(std::span<const std::uint8_t> r);
    void OnFramed(std::span<const std::uint8_t> r);
    void ApplyFeatureLighting(std::span<const std::uint8_t> params);

    Clock& clock_;
    const std::int64_t start_;
    std::vector<SimulatedInterface> interfaces_;
    mutable std::mutex mutex_;
    std::map<int, bool> attached_;
    std::map<int, ConnectionListener> listeners_;
    int nextListener_ = 1;
    SimulatedKeyboardState state_;
    // Protocol progress between reports
    std::uint8_t pendingGet_ = 0; // command whose reply the next get returns
    int slotGetIndex_ = 0;
    std::array<std::uint8_t, 168> transfer_{};
    int transferChunks_ = -1; // chunks of the running 0xF1 transfer, -1 when none
    bool resetArmed_ = false;
    bool corruptFirmwareReply_ = false;
    int replyLength_ = 8;
    ReportFault fault_;
    int detachAfter_ = -1;
    std::vector<SimulatedReport> log_;
    std::ofstream logFile_;
};

} // namespace platform
