#include "update/UpdateTasks.h"

#include "platform/Shell.h"
#include "platform/TextCodec.h"
#include "shell/AppPaths.h"
#include "update/ArchiveSignature.h"
#include "update/VersionCompare.h"
#include "xml/XmlDocument.h"

#include <cstdio>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const wchar_t* kSoftwareStem = L"Keyboard-Software-";
constexpr const wchar_t* kFirmwareStem = L"FirmwareUpdateTool-";
constexpr std::chrono::milliseconds kRedetectPause { 2000 };

// Downloaded files are looked at as they are; a link there was not made by unpacking.
bool IsDownloadedFile(const std::wstring& path)
{
    struct stat st {};
    return lstat(platform::ToUtf8(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsInstalledFile(const std::wstring& path)
{
    struct stat st {};
    return stat(platform::ToUtf8(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void RemoveFile(const std::wstring& path)
{
    unlink(platform::ToUtf8(path).c_str());
}

bool HasVersionLength(const std::wstring& text)
{
    return !text.empty() && text.size() <= UpdateTasks::kMaxVersionLength;
}

} // namespace

bool IsSafeVersionText(std::wstring_view version)
{
    if (version.empty() || version.size() > UpdateTasks::kMaxVersionLength)
        return false;
    for (wchar_t c : version) {
        const bool ok = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'.'
            || c == L'-' || c == L'_' || c == L'+';
        if (!ok)
            return false;
    }
    return true;
}

UpdateTasks::UpdateTasks(UpdateHost& host, FirmwareDevice& device, platform::Shell& shell, Sleeper sleeper)
    : m_host(host), m_device(device), m_shell(shell), m_sleep(std::move(sleeper))
{
    if (!m_sleep)
        m_sleep = [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); };
}

bool UpdateTasks::RunTask(int task)
{
    switch (task) {
    case kSoftwareCheck:
        CheckSoftware();
        return true;
    case kFirmwareCheck:
        CheckFirmware();
        return true;
    case kSoftwareDownload:
        DownloadSoftware();
        return true;
    case kFirmwareDownload:
        DownloadFirmwareTool();
        return true;
    case kFirmwareToolStart:
        StartFirmwareTool();
        return true;
    default:
        return false;
    }
}

void UpdateTasks::CheckSoftware()
{
    m_host.KillTimer(kCheckTimerId);
    const UpdateSources sources = m_host.GetUpdateSources();
    if (sources.software.url.empty())
        return;
    std::wstring text;
    if (m_http.DownloadText(sources.software.url + L"version", text) != platform::HttpClient::kDone || !HasVersionLength(text))
        return;
    m_offeredSoftware = text;
    const int comparison = CompareVersions(sources.softwareVersion, m_offeredSoftware);
    if (comparison != 1 && comparison != 2)
        return;
    if (DownloadSoftware())
        return;
    m_host.SetUpgradeStatus(UpgradeTarget::Software, 1);
}

void UpdateTasks::CheckFirmware()
{
    m_offeredFirmware.clear();
    const UpdateSources sources = m_host.GetUpdateSources();
    if (sources.firmware.url.empty())
        return;
    std::wstring text;
    if (m_http.DownloadText(sources.firmware.url + L"version", text) != platform::HttpClient::kDone || !HasVersionLength(text))
        return;
    m_offeredFirmware = text;
    const int version = m_device.ReadFirmwareVersion();
    if (version < 0)
        return;
    // The keyboard's version is shown in hexadecimal and those digits compared as decimal.
    wchar_t hex[16] = {};
    std::swprintf(hex, 16, L"%x", static_cast<unsigned>(version));
    if (LeadingInt(hex) < LeadingInt(m_offeredFirmware)) {
        m_host.SetUpgradeStatus(UpgradeTarget::Firmware, 1);
        m_host.QueueTask(kFirmwareDownload);
    }
}

bool UpdateTasks::DownloadSoftware()
{
    const UpdateSources sources = m_host.GetUpdateSources();
    return DownloadAndStart(sources.software, sources.downloadFolder, kSoftwareStem, m_offeredSoftware);
}

bool UpdateTasks::DownloadFirmwareTool()
{
    const UpdateSources sources = m_host.GetUpdateSources();
    return DownloadAndStart(sources.firmware, sources.downloadFolder, kFirmwareStem, m_offeredFirmware);
}

bool UpdateTasks::DownloadAndStart(const UpdateSource& source, const std::wstring& folder, const wchar_t* stem,
                                   const std::wstring& version)
{
    // The offered version comes from the server and becomes part of file names.
    if (source.url.empty() || folder.empty() || !IsSafeVersionText(version))
        return false;
    const std::wstring name = stem + version;
    const std::wstring archiveName = name + L".zip";
    const std::wstring address = source.url + L"//" + archiveName;
    const std::wstring archive = folder + archiveName;
    if (!CreateDirectoryPath(folder))
        return false;
    const std::wstring program = folder + name;
    // A program left from an earlier download must not stand in for a missing one.
    RemoveFile(archive);
    RemoveFile(program);
    if (!FetchVerifiedArchive(address, archive, source))
        return false;
    const UnzipResult unpacked = Unzip(archive, folder, m_unzipLimits);
    RemoveFile(archive);
    if (unpacked != UnzipResult::Done)
        return false;
    return HandOver(program, !source.pubkey.empty());
}

bool UpdateTasks::FetchVerifiedArchive(const std::wstring& address, const std::wstring& archive, const UpdateSource& source)
{
    if (m_http.DownloadToFile(address, archive, m_host.ProgressWindow()) != platform::HttpClient::kDone || !IsDownloadedFile(archive))
        return false;
    if (source.pubkey.empty())
        return true;
    std::wstring signature;
    if (m_http.DownloadText(address + L".sig", signature) == platform::HttpClient::kDone
        && VerifyFileSignature(archive, platform::ToUtf8(signature), platform::ToUtf8(source.pubkey)))
        return true;
    RemoveFile(archive);
    return false;
}

bool UpdateTasks::HandOver(const std::wstring& program, bool signedArchive)
{
    if (!IsDownloadedFile(program))
        return false;
    if (!signedArchive && !m_host.AgreeToStart(program))
        return false;
    // Archives made elsewhere carry no permission bits; the program is run as an executable.
    if (chmod(platform::ToUtf8(program).c_str(), 0755) != 0 || !m_shell.Start(program))
        return false;
    m_host.EndProcess();
    return true;
}

bool UpdateTasks::StartFirmwareTool()
{
    const UpdateSources sources = m_host.GetUpdateSources();
    if (sources.firmwareFile.empty())
        return false;
    const std::wstring tool = sources.programFolder + L"firmware/" + sources.firmwareFile;
    if (!IsInstalledFile(tool))
        return false;
    // The tool needs the keyboard to itself.
    m_device.CloseAll();
    if (m_shell.Start(tool)) {
        m_host.EndProcess();
        return true;
    }
    m_sleep(kRedetectPause);
    m_device.RunDetection();
    return false;
}
