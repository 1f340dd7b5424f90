#pragma once
#include "lumo/Types.h"

// Codes a control passes to its owner's OnBaseMessage(id, code, wParam, lParam).
// They are plain numbers shared by all controls, not window messages.
namespace Lumo {

constexpr UINT MN_LBUTTONDOWN = 1;
constexpr UINT MN_CLICK = 2;
constexpr UINT MN_DBLCLK = 3;
constexpr UINT MN_RCLICK = 5;
constexpr UINT MN_CHECK = 7;
constexpr UINT MN_POSCHANGED = 8;
constexpr UINT MN_ITEMDOWN = 9;
constexpr UINT MN_KEYDOWN = 14;
constexpr UINT MN_FRAMESELECT = 24;
constexpr UINT MN_TEXTCHANGED = 26;
constexpr UINT MN_COLORCHANGED = 27;
constexpr UINT MN_VALUECHANGED = 28;
constexpr UINT MN_EDITEND = 29;
constexpr UINT MN_EDITBEGIN = 30;
constexpr UINT MN_BUTTONUP = 31;

} // namespace Lumo
