#pragma once
#include "platform/VirtualHidDevice.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

// Writes one report to the virtual device: data, length, report id.
class IVHidevProxy {
public:
    virtual ~IVHidevProxy() = default;
    virtual bool WriteReport(const uint8_t* data, size_t length, uint8_t reportId) = 0;
};

// The program's side of the virtual HID device: one buffer per injected report, each sent whole
// after every change. Every change and write happens under the write mutex, so reports from the
// monitor thread and the worker never interleave or tear.
class VHidev : public IVHidevProxy {
public:
    explicit VHidev(std::unique_ptr<platform::VirtualHidDevice> device);
    ~VHidev() override;
    VHidev(const VHidev&) = delete;
    VHidev& operator=(const VHidev&) = delete;

    // Searches for the device; keeps a device already open. True when one is open.
    bool FindVirtualDevice();
    // Forgets the current device, then searches again.
    bool ReopenVirtualDevice();
    // Before an injection: an open device is used as it is; a device that went away (its last
    // write failed) is searched for again, so it is found once it returns.
    bool EnsureVirtualDevice();
    bool IsOpen() const;

    void PressKey(int usage, bool pressed);
    // Only bits 0 to 7.
    void SetMouseButton(int bit, bool pressed);
    // Consumer codes 232 to 249: their usage when pressed, 0 when released; other codes send nothing.
    void SendConsumer(int code, bool pressed);
    // Clears all four reports and sends them.
    void ReleaseAll();
    // At exit: releases everything, then refuses every later injection, so nothing is pressed
    // once the program has gone.
    void ShutDown();

    bool WriteReport(const uint8_t* data, size_t length, uint8_t reportId) override;

private:
    struct Report {
        uint8_t id;
        IVHidevProxy* proxy;
        std::array<uint8_t, platform::kKeyboardReportBytes> data;
        size_t length;
    };
    bool SendLocked(Report& report);
    void ReleaseAllLocked();
    static void EmergencyRelease(void* self) noexcept;

    std::mutex writeMutex_;
    std::unique_ptr<platform::VirtualHidDevice> device_;
    Report keyboard_;
    Report mouse_;
    Report consumer_;
    Report release_;
    std::atomic<bool> shutDown_{false};
};

// The process-wide device, created on first use and never destroyed: simulated when
// KEYSTEAD_DEVICE=simulated, otherwise the uinput device.
VHidev& GetVHidev();
