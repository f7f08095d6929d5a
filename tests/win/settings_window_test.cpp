// The settings window's look and keyboard behaviour, on Codelist.exe as its own process.
#include <gtest/gtest.h>

#include "codelist/frm_einstellungen.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int Px(int twips) { return MulDiv(twips, ScreenDpi(), 1440); }

RECT ClientRectOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

void SetClipboardText(const std::wstring& text) {
    ASSERT_TRUE(WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5s));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

}  // namespace

TEST(SettingsWindow, IsAFixedDialogCentredOnTheScreenWithoutATaskbarButton) {
    FreshModuleFolder();
    SettingsWindow settings;
    HWND window = settings.Window();
    ASSERT_NE(window, nullptr);

    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "not resizable";
    EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    HWND owner = GetWindow(window, GW_OWNER);
    ASSERT_NE(owner, nullptr) << "an owned window gets no taskbar button";
    EXPECT_FALSE(IsWindowVisible(owner));

    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, Px(4680));
    EXPECT_EQ(client.bottom, Px(2745));
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
}

TEST(SettingsWindow, ControlsStandAsLaidOutWithTheirCaptions) {
    FreshModuleFolder();
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    struct Expected {
        int id;
        const wchar_t* className;
        const wchar_t* text;
        int left, top, width, height;  // twips, in the window's client area
    };
    const Expected controls[] = {
        {kFrame1, L"Button", L"Codeliste bearbeiten", 120, 120, 4455, 1335},
        {kLabel2, L"Static", L"Neue Codeliste mit", 255, 480, 1320, 195},
        {kTxtNrOfCodes, L"Edit", L"250", 1680, 420, 615, 285},
        {kLabel3, L"Static", L"Codes erzeugen", 2400, 480, 1155, 195},
        {kCmdCreateCodelist, L"Button", L"Start", 3720, 360, 735, 375},
        {kCmdCreateCodelistText, L"Button", L"Auflistung aller Codes in Textdatei", 240, 840, 2175, 495},
        {kCmdResetCodelist, L"Button", L"Alles Codes freigeben", 2520, 840, 1935, 495},
        {kLabel1, L"Static", L"Jeder Code entspricht einem Kreditwert von:", 120, 1560, 3120, 195},
        {kTxtCreditsPerCode, L"Edit", L"2", 3360, 1530, 495, 285},
        {kLabel4, L"Static", L"Kredit(s)", 3960, 1560, 570, 195},
        {kLabel5, L"Static", L"Mastercode (öffnet Mastermenü):", 120, 1920, 2340, 195},
        {kTxtMasterCode, L"Edit", L"", 3360, 1920, 1215, 285},
        {kCmdSave, L"Button", L"Übernehmen", 3240, 2280, 1335, 375},
    };
    EXPECT_EQ(settings.Controls().size(), std::size(controls));
    for (const Expected& expected : controls) {
        SCOPED_TRACE(std::to_string(expected.id));
        HWND control = settings.Control(expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control), settings.Window());
        EXPECT_EQ(ClassOf(control), expected.className);
        EXPECT_EQ(settings.Text(expected.id), expected.text);
        const RECT place = ClientRectOf(control);
        EXPECT_EQ(place.left, Px(expected.left));
        EXPECT_EQ(place.top, Px(expected.top));
        EXPECT_EQ(place.bottom - place.top, Px(expected.height));
        if (ClassOf(control) == L"Static") {
            EXPECT_GE(place.right - place.left, Px(expected.width)) << "a label is at least as wide as laid out";
        } else {
            EXPECT_EQ(place.right - place.left, Px(expected.width));
        }
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        EXPECT_TRUE(IsWindowVisible(control));
        EXPECT_TRUE(IsWindowEnabled(control));
        if (ClassOf(control) == L"Button" && expected.id != kFrame1) {
            EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON) << "no default button";
        }
    }
    EXPECT_EQ(GetWindowLongW(settings.Control(kFrame1), GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_TRUE(GetWindowLongW(settings.Control(kCmdCreateCodelistText), GWL_STYLE) & BS_MULTILINE);
    // The group box lies beneath the controls inside its rectangle.
    EXPECT_EQ(GetWindow(settings.Control(kFrame1), GW_HWNDNEXT), nullptr);
}

TEST(SettingsWindow, TextBoxesCentreTheirTextAndRefuseCharactersBeyondTheirLimit) {
    FreshModuleFolder();
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    const std::pair<int, std::size_t> boxes[] = {{kTxtNrOfCodes, 4}, {kTxtCreditsPerCode, 2}, {kTxtMasterCode, 5}};
    for (const auto& [id, limit] : boxes) {
        SCOPED_TRACE(std::to_string(id));
        HWND box = settings.Control(id);
        EXPECT_TRUE(GetWindowLongW(box, GWL_STYLE) & ES_CENTER);
        EXPECT_TRUE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(static_cast<std::size_t>(SendMessageW(box, EM_GETLIMITTEXT, 0, 0)), limit);

        settings.SetText(id, L"");
        for (wchar_t c : std::wstring(L"a,9x7.-5")) SendMessageW(box, WM_CHAR, c, 0);
        EXPECT_EQ(settings.Text(id), std::wstring(L"a,9x7.-5").substr(0, limit)) << "typed";

        settings.SetText(id, L"");
        SetClipboardText(L"98765432");
        SendMessageW(box, WM_PASTE, 0, 0);
        EXPECT_EQ(settings.Text(id), std::wstring(L"98765432").substr(0, limit)) << "pasted";
    }
}

TEST(SettingsWindow, TabRunsThroughTheSevenControlsFromTheCountBox) {
    FreshModuleFolder();
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(settings.Window()) == settings.Control(kTxtNrOfCodes); }, 10s))
        << "the focus starts in the count box";
    const int order[] = {kCmdCreateCodelist, kCmdCreateCodelistText, kCmdResetCodelist, kTxtCreditsPerCode,
                         kTxtMasterCode,     kCmdSave,               kTxtNrOfCodes};
    for (int next : order) {
        PostMessageW(FocusOf(settings.Window()), WM_KEYDOWN, VK_TAB, 0);
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(settings.Window()) == settings.Control(next); }, 5s)) << next;
    }
}

