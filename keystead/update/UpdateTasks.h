#pragma once
#include "platform/HttpClient.h"
#include "update/Unzip.h"
#include "update/UpdateHost.h"

#include <chrono>
#include <functional>
#include <string>

namespace platform {
class Shell;
}

// The update tasks of the worker thread: software check (12), firmware check (13),
// software download and hand-over (14), firmware tool download and hand-over (15) and
// start of the firmware tool shipped with the program (16). One object lives in the main
// window; it owns the transfer object and the offered versions until the next check.
//
// A downloaded program is started only from a complete download that unpacked cleanly,
// and only when its archive carries a valid signature (when a key is configured) or the
// user agreed (when none is).
class UpdateTasks {
public:
    static constexpr int kSoftwareCheck = 12;
    static constexpr int kFirmwareCheck = 13;
    static constexpr int kSoftwareDownload = 14;
    static constexpr int kFirmwareDownload = 15;
    static constexpr int kFirmwareToolStart = 16;
    static constexpr int kCheckTimerId = 200;
    static constexpr size_t kMaxVersionLength = 10;

    using Sleeper = std::function<void(std::chrono::milliseconds)>;

    UpdateTasks(UpdateHost& host, FirmwareDevice& device, platform::Shell& shell, Sleeper sleeper = {});

    // Runs one of the tasks above; false for any other task number.
    bool RunTask(int task);

    void CheckSoftware();
    void CheckFirmware();
    // True when the downloaded program was started and the process asked to end.
    bool DownloadSoftware();
    bool DownloadFirmwareTool();
    bool StartFirmwareTool();

    const std::wstring& OfferedSoftwareVersion() const { return m_offeredSoftware; }
    const std::wstring& OfferedFirmwareVersion() const { return m_offeredFirmware; }

    // The transfer object: its continue flag and its size and time limits.
    platform::HttpClient& Http() { return m_http; }
    UnzipLimits& Unpacking() { return m_unzipLimits; }

private:
    bool DownloadAndStart(const UpdateSource& source, const std::wstring& folder, const wchar_t* stem,
                          const std::wstring& version);
    bool FetchVerifiedArchive(const std::wstring& address, const std::wstring& archive, const UpdateSource& source);
    bool HandOver(const std::wstring& program, bool signedArchive);

    UpdateHost& m_host;
    FirmwareDevice& m_device;
    platform::Shell& m_shell;
    Sleeper m_sleep;
    platform::HttpClient m_http;
    UnzipLimits m_unzipLimits;
    std::wstring m_offeredSoftware;
    std::wstring m_offeredFirmware;
};

// True for an offered version text usable in file names and addresses: 1 to 10
// characters of letters, digits, '.', '-', '_' and '+'.
bool IsSafeVersionText(std::wstring_view version);
