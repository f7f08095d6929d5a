#include "settings_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "codelist/frm_einstellungen.h"

namespace codeeingabe::test {
namespace {

const std::wstring kSettingsTitle = L"Einstellungen - Codelist";

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// WM_GETTEXT works across processes, for edit controls too.
std::wstring TextOf(HWND window) {
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::vector<DWORD> Pixels(HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width * height));
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// The icon of each style, drawn by this process on the background the box shows, and compared
// with the box's pixels on the screen. An icon handle of another process cannot be read.
int MatchingIconStyle(HWND iconStatic) {
    RECT rect{};
    GetWindowRect(iconStatic, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return 0;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP shot = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    const std::vector<DWORD> shown = Pixels(memory, shot, width, height);

    int style = 0;
    const std::pair<int, LPCWSTR> candidates[] = {{16, IDI_HAND}, {48, IDI_EXCLAMATION}, {64, IDI_ASTERISK}};
    for (const auto& [candidateStyle, iconName] : candidates) {
        HBITMAP drawn = CreateCompatibleBitmap(screen, width, height);
        previous = SelectObject(memory, drawn);
        const DWORD background = shown.front();
        HBRUSH brush = CreateSolidBrush(RGB(GetBValue(background), GetGValue(background), GetRValue(background)));
        RECT all{0, 0, width, height};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        DrawIcon(memory, 0, 0, LoadIconW(nullptr, iconName));
        SelectObject(memory, previous);
        if (Pixels(memory, drawn, width, height) == shown) style = candidateStyle;
        DeleteObject(drawn);
    }
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return style;
}

struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<BoxSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || ClassOf(window) != L"#32770") return TRUE;
    search->found = window;
    return FALSE;
}

// The style value whose icon the static shows, once it has been painted; 0 when none matches
// within the time.
int ShownIconStyle(HWND iconStatic, std::chrono::milliseconds timeout) {
    int style = 0;
    WaitUntil([&] { return (style = MatchingIconStyle(iconStatic)) != 0; }, timeout);
    return style;
}

}  // namespace

std::optional<MessageBoxView> WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout) {
    BoxSearch search{processId, nullptr};
    const auto found = [&] {
        EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    };
    if (!WaitUntil(found, timeout)) {
        return std::nullopt;
    }
    MessageBoxView box;
    box.window = search.found;
    box.title = TextOf(search.found);
    for (HWND child : ChildrenOf(search.found)) {
        const std::wstring kind = ClassOf(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (kind == L"Button") {
            box.buttons.push_back(TextOf(child));
        } else if (kind == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
            box.iconStyle = ShownIconStyle(child, 5s);
        } else if (kind == L"Static" && GetDlgCtrlID(child) == 0xFFFF) {
            box.text = TextOf(child);
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

SettingsWindow::SettingsWindow() : process_(L"") {
    window_ = process_.WaitForWindow(kSettingsTitle, 20s);
}

SettingsWindow::~SettingsWindow() {
    if (!process_.Started()) return;
    // Close what the test left open, then the window; the process ends with its last window.
    while (auto box = codeeingabe::test::WaitForMessageBox(process_.ProcessId(), 0ms)) {
        if (!DismissMessageBox(*box)) break;
    }
    if (IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
    process_.WaitForExit(10s);
}

std::wstring SettingsWindow::Text(int id) const { return TextOf(Control(id)); }

void SettingsWindow::SetText(int id, const std::wstring& text) {
    SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SettingsWindow::Click(int id) { PostMessageW(Control(id), BM_CLICK, 0, 0); }

std::optional<MessageBoxView> SettingsWindow::WaitForMessageBox(std::chrono::milliseconds timeout) {
    return codeeingabe::test::WaitForMessageBox(process_.ProcessId(), timeout);
}

void SettingsWindow::ClickAndExpectMessage(int id, const std::wstring& text, const std::wstring& title, int style) {
    Click(id);
    const auto box = WaitForMessageBox();
    ExpectMessage(box, text, title, style);
    if (box) {
        EXPECT_TRUE(DismissMessageBox(*box));
    }
}

std::vector<HWND> SettingsWindow::Controls() const { return ChildrenOf(window_); }

bool SettingsWindow::AllControlsEnabled(bool enabled) const {
    const auto controls = Controls();
    return !controls.empty() && std::all_of(controls.begin(), controls.end(), [&](HWND control) {
        return (IsWindowEnabled(control) != FALSE) == enabled;
    });
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
    std::string bytes = "[Einstellungen]\r\nCreditsPerCode=" + credits + "\r\nMasterCode=" + masterCode + "\r\n\r\n[Codes]\r\n";
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

UnwritableFile::UnwritableFile(const std::filesystem::path& file) : file_(file) {
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) handle_.reset(handle);
}

UnwritableFile::~UnwritableFile() {
    handle_.reset();
    SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

namespace {

struct ViewerSearch {
    std::wstring fileName;
    DWORD programProcessId;
    HWND found;
};

BOOL CALLBACK FindViewer(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ViewerSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->programProcessId || owner == GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    std::wstring title = TextOf(window);
    CharLowerBuffW(title.data(), static_cast<DWORD>(title.size()));
    if (title.find(search->fileName) == std::wstring::npos) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

bool CloseViewerOf(const std::wstring& fileName, DWORD programProcessId, std::chrono::milliseconds timeout) {
    ViewerSearch search{fileName, programProcessId, nullptr};
    CharLowerBuffW(search.fileName.data(), static_cast<DWORD>(search.fileName.size()));
    const auto found = [&] {
        EnumWindows(&FindViewer, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    };
    if (!WaitUntil(found, timeout)) {
        return false;
    }
    DWORD viewerProcessId = 0;
    GetWindowThreadProcessId(search.found, &viewerProcessId);
    UniqueHandle viewer(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, viewerProcessId));
    PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (viewer && WaitForSingleObject(viewer.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(viewer.get(), 1);
        return false;
    }
    return true;
}

}  // namespace codeeingabe::test
