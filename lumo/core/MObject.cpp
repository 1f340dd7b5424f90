#include "lumo/MObject.h"

#include <cwchar>

namespace Lumo {

int MObject::IsClass(const wchar_t* name)
{
    const wchar_t* own = GetClassNameW();
    return own && name && std::wcscmp(own, name) == 0 ? 1 : 0;
}

int MObject::OnBaseMessage(UINT, UINT, UINT, LPARAM) { return 0; }

int MObject::OnControlUpdate(Rect, int, MControl*) { return 0; }

} // namespace Lumo
