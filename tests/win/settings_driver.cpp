#include "settings_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include <tlhelp32.h>  // after <windows.h>

namespace codeeingabe::test {
namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

// The colours of an area of width x height as draw leaves them in a bitmap like the screen's.
std::vector<DWORD> Pixels(int width, int height, const std::function<void(HDC)>& draw) {
    ScreenDc screen;
    UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    {
        SelectGuard selected(memory.get(), bitmap.get());
        draw(memory.get());
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(static_cast<std::size_t>(width * height));
    GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// The style value whose icon the box shows: each icon drawn by this process on the box's
// background, compared with the screen. An icon handle of another process cannot be read.
int MatchingIconStyle(HWND iconStatic) {
    RECT rect{};
    GetWindowRect(iconStatic, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return 0;
    const std::vector<DWORD> shown = Pixels(
        width, height, [&](HDC dc) { BitBlt(dc, 0, 0, width, height, ScreenDc().get(), rect.left, rect.top, SRCCOPY); });
    const DWORD background = shown.front();
    for (const auto& [style, icon] : {std::pair{16, IDI_HAND}, {48, IDI_EXCLAMATION}, {64, IDI_ASTERISK}}) {
        const auto drawn = Pixels(width, height, [&](HDC dc) {
            const RECT all{0, 0, width, height};
            FillRect(dc, &all,
                     UniqueBrush(CreateSolidBrush(RGB(GetBValue(background), GetGValue(background), GetRValue(background))))
                         .get());
            DrawIcon(dc, 0, 0, LoadIconW(nullptr, icon));
        });
        if (drawn == shown) return style;
    }
    return 0;
}

// The first visible top-level window that the test accepts.
HWND FindTopLevel(const std::function<bool(HWND)>& accepted) {
    std::pair<const std::function<bool(HWND)>*, HWND> search{&accepted, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) {
            auto* found = reinterpret_cast<decltype(search)*>(parameter);
            if (!IsWindowVisible(window) || !(*found->first)(window)) return TRUE;
            found->second = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

ULONGLONG Created(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

std::optional<MessageBoxView> WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    const auto isBox = [&](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == processId && ClassOf(window) == L"#32770";
    };
    if (!WaitUntil([&] { return (found = FindTopLevel(isBox)) != nullptr; }, timeout)) return std::nullopt;
    MessageBoxView box{found, TextOf(found), L"", 0, {}};
    for (HWND child : ChildrenOf(found)) {
        const bool isStatic = ClassOf(child) == L"Static";
        if (ClassOf(child) == L"Button") box.buttons.push_back(TextOf(child));
        if (isStatic && GetDlgCtrlID(child) == 0xFFFF) box.text = TextOf(child);
        // Read once the icon has been painted.
        if (isStatic && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            WaitUntil([&] { return (box.iconStyle = MatchingIconStyle(child)) != 0; }, 5s);
        }
    }
    return box;
}

bool DismissMessageBox(const MessageBoxView& box) {
    PostMessageW(box.window, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, 10s);
}

void ExpectMessage(const std::optional<MessageBoxView>& box, const std::wstring& text, const std::wstring& title,
                   int style) {
    ASSERT_TRUE(box.has_value()) << "no message box";
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(box->title, title);
    EXPECT_EQ(box->iconStyle, style);
    EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
}

SettingsWindow::SettingsWindow() : process_(L"") { window_ = process_.WaitForWindow(L"Einstellungen - Codelist", 20s); }

SettingsWindow::~SettingsWindow() {
    if (!process_.Started()) return;
    // Close what the test left open, then the window; the process ends with its last window.
    while (auto box = codeeingabe::test::WaitForMessageBox(process_.ProcessId(), 0ms)) {
        if (!DismissMessageBox(*box)) break;
    }
    if (IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
    process_.WaitForExit(10s);
}

void SettingsWindow::SetText(int id, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    EXPECT_NE(SendMessageTimeoutW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, kAnswerMs,
                                  &ignored),
              0)
        << "the settings window did not answer within " << kAnswerMs << " ms";
}

void SettingsWindow::Click(int id) { PostMessageW(Control(id), BM_CLICK, 0, 0); }

std::optional<MessageBoxView> SettingsWindow::WaitForMessageBox(std::chrono::milliseconds timeout) {
    return codeeingabe::test::WaitForMessageBox(process_.ProcessId(), timeout);
}

bool SettingsWindow::AllControlsEnabled(bool enabled) const {
    const auto controls = ChildrenOf(window_);
    return !controls.empty() && std::all_of(controls.begin(), controls.end(),
                                            [&](HWND control) { return (IsWindowEnabled(control) != FALSE) == enabled; });
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
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
    for (int i = 0; i < n; ++i) {
        char code[8];
        // 7919 is prime to 100000, so the codes never repeat.
        std::snprintf(code, sizeof code, "%05d", (i * 7919 + 3) % 100000);
        codes.emplace_back(code);
    }
    return codes;
}

// The viewer is known by its parent, not by its window: a process older than the program only
// names the program's id as its parent because ids are reused.
bool CloseViewerOf(DWORD programProcessId, std::chrono::milliseconds timeout) {
    UniqueHandle program(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, programProcessId));
    bool ended = false;
    WaitUntil(
        [&] {
            UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
            PROCESSENTRY32W entry{};
            entry.dwSize = sizeof entry;
            for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
                UniqueHandle child(OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                               entry.th32ProcessID));
                if (entry.th32ParentProcessID != programProcessId || _wcsicmp(entry.szExeFile, L"notepad.exe") != 0 ||
                    !child || !program || Created(child.get()) < Created(program.get())) {
                    continue;
                }
                TerminateProcess(child.get(), 1);
                ended = WaitForSingleObject(child.get(), 10000) == WAIT_OBJECT_0 || ended;
            }
            return ended;
        },
        timeout);
    return ended;
}

}  // namespace codeeingabe::test