TEST(SettingsWindow, EnterAndEscapeClickNothing) {
    const auto folder = FreshModuleFolder();
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    settings.SetText(kTxtCreditsPerCode, L"7");
    settings.SetText(kTxtMasterCode, L"12345");
    for (int id : {kTxtNrOfCodes, kTxtCreditsPerCode, kTxtMasterCode}) {
        PostMessageW(settings.Control(id), WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(settings.Control(id), WM_KEYDOWN, VK_ESCAPE, 0);
    }
    // Posted messages are handled in order: once the typed mark shows, the keys have been handled.
    settings.SetText(kTxtNrOfCodes, L"");
    PostMessageW(settings.Control(kTxtNrOfCodes), WM_CHAR, L'x', 0);
    ASSERT_TRUE(WaitUntil([&] { return settings.Text(kTxtNrOfCodes) == L"x"; }, 10s));
    EXPECT_FALSE(settings.WaitForMessageBox(0ms).has_value());
    EXPECT_TRUE(IsWindowVisible(settings.Window()));
    EXPECT_FALSE(std::filesystem::exists(folder / "Codelist.ini"));
}

TEST(SettingsWindow, LoadFillsTheSettingsBoxesFromTheCodeList) {
    struct Case {
        const char* file;  // nullptr: no code list
        const wchar_t* credits;
        const wchar_t* masterCode;
    };
    const Case cases[] = {
        {nullptr, L"2", L""},
        {"[Einstellungen]\r\nCreditsPerCode=3.5\r\nMasterCode=00042\r\n", L"4", L"00042"},
        {"[Einstellungen]\r\nCreditsPerCode=-3\r\nMasterCode=\r\n", L"-3", L""},
        {"[Einstellungen]\r\nCreditsPerCode=viele\r\nMasterCode=123456789\r\n", L"0", L"123456789"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file == nullptr ? "no file" : c.file);
        const auto folder = FreshModuleFolder();
        if (c.file != nullptr) WriteBytes(folder / "Codelist.ini", c.file);
        SettingsWindow settings;
        ASSERT_NE(settings.Window(), nullptr);
        EXPECT_EQ(settings.Text(kTxtCreditsPerCode), c.credits);
        EXPECT_EQ(settings.Text(kTxtMasterCode), c.masterCode);
        EXPECT_EQ(settings.Text(kTxtNrOfCodes), L"250");
    }
}
