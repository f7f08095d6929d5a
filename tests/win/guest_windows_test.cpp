// The four windows on the test display at 96, 120 and 144 dpi: places, rectangles, colours and where
// the texts' ink lies (a fallback to another face or size moves it), and real mouse input.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "fault_support.h"
#include "host_test_support.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

constexpr COLORREF kDarkRed = RGB(192, 0, 0), kYellow = RGB(255, 255, 0), kWhite = RGB(255, 255, 255), kBlack = 0;

// At 96 dpi, in client pixels. A window's own box is its offset from the screen's centre and its client size.
// clang-format off
using Box = std::array<int, 4>;  // left, top, width, height
struct Spot { int x, y; COLORREF colour; };
struct Part { const wchar_t* className; const wchar_t* text; Box box; };  // no class: the window itself
struct Ink { Box area; COLORREF colour; Box box; };  // the smallest box around the area's pixels of the colour
struct Look { bool framed; std::vector<Spot> spots; std::vector<Part> parts; std::vector<Ink> inks; };

const Look kKeypad{false,
    {{3, 3, kDarkRed}, {5, 460, kDarkRed}, {100, 100, kBlack}, {21, 174, kYellow}, {21, 390, kYellow}, {102, 390, RGB(255, 128, 0)}},
    {{nullptr, nullptr, {0, 0, 263, 464}}, {L"Static", nullptr, {23, 83, 217, 49}}, {L"Button", L"Abbruch", {96, 384, 153, 65}},
     {L"Button", L"0", {16, 384, 73, 65}}, {L"Button", L"1", {15, 168, 73, 65}}, {L"Button", L"2", {95, 167, 73, 65}},
     {L"Button", L"3", {176, 168, 73, 65}}, {L"Button", L"4", {16, 240, 73, 65}}, {L"Button", L"5", {96, 240, 73, 65}},
     {L"Button", L"6", {176, 240, 73, 65}}, {L"Button", L"7", {16, 312, 73, 65}}, {L"Button", L"8", {96, 312, 73, 65}},
     {L"Button", L"9", {176, 312, 73, 65}}},
    {{{49, 9, 163, 41}, kWhite, {51, 16, 161, 25}}, {{26, 135, 212, 24}, kYellow, {27, 139, 209, 19}},
     {{233, 7, 22, 16}, kWhite, {233, 9, 20, 8}}, {{16, 384, 73, 65}, kBlack, {41, 400, 22, 33}},
     {{96, 384, 153, 65}, kBlack, {107, 404, 129, 23}}}};
// The band, and the oval that reaches below it but is round and ends before the close glyph.
const Look kMaster{false,
    {{5, 35, RGB(0, 0, 192)}, {282, 42, RGB(0, 0, 192)}, {264, 42, kDarkRed}, {306, 21, kDarkRed}, {5, 240, kDarkRed}, {62, 150, kYellow}},
    {{nullptr, nullptr, {0, 0, 407, 248}}, {L"Button", L"Alle Codes freigeben", {56, 144, 297, 97}}, {L"Static", nullptr, {329, 88, 54, 37}}},
    {{{0, 0, 305, 41}, kWhite, {20, 6, 263, 23}}, {{360, 0, 47, 48}, kWhite, {369, 9, 30, 30}},
     {{56, 144, 297, 97}, kBlack, {128, 162, 152, 66}}}};
// The picture's own pixels (src/ui/res/lock_notice.png); its middle first, as only it is looked at in every scale.
const Look kLockNotice{false,
    {{320, 240, RGB(239, 227, 198)}, {320, 20, RGB(176, 34, 0)}, {100, 400, RGB(68, 14, 7)}, {10, 10, RGB(6, 1, 2)}},
    {{nullptr, nullptr, {0, 0, 640, 480}}}, {}};
// Inks inside the black frame that a default or focused push button draws.
const Look kSettings{true, {{3, 3, RGB(245, 245, 245)}},
    {{nullptr, nullptr, {0, 0, 312, 183}}, {L"Button", L"Start", {248, 24, 49, 25}}, {L"Button", L"Alles Codes freigeben", {168, 56, 129, 33}},
     {L"Button", L"Auflistung aller Codes in Textdatei", {16, 56, 145, 33}}, {L"Button", L"\u00dcbernehmen", {216, 152, 89, 25}},
     {L"Button", L"Codeliste bearbeiten", {8, 8, 297, 89}}, {L"Static", L"Kredit(s)", {264, 104, 38, 13}}},
    {{{251, 27, 43, 19}, kBlack, {262, 32, 21, 9}}, {{19, 59, 139, 27}, kBlack, {37, 61, 101, 22}}, {{171, 59, 123, 27}, kBlack, {181, 68, 102, 11}},
     {{219, 155, 83, 19}, kBlack, {226, 158, 70, 11}}}};
