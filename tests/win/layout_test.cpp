// The guest windows as the layout tables give them at 96 dpi: sizes, control rectangles, and the
// colours a screenshot shows at a few points.
#include <gtest/gtest.h>

#include "host_test_support.h"

using namespace codeeingabe::test;

namespace {

constexpr COLORREF kDarkRed = RGB(192, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct Box {
    int left, top, width, height;
};

void ExpectRect(HWND child, Box expected, const char* what) {
    ASSERT_NE(child, nullptr) << what;
    const RECT rect = ChildRect(child);
    EXPECT_EQ(rect.left, expected.left) << what;
    EXPECT_EQ(rect.top, expected.top) << what;
    EXPECT_EQ(rect.right - rect.left, expected.width) << what;
    EXPECT_EQ(rect.bottom - rect.top, expected.height) << what;
}

// Borderless, no taskbar button of its own (owned), centred, with the given client size.
void ExpectGuestWindow(HWND window, int width, int height) {
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_NE(style & WS_POPUP, 0);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_BORDER), 0);
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_NE(GetWindow(window, GW_OWNER), nullptr);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
    RECT place{};
    GetWindowRect(window, &place);
    EXPECT_EQ(place.right - place.left, width) << "no frame";
    EXPECT_EQ(place.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(place.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
}

// Waits for the window to have painted the colour at a client point.
void ExpectColour(HWND window, int x, int y, COLORREF expected) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    COLORREF seen = CLR_INVALID;
    EXPECT_TRUE(WaitUntil([&] { return (seen = ScreenPixel(point.x, point.y)) == expected; }, std::chrono::seconds(5)))
        << "at " << x << "," << y << ": " << std::hex << seen << " instead of " << expected;
}

int CountColour(HWND window, const RECT& box, COLORREF colour) {
    int count = 0;
    for (int y = box.top; y < box.bottom; y += 1) {
        for (int x = box.left; x < box.right; x += 1) {
            POINT point{x, y};
            ClientToScreen(window, &point);
            if (ScreenPixel(point.x, point.y) == colour) ++count;
        }
    }
    return count;
}

TEST(Layout, CodeEntryWindow) {
    HostSession session;
    session.WriteCodeList("2", "", {});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    HWND keypad = session.Keypad();
    ExpectGuestWindow(keypad, 263, 464);

    const Box keys[10] = {{16, 384, 73, 65},  {15, 168, 73, 65},  {95, 167, 73, 65},  {176, 168, 73, 65},
                          {16, 240, 73, 65},  {96, 240, 73, 65},  {176, 240, 73, 65}, {16, 312, 73, 65},
                          {96, 312, 73, 65},  {176, 312, 73, 65}};
    for (int digit = 0; digit < 10; ++digit) {
        const wchar_t caption[2] = {static_cast<wchar_t>(L'0' + digit), L'\0'};
        HWND key = Child(keypad, L"Button", caption);
        ExpectRect(key, keys[digit], "key");
        EXPECT_EQ(GetWindowLongW(key, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    }
    ExpectRect(Child(keypad, L"Button", L"Abbruch"), {96, 384, 153, 65}, "cmdAbbruch");
    HWND appComm = Child(keypad, L"Edit", nullptr);
    ExpectRect(appComm, {216, 48, 41, 21}, "AppComm");
    EXPECT_FALSE(IsWindowVisible(appComm));
    EXPECT_EQ(GetWindowLongW(appComm, GWL_STYLE) & ES_MULTILINE, 0);
    ExpectRect(Child(keypad, L"Static", nullptr), {23, 83, 217, 49}, "lblCode");

    ExpectColour(keypad, 3, 3, kDarkRed);
    ExpectColour(keypad, 5, 460, kDarkRed);
    ExpectColour(keypad, 100, 100, RGB(0, 0, 0));  // the empty code display
    ExpectColour(keypad, 21, 174, kYellow);        // the face of key 1
    ExpectColour(keypad, 102, 390, RGB(255, 128, 0));
    EXPECT_GT(CountColour(keypad, RECT{49, 9, 212, 50}, kWhite), 50) << "\"Cashcode\"";
    EXPECT_GT(CountColour(keypad, RECT{26, 135, 238, 159}, kYellow), 50) << "\"Bitte Code eingeben!\"";
    EXPECT_GT(CountColour(keypad, RECT{233, 7, 255, 23}, kWhite), 5) << "\"ECC\"";
    session.Send("AppClose");
    EXPECT_TRUE(session.Module().WaitForExit(kTimeout));
}

TEST(Layout, MasterWindow) {
    HostSession session;
    session.WriteCodeList("2", "99999", {{"12345", "UNUSED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("99999");
    HWND master = session.Module().WaitForVisibleWindow(L"Form1");
    ASSERT_NE(master, nullptr);
    ExpectGuestWindow(master, 407, 248);
    ExpectRect(Child(master, L"Button", L"Alle Codes freigeben"), {56, 144, 297, 97}, "cmdSetCodesFree");
    ExpectRect(Child(master, L"Static", nullptr), {329, 88, 54, 37}, "lblCodesLeft");

    const COLORREF blue = RGB(0, 0, 192);
    ExpectColour(master, 5, 35, blue);       // the band
    ExpectColour(master, 282, 42, blue);     // the oval reaches below the band
    ExpectColour(master, 264, 42, kDarkRed); // but is round
    ExpectColour(master, 306, 21, kDarkRed); // and ends before the close glyph
    ExpectColour(master, 62, 150, kYellow);
    ExpectColour(master, 5, 240, kDarkRed);
    EXPECT_GT(CountColour(master, RECT{360, 0, 407, 48}, kWhite), 20) << "the close glyph";
    EXPECT_GT(CountColour(master, RECT{0, 0, 305, 41}, kWhite), 100) << "the title over the band";
    session.Send("AppClose");
    EXPECT_TRUE(session.Module().WaitForExit(kTimeout));
}

TEST(Layout, InfoWindowIsThePictureAndNothingElse) {
    HostSession session;
    session.WriteCodeList("2", "", {});
    session.StartModule();
    for (const char* wrong : {"11111", "22222"}) {
        ASSERT_TRUE(session.OpenKeypad());
        session.TypeDigits(wrong);
    }
    HWND info = session.Module().WaitForVisibleWindow(L"Info");
    ASSERT_NE(info, nullptr);
    ExpectGuestWindow(info, 640, 480);
    // Colours of the picture's own pixels (src/ui/res/lock_notice.png).
    ExpectColour(info, 320, 240, RGB(239, 227, 198));
    ExpectColour(info, 320, 20, RGB(176, 34, 0));
    ExpectColour(info, 100, 400, RGB(68, 14, 7));
    ExpectColour(info, 10, 10, RGB(6, 1, 2));
    session.Send("AppClose");
    EXPECT_TRUE(session.Module().WaitForExit(kTimeout));
}

}  // namespace
