// Drives a running Codelist.exe through its windows, as an operator or a guest would, for the
// screenshot command. The program under test is whatever process owns
// the windows: this driver finds them by their texts and controls, never by starting anything.
//
//   package_driver save CREDITS MASTER   settings window: type both settings, "Übernehmen", OK
//   package_driver generate COUNT        settings window: type the count, "Start", expect "Fertig"
//   package_driver keypad DIGITS         code entry window: tap the digits (five hide the window)
//   package_driver rect TEXT             screen rectangle of the visible window TEXT: "x y w h"
//   package_driver close TEXT            close the visible window TEXT and wait until it has gone
//   package_driver gone TEXT             wait until no window TEXT is visible
//
// Exit code 0 when everything happened as expected; otherwise 1 and the reason on stderr.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kSettingsTitle[] = L"Einstellungen - Codelist";
constexpr wchar_t kKeypadTitle[] = L"Creditsystem";
constexpr auto kTimeout = 20s;

[[noreturn]] void Fail(const std::wstring& reason) {
    fwprintf(stderr, L"package_driver: %ls\n", reason.c_str());
    std::exit(1);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kTimeout) {
    const auto end = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

std::wstring TextOf(HWND window) {
    // WM_GETTEXT, not GetWindowText: the latter answers nothing for another process's edit box.
    wchar_t text[512] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND VisibleWindow(const std::wstring& text, const wchar_t* className = nullptr) {
    for (HWND window : TopLevelWindows()) {
        if (!IsWindowVisible(window) || TextOf(window) != text) continue;
        if (className != nullptr && ClassOf(window) != className) continue;
        return window;
    }
    return nullptr;
}

HWND WaitForVisibleWindow(const std::wstring& text, const wchar_t* className = nullptr) {
    HWND found = nullptr;
    if (!WaitUntil([&] { return (found = VisibleWindow(text, className)) != nullptr; })) {
        Fail(L"no visible window \"" + text + L"\"");
    }
    return found;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
    for (HWND child : Children(parent)) {
        if (ClassOf(child) == L"Button" && TextOf(child) == text) return child;
    }
    Fail(L"no button \"" + text + L"\"");
}

// The settings window's text boxes differ by their character limits (4, 2 and 5).
HWND TextBoxWithLimit(HWND parent, LRESULT limit) {
    for (HWND child : Children(parent)) {
        if (ClassOf(child) == L"Edit" && SendMessageW(child, EM_GETLIMITTEXT, 0, 0) == limit) return child;
    }
    Fail(L"no text box that takes " + std::to_wstring(limit) + L" characters");
}

void SetText(HWND box, const std::wstring& text) {
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (TextOf(box) != text) Fail(L"the text box did not take \"" + text + L"\"");
}

// Posted: the click's handler runs until its message box is closed.
void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

// A message box (dialog class) of the program: checks its text, presses OK, waits until it has gone.
void ExpectMessageBox(const std::wstring& title, const std::wstring& text) {
    HWND box = WaitForVisibleWindow(title, L"#32770");
    bool textFound = false;
    for (HWND child : Children(box)) {
        if (ClassOf(child) == L"Static" && TextOf(child) == text) textFound = true;
    }
    if (!textFound) Fail(L"the message box \"" + title + L"\" does not say \"" + text + L"\"");
    HWND ok = GetDlgItem(box, IDOK);
    if (ok == nullptr) Fail(L"the message box \"" + title + L"\" has no OK button");
    Click(ok);
    if (!WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); })) Fail(L"the message box stayed open");
}

void Save(const std::wstring& credits, const std::wstring& master) {
    HWND window = WaitForVisibleWindow(kSettingsTitle);
    SetText(TextBoxWithLimit(window, 2), credits);
    SetText(TextBoxWithLimit(window, 5), master);
    Click(ChildWithText(window, L"\u00dcbernehmen"));
    ExpectMessageBox(L"Einstellungen gesichert", L"Einstellungen wurden gesichert!");
    if (!WaitUntil([&] { return !IsWindow(window); })) Fail(L"the settings window did not close after saving");
}

void Generate(const std::wstring& count) {
    HWND window = WaitForVisibleWindow(kSettingsTitle);
    SetText(TextBoxWithLimit(window, 4), count);
    HWND start = ChildWithText(window, L"Start");
    Click(start);
    ExpectMessageBox(L"Fertig", L"Codeliste wurde erstellt");
    // The window stays busy until its box is closed; then its buttons take clicks again.
    if (!WaitUntil([&] { return IsWindowEnabled(start) != FALSE; })) Fail(L"the settings window stayed busy");
}

void Keypad(const std::wstring& digits) {
    HWND window = WaitForVisibleWindow(kKeypadTitle);
    for (wchar_t digit : digits) {
        HWND key = ChildWithText(window, std::wstring(1, digit));
        // Sent, one key after the other, so that each digit is in before the next one.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(key, BM_CLICK, 0, 0, SMTO_NORMAL, 100, &ignored);
        std::this_thread::sleep_for(100ms);
    }
    if (digits.size() == 5 && !WaitUntil([&] { return !IsWindowVisible(window); })) {
        Fail(L"the code entry window stayed open after five digits");
    }
}

void Rect(const std::wstring& text) {
    HWND window = WaitForVisibleWindow(text);
    RECT rect{};
    GetWindowRect(window, &rect);
    wprintf(L"%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void Close(const std::wstring& text) {
    HWND window = WaitForVisibleWindow(text);
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!WaitUntil([&] { return !IsWindow(window); })) Fail(L"\"" + text + L"\" did not close");
}

void Gone(const std::wstring& text) {
    if (!WaitUntil([&] { return VisibleWindow(text) == nullptr; })) Fail(L"\"" + text + L"\" stayed visible");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == L"save") {
        Save(args[1], args[2]);
    } else if (args.size() == 2 && args[0] == L"generate") {
        Generate(args[1]);
    } else if (args.size() == 2 && args[0] == L"keypad") {
        Keypad(args[1]);
    } else if (args.size() == 2 && args[0] == L"rect") {
        Rect(args[1]);
    } else if (args.size() == 2 && args[0] == L"close") {
        Close(args[1]);
    } else if (args.size() == 2 && args[0] == L"gone") {
        Gone(args[1]);
    } else {
        Fail(
            L"usage: package_driver save CREDITS MASTER | generate COUNT | keypad DIGITS | rect TEXT | close TEXT | gone TEXT");
    }
    return 0;
}