// clang-format on

std::vector<DWORD> Shot(POINT origin, int width, int height) {
    ScreenDc screen;
    UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    SelectGuard selection(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), origin.x, origin.y, SRCCOPY);
    return {static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height};
}

// At other scales than 96 dpi every box grows with the scale, within a pixel (ink: within its font's
// rounding); a label may be wider, as it is as wide as its text.
void ExpectLook(HWND window, const Look& look, int dpi) {
    ASSERT_NE(window, nullptr);
    RECT place{}, client{};
    GetWindowRect(window, &place);
    GetClientRect(window, &client);
    POINT origin{};
    ClientToScreen(window, &origin);
    const int width = client.right, height = client.bottom;
    EXPECT_EQ(place.right - place.left != width, look.framed) << "the frame";
    std::vector<DWORD> pixels, before;
    const auto scaled = [dpi](int v) { return MulDiv(v, dpi, 96); };
    const auto at = [&](int x, int y) {
        const DWORD bgr = pixels[static_cast<std::size_t>(y * width + x)];
        return RGB(GetBValue(bgr), GetGValue(bgr), GetRValue(bgr));
    };
    const auto shows = [&](const Spot& s) { return at(scaled(s.x), scaled(s.y)) == s.colour; };
    const auto inkBox = [&](const Ink& ink) {
        int left = width, top = height, right = 0, bottom = 0;
        for (int y = scaled(ink.area[1]); y < scaled(ink.area[1] + ink.area[3]); ++y) {
            for (int x = scaled(ink.area[0]); x < scaled(ink.area[0] + ink.area[2]); ++x) {
                if (at(x, y) == ink.colour)
                    left = std::min(left, x), top = std::min(top, y), right = std::max(right, x + 1), bottom = y + 1;
            }
        }
        return Box{left, top, right - left, bottom - top};
    };
    // Painted to the end: two shots alike, with the spots (at other scales the first, as the others may lie on an
    // edge) and ink in every area.
    EXPECT_TRUE(WaitUntil(
        [&] {
            before = std::exchange(pixels, Shot(origin, width, height));
            return pixels == before && (look.spots.empty() || shows(look.spots[0])) &&
                   std::ranges::all_of(look.inks, [&](const Ink& ink) { return inkBox(ink)[2] > 0; }) &&
                   (dpi != 96 || std::ranges::all_of(look.spots, shows));
        },
        5s))
        << "not painted";
    for (const Spot& s : look.spots)
        EXPECT_TRUE(dpi != 96 || shows(s)) << "at " << s.x << "," << s.y << ": " << at(s.x, s.y);
    const auto expect = [&](const Box& at96, const Box& seen, int slack, bool wider, const std::string& what) {
        bool fits = true;
        for (int i = 0; i < 4; ++i) fits = fits && std::abs(scaled(at96[i]) - seen[i]) <= (dpi == 96 ? 0 : slack);
        EXPECT_TRUE(fits || (dpi != 96 && wider && seen[2] >= scaled(at96[2])))
            << what << ": " << testing::PrintToString(seen) << " at " << dpi << " dpi for " << testing::PrintToString(at96);
    };
    for (const Part& p : look.parts) {
        const HWND child = p.className != nullptr ? Child(window, p.className, p.text) : nullptr;
        RECT r{place.left - (GetSystemMetrics(SM_CXSCREEN) - place.right + place.left) / 2,
               place.top - (GetSystemMetrics(SM_CYSCREEN) - place.bottom + place.top) / 2, 0, 0};
        if (child != nullptr) GetWindowRect(child, &r), MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        const Box seen =
            child != nullptr ? Box{r.left, r.top, r.right - r.left, r.bottom - r.top} : Box{r.left, r.top, width, height};
        expect(p.box, seen, 1, p.className != nullptr && lstrcmpW(p.className, L"Static") == 0, "part");
    }
    for (const Ink& ink : look.inks) expect(ink.box, inkBox(ink), 3 + ink.box[2] / 10, false, "ink");
}

