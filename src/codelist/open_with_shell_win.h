#pragma once

#include <windows.h>

#include "platform/file_path.h"

namespace codeeingabe {

// Has the shell open the file with its program for the "Open" verb, by the file's short path,
// owned by the window. Returns at once; failures are not reported, as the file is written by then.
void OpenWithShell(HWND owner, const FilePath& file);

}  // namespace codeeingabe
