#pragma once
#include <string>

namespace Lumo {

// Process-wide holder of what both the program and the library need to know,
// first of all the device name that names the program instance.
class Manager {
public:
    static void SetDeviceName(const std::wstring& name);
    static std::wstring GetDeviceName();
};

} // namespace Lumo