// Taps the digits with the mouse on the display, each at its key's centre, as fast as xdotool can.
void Tap(HWND keypad, const std::string& digits) {
    std::string taps;
    for (const char digit : digits) {
        RECT key{};
        GetWindowRect(Child(keypad, L"Button", std::wstring(1, digit).c_str()), &key);
        taps += "mousemove " + std::to_string((key.left + key.right) / 2) + " " +
                std::to_string((key.top + key.bottom) / 2) + " click 1 ";
    }
    Xdotool(taps);
}

// The four windows at the display's scale of this moment, driven as a guest and the operator do.
void FourWindows(int dpi) {
    {
        FreshModuleFolder();  // the settings window shows the list's values in its text boxes
        ModuleProcess settings(L"");
        ExpectLook(settings.WaitForVisibleWindow(L"Einstellungen - Codelist"), kSettings, dpi);
    }
    HostSession session;
    session.WriteCodeList("2", "99999", {{"00042", "UNUSED"}, {"12345", "UNUSED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    const HWND keypad = session.Keypad();
    ExpectLook(keypad, kKeypad, dpi);
    // Quick taps on one key: the second of two arrives as a double click and must count.
    Tap(keypad, "00042");
    ASSERT_TRUE(WaitUntil([&] { return session.CommandCount("AddCredit| 2") == 1; }, kTimeout)) << "the taps gave no credit";
    ASSERT_TRUE(session.OpenKeypad());
    Tap(keypad, "99999");
    const HWND master = session.Module().WaitForVisibleWindow(L"Form1");
    ASSERT_NE(master, nullptr) << "the taps gave no master window";
    ExpectLook(master, kMaster, dpi);

    // Dragged by the title, keeping the offset of the press, and left where the release was.
    RECT start{}, now{};
    GetWindowRect(master, &start);
    RECT moved = start;
    OffsetRect(&moved, -120, 70);
    const auto at = [&](const RECT& place) { return GetWindowRect(master, &now) && EqualRect(&now, &place); };
    const auto point = [&](int x, int y) { return std::to_string(start.left + x) + " " + std::to_string(start.top + y); };
    Xdotool("mousemove " + point(40, 20) + " mousedown 1 mousemove " + point(-80, 90));
    EXPECT_TRUE(WaitUntil([&] { return at(moved); }, kTimeout)) << "at " << now.left << "," << now.top;
    Xdotool("mouseup 1 mousemove 1000 900");
    EXPECT_FALSE(WaitUntil([&] { return !at(moved); }, 1s)) << "the window followed the mouse after the release";

    // A click on the close glyph needs the press and the release on it, anywhere in its box.
    const auto press = [&](int downX, int downY, int upX, int upY) {
        PostMessageW(master, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(MulDiv(downX, dpi, 96), MulDiv(downY, dpi, 96)));
        PostMessageW(master, WM_LBUTTONUP, 0, MAKELPARAM(MulDiv(upX, dpi, 96), MulDiv(upY, dpi, 96)));
    };
    press(384, 24, 100, 200);
    EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(master); }, 500ms)) << "released off the glyph";
    press(362, 46, 362, 46);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(master); }, kTimeout)) << "the glyph did not close the window";

    for (const char* wrong : {"11111", "22222"}) session.OpenKeypad(), DigitKeys(keypad).Type(wrong);
    ExpectLook(session.Module().WaitForVisibleWindow(L"Info"), kLockNotice, dpi);
    session.CloseModule();
}

// Touch screens of jukeboxes run at 125 % and 150 %. Windows stretches (and blurs) the bitmap of a
// program that does not declare itself aware of the scale; Wine never does, so the file is read.
TEST(GuestWindows, AtThreeScalesWithRealTapsAndDrag) {
    EXPECT_NE(Bytes(ProgramPath()).find(">true</dpiAware>"), std::string::npos);
    for (DWORD dpi : {96, 120, 144}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        // Wine takes the display's scale from this value when a program starts.
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
        FourWindows(static_cast<int>(dpi));
        if (HasFatalFailure()) break;
    }
    DWORD normal = 96;
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &normal, sizeof normal);
}

}  // namespace
