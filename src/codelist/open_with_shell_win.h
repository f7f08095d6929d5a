#pragma once

#include <windows.h>

#include <functional>

#include "platform/file_path.h"

namespace codeeingabe {

// Has the shell open the file with its program for the "Open" verb, by the file's short path,
// owned by the window. Returns at once; failures are not reported, as the file is written by then.
void OpenWithShell(HWND owner, const FilePath& file);

// How a window opens a file it wrote: OpenWithShell, or in tests a recorder that starts no program.
using OpenFunction = std::function<void(HWND owner, const FilePath& file)>;

}  // namespace codeeingabe
