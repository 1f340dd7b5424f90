#pragma once
#include "lumo/Types.h"

#include <string>
#include <vector>

// Files dropped on a window, waiting for its WM_DROPFILES: the desktop hands them over on
// the event thread, the window takes them when it handles the message.
namespace Lumo::DroppedFiles {

void Push(HWND window, std::wstring path);
// Every file waiting for the window, oldest first; the queue is then empty.
std::vector<std::wstring> Take(HWND window);

} // namespace Lumo::DroppedFiles
