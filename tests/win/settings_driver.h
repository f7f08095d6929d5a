#pragma once

#include <optional>

#include "../unit/test_files.h"
#include "wine_test_support.h"

namespace codeeingabe::test {

using namespace std::chrono_literals;

// A message box as the operator sees it. The icon is read from the screen and named by the style
// value that shows it: 16 stop, 48 exclamation, 64 information; 0 for none of them.
struct MessageBoxView {
    HWND window = nullptr;
    std::wstring title, text;
    int iconStyle = 0;
    std::vector<std::wstring> buttons;
};

// Clicks OK of the box and waits until it has gone.
bool DismissMessageBox(const MessageBoxView& box);
void ExpectMessage(const std::optional<MessageBoxView>& box, const std::wstring& text, const std::wstring& title, int style);

// Codelist.exe in settings mode, driven through its controls as the operator would.
class SettingsWindow {
public:
    ~SettingsWindow();
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    ModuleProcess& Process() { return process_; }
    void SetText(int id, const std::wstring& text) const;
    // Posted, as the click's handler runs until its message box is closed.
    void Click(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }
    // The first visible message box of the process, or nullopt after the timeout.
    std::optional<MessageBoxView> WaitForMessageBox(std::chrono::milliseconds timeout = 30s) const;
    // Whether every control is enabled (true) or every one disabled (false).
    bool AllControlsEnabled(bool enabled) const;

private:
    ModuleProcess process_{L""};
    HWND window_ = process_.WaitForVisibleWindow(L"Einstellungen - Codelist", 20s);
};

// Files of the module folder, byte for byte.
// A code list file as the program writes it, with the given codes and states.
std::string CodeListBytes(const std::string& credits, const std::string& masterCode,
                          const std::vector<std::pair<std::string, std::string>>& codes);
// n different codes, spread over the whole range, the first ones with leading zeros.
std::vector<std::string> SampleCodes(int n);

// Ends the text viewers that the program started through the shell (ended, not closed, as loading a
// long list takes the viewer minutes). False when none started. Only the prefix's viewer counts: the
// desktop process is the child of whichever program first opened a window.
bool CloseViewerOf(DWORD programProcessId, std::chrono::milliseconds timeout);

}  // namespace codeeingabe::test
