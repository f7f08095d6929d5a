#include "codelist/open_with_shell_win.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>

namespace codeeingabe {
namespace {

// The shell may hand the verb to extensions that need COM on the calling thread.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

}  // namespace

void OpenWithShell(HWND owner, const FilePath& file) {
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(file.c_str(), shortPath, MAX_PATH);
    // A volume without short names gives none: the full path serves then.
    const std::wstring name = length > 0 && length < MAX_PATH ? std::wstring(shortPath, length) : file;
    ComApartment apartment;
    ShellExecuteW(owner, L"Open", name.c_str(), L"", L"", SW_SHOWNORMAL);
}

}  // namespace codeeingabe
