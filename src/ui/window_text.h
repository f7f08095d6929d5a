#pragma once

#include <windows.h>

#include <string>

namespace codeeingabe {

// The whole text of a window of this process.
std::wstring WindowText(HWND window);

}  // namespace codeeingabe
