#include "settings_driver.h"

#include <gtest/gtest.h>


#include <tlhelp32.h>  // after <windows.h>

namespace codeeingabe::test {
namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The style value whose icon the box shows: each icon drawn by this process on the box's
// background, compared with the screen. An icon handle of another process cannot be read.
int MatchingIconStyle(HWND iconStatic) {
    RECT rect{};
    GetWindowRect(iconStatic, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return 0;
    ScreenDc screen;
    UniqueMemoryDc shown(CreateCompatibleDC(screen.get())), drawn(CreateCompatibleDC(screen.get()));
    UniqueBitmap shownBitmap(CreateCompatibleBitmap(screen.get(), width, height));
    UniqueBitmap drawnBitmap(CreateCompatibleBitmap(screen.get(), width, height));
    SelectGuard shownSelected(shown.get(), shownBitmap.get()), drawnSelected(drawn.get(), drawnBitmap.get());
    BitBlt(shown.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    const RECT all{0, 0, width, height};
    const UniqueBrush background(CreateSolidBrush(GetPixel(shown.get(), 0, 0)));
    for (const auto& [style, icon] : {std::pair{16, IDI_HAND}, {48, IDI_EXCLAMATION}, {64, IDI_ASTERISK}}) {
        FillRect(drawn.get(), &all, background.get());
        DrawIcon(drawn.get(), 0, 0, LoadIconW(nullptr, icon));
        bool same = true;
        for (int i = 0; same && i < width * height; ++i) {
            same = GetPixel(shown.get(), i % width, i / width) == GetPixel(drawn.get(), i % width, i / width);
        }
        if (same) return style;
    }
    return 0;
}

FILETIME Created(HANDLE process) {
    FILETIME times[4] = {};
    GetProcessTimes(process, &times[0], &times[1], &times[2], &times[3]);
    return times[0];
}

}  // namespace

std::optional<MessageBoxView> SettingsWindow::WaitForMessageBox(std::chrono::milliseconds timeout) const {
    HWND box = nullptr;
    const auto shown = [&] {
        DWORD owner = 0;
        while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
            if (GetWindowThreadProcessId(box, &owner) && owner == process_.ProcessId() && IsWindowVisible(box)) return true;
        }
        return false;
    };
    if (!WaitUntil(shown, timeout)) return std::nullopt;
    MessageBoxView view{box, TextOf(box), L"", 0, {}};
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Button") view.buttons.push_back(TextOf(child));
        if (ClassOf(child) == L"Static" && GetDlgCtrlID(child) == 0xFFFF) view.text = TextOf(child);
        // Read once the icon has been painted.
        if (ClassOf(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            WaitUntil([&] { return (view.iconStyle = MatchingIconStyle(child)) != 0; }, 5s);
        }
    }
    return view;
}

bool DismissMessageBox(const MessageBoxView& box) {
    PostMessageW(box.window, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, 10s);
}

void ExpectMessage(const std::optional<MessageBoxView>& box, const std::wstring& text, const std::wstring& title,
                   int style) {
    ASSERT_TRUE(box.has_value()) << "no message box";
    EXPECT_EQ(std::vector<std::wstring>({box->text, box->title, std::to_wstring(box->iconStyle)}),
              std::vector<std::wstring>({text, title, std::to_wstring(style)}));
    EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
}

SettingsWindow::~SettingsWindow() {
    // Close what the test left open, then the window; the process ends with its last window.
    for (auto box = WaitForMessageBox(0ms); box && DismissMessageBox(*box);) box = WaitForMessageBox(0ms);
    if (IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
    process_.WaitForExit(10s);
}

void SettingsWindow::SetText(int id, const std::wstring& text) const {
    DWORD_PTR ignored = 0;
    const LPARAM value = reinterpret_cast<LPARAM>(text.c_str());
    EXPECT_TRUE(SendMessageTimeoutW(Control(id), WM_SETTEXT, 0, value, SMTO_NORMAL, kAnswerMs, &ignored))
        << "the settings window did not answer within " << kAnswerMs << " ms";
}

bool SettingsWindow::AllControlsEnabled(bool enabled) const {
    int controls = 0, matching = 0;
    for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT), ++controls) {
        matching += (IsWindowEnabled(child) != FALSE) == enabled;
    }
    return controls > 0 && matching == controls;
}

std::string CodeListBytes(const std::string& credits, const std::string& masterCode,
                          const std::vector<std::pair<std::string, std::string>>& codes) {
    std::string bytes =
        "[Einstellungen]\r\nCreditsPerCode=" + credits + "\r\nMasterCode=" + masterCode + "\r\n\r\n[Codes]\r\n";
    for (const auto& [code, state] : codes) bytes += code + "=" + state + "\r\n";
    return bytes;
}

std::vector<std::string> SampleCodes(int n) {
    std::vector<std::string> codes;
    // 7919 is prime to 100000, so the codes never repeat.
    for (int i = 0; i < n; ++i) codes.push_back(std::to_string(100000 + (i * 7919 + 3) % 100000).substr(1));
    return codes;
}

// The viewer is known by its parent, not by its window: a process older than the program only
// names the program's id as its parent because ids are reused.
bool CloseViewerOf(DWORD programProcessId, std::chrono::milliseconds timeout) {
    const UniqueHandle program(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, programProcessId));
    const FILETIME programStart = Created(program.get());
    bool ended = false;
    WaitUntil(
        [&] {
            const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
            PROCESSENTRY32W entry{sizeof entry, 0, 0, 0, 0, 0, 0, 0, 0, {}};
            for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
                if (entry.th32ParentProcessID != programProcessId || _wcsicmp(entry.szExeFile, L"notepad.exe") != 0)
                    continue;
                const UniqueHandle viewer(OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE,
                                                      FALSE, entry.th32ProcessID));
                const FILETIME viewerStart = Created(viewer.get());
                if (program && CompareFileTime(&viewerStart, &programStart) >= 0 && TerminateProcess(viewer.get(), 1)) {
                    ended = WaitForSingleObject(viewer.get(), 10000) == WAIT_OBJECT_0 || ended;
                }
            }
            return ended;
        },
        timeout);
    return ended;
}

}  // namespace codeeingabe::test
