#include "platform/special_folder.h"

#include <windows.h>
#include <shlobj.h>

namespace codeeingabe {

FilePath GetSpecialFolder(int folderId) {
    PIDLIST_ABSOLUTE items = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, folderId, &items) != S_OK || items == nullptr) return {};
    // The wide form: a user name outside the ANSI code page still gives a usable path.
    wchar_t path[MAX_PATH] = {};
    const BOOL found = SHGetPathFromIDListW(items, path);
    CoTaskMemFree(items);
    return found ? FilePath(path) : FilePath();
}

FilePath FindModuleFolder() { return GetSpecialFolder(CSIDL_APPDATA) + L"\\Tremolan 6" + L"\\Module"; }

}  // namespace codeeingabe
