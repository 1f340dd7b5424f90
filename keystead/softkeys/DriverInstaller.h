#pragma once
#include "platform/EvdevFilterDevice.h"

#include <string>
#include <vector>

class VHidev;

// Runs a program to its end.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // False when no program is given or it cannot be started; otherwise waits without limit for
    // it to end and returns true. Its exit code is not examined.
    virtual bool RunAndWait(const std::wstring& program, const std::vector<std::wstring>& arguments) = 0;
};

class SystemProcessRunner : public ProcessRunner {
public:
    bool RunAndWait(const std::wstring& program, const std::vector<std::wstring>& arguments) override;
};

// Grants the desktop user the device access the software key execution needs: the driver folder
// beside the program holds a script that installs udev rules (the uaccess tag for the configured
// keyboards' hidraw and event nodes and for /dev/uinput) and loads uinput. It runs as root through
// pkexec.
class DriverInstaller {
public:
    static constexpr const wchar_t* kScript = L"/keystead-driver.sh";
    static constexpr const wchar_t* kFullPackage = L"/keystead-input.rules";
    static constexpr const wchar_t* kVirtualDevicePackage = L"/keystead-uinput.rules";
    static constexpr const wchar_t* kInstalledRules = L"/etc/udev/rules.d/70-keystead.rules";

    // keyboards: the USB ids of the configured models. installedRules: where the script puts the
    // rules (whether something is installed that could be removed).
    DriverInstaller(VHidev& vhid, ProcessRunner& runner, std::wstring driverFolder, std::vector<platform::UsbId> keyboards,
                    std::wstring installedRules = kInstalledRules);

    // The program folder's "driver" folder.
    static std::wstring DriverFolder();

    bool RunAndWait(const std::wstring& program, const std::vector<std::wstring>& arguments);
    // Removes the installed rules; true when there were none or the script ran.
    bool RemoveVirtualDevice();
    // True when the virtual device can be found afterwards (at once, without installing, when it is there).
    bool InstallDrivers();

private:
    // The script (by /bin/sh), through pkexec unless we are root already.
    bool RunScript(std::vector<std::wstring> arguments);

    VHidev& vhid_;
    ProcessRunner& runner_;
    std::wstring folder_;
    std::vector<platform::UsbId> keyboards_;
    std::wstring installedRules_;
};
