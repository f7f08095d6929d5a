#pragma once

#include <windows.h>

#include <filesystem>

namespace codeeingabe {

// Has the shell open the file with its program for the "Open" verb, by the file's short path,
// owned by the window. Returns at once; failures are not reported, as the file is written by then.
void OpenWithShell(HWND owner, const std::filesystem::path& file);

}  // namespace codeeingabe
