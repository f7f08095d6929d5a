// The four windows on the test display at 96, 120 and 144 dpi: places, rectangles, colours and where
// the texts' ink lies (a fallback to another face or size moves it), and real mouse input.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

#include "fault_support.h"
#include "host_test_support.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

constexpr COLORREF kDarkRed = RGB(192, 0, 0), kYellow = RGB(255, 255, 0), kWhite = RGB(255, 255, 255), kBlack = 0;

struct Box {
    int left, top, width, height;
    bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "{" << b.left << ", " << b.top << ", " << b.width << ", " << b.height << "}";
}
Box Scaled(const Box& b, int dpi) {
    return {MulDiv(b.left, dpi, 96), MulDiv(b.top, dpi, 96), MulDiv(b.width, dpi, 96), MulDiv(b.height, dpi, 96)};
}

struct Spot {
    int x, y;
    COLORREF colour;
};
struct Probe {  // the ink of a painted text: the smallest box around the pixels of its colour
    const wchar_t* name;
    Box area;
    COLORREF colour;
};
// A window at 96 dpi. "window" is its offset from the screen's centre and its client size; children are
// named by class and text, "ink" followed by a caption or a probe's name is where that text's ink lies.
struct Look {
    std::vector<Spot> spots;
    std::vector<Probe> probes;
    std::map<std::wstring, Box> expected;
};
using Measures = std::map<std::wstring, Box>;

// clang-format off
const Look kKeypad{
    {{3, 3, kDarkRed}, {5, 460, kDarkRed}, {100, 100, kBlack}, {21, 174, kYellow}, {21, 390, kYellow}, {102, 390, RGB(255, 128, 0)}},
    {{L"Cashcode", {49, 9, 163, 41}, kWhite}, {L"Bitte Code eingeben!", {26, 135, 212, 24}, kYellow}, {L"ECC", {233, 7, 22, 16}, kWhite}},
    {{L"window", {0, 0, 263, 464}}, {L"Static ", {23, 83, 217, 49}}, {L"Button Abbruch", {96, 384, 153, 65}},
     {L"Button 0", {16, 384, 73, 65}}, {L"Button 1", {15, 168, 73, 65}}, {L"Button 2", {95, 167, 73, 65}},
     {L"Button 3", {176, 168, 73, 65}}, {L"Button 4", {16, 240, 73, 65}}, {L"Button 5", {96, 240, 73, 65}},
     {L"Button 6", {176, 240, 73, 65}}, {L"Button 7", {16, 312, 73, 65}}, {L"Button 8", {96, 312, 73, 65}},
     {L"Button 9", {176, 312, 73, 65}}, {L"ink Cashcode", {51, 16, 161, 25}}, {L"ink Bitte Code eingeben!", {27, 139, 209, 19}},
     {L"ink ECC", {233, 9, 20, 8}}, {L"ink 0", {41, 400, 22, 33}}}};
// The band, and the oval that reaches below it but is round and ends before the close glyph.
const Look kMaster{
    {{5, 35, RGB(0, 0, 192)}, {282, 42, RGB(0, 0, 192)}, {264, 42, kDarkRed}, {306, 21, kDarkRed}, {5, 240, kDarkRed}, {62, 150, kYellow}},
    {{L"title", {0, 0, 305, 41}, kWhite}, {L"close", {360, 0, 47, 48}, kWhite}},
    {{L"window", {0, 0, 407, 248}}, {L"Button Alle Codes freigeben", {56, 144, 297, 97}}, {L"Static 1", {329, 88, 54, 37}},
     {L"ink title", {20, 6, 263, 23}}, {L"ink close", {369, 9, 30, 30}}, {L"ink Alle Codes freigeben", {128, 162, 152, 66}}}};
// The picture's own pixels (src/ui/res/lock_notice.png); its middle first, as it shows at every scale.
const Look kLockNotice{
    {{320, 240, RGB(239, 227, 198)}, {320, 20, RGB(176, 34, 0)}, {100, 400, RGB(68, 14, 7)}, {10, 10, RGB(6, 1, 2)}},
    {}, {{L"window", {0, 0, 640, 480}}}};
// clang-format on

// What the display shows of the window, once painted: at 96 dpi every spot, else the first one
// (scaled) and some ink in every button.
Measures Measure(HWND window, const Look& look, int dpi) {
    RECT place{}, client{};
    GetWindowRect(window, &place);
    GetClientRect(window, &client);
    POINT origin{};
    ClientToScreen(window, &origin);
    const int width = client.right, height = client.bottom;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width * height));
    const auto at = [&](int x, int y) {
        const DWORD bgr = pixels[static_cast<std::size_t>(y * width + x)];
        return RGB(GetBValue(bgr), GetGValue(bgr), GetRValue(bgr));
    };
    const auto ink = [&](const Box& a, COLORREF colour) {
        int left = a.left + a.width, top = a.top + a.height, right = a.left, bottom = a.top;
        for (int y = a.top; y < a.top + a.height; ++y) {
            for (int x = a.left; x < a.left + a.width; ++x) {
                if (at(x, y) == colour)
                    left = std::min(left, x), top = std::min(top, y), right = std::max(right, x + 1), bottom = y + 1;
            }
        }
        return Box{left, top, right - left, bottom - top};
    };
    std::vector<Spot> spots = look.spots;
    if (dpi != 96 && !spots.empty()) spots = {{MulDiv(spots[0].x, dpi, 96), MulDiv(spots[0].y, dpi, 96), spots[0].colour}};
    Measures measures;
    const auto painted = [&] {
        ScreenDc screen;
        UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        SelectGuard selection(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), origin.x, origin.y, SRCCOPY);
        std::copy_n(static_cast<const DWORD*>(bits), pixels.size(), pixels.begin());
        const Measures before = std::exchange(
            measures, {{L"window",
                        {place.left - (GetSystemMetrics(SM_CXSCREEN) - place.right + place.left) / 2,
                         place.top - (GetSystemMetrics(SM_CYSCREEN) - place.bottom + place.top) / 2, width, height}}});
        bool inked = std::ranges::all_of(spots, [&](const Spot& s) { return at(s.x, s.y) == s.colour; });
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child)) continue;
            wchar_t className[16] = {};
            GetClassNameW(child, className, 16);
            RECT r{};
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
            std::wstring name = className + (L" " + TextOf(child));
            while (measures.contains(name)) name += L"'";
            const Box box = measures[name] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
            if (name.starts_with(L"Button") && (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX) {
                // Inside the frame a default or focused push button draws in black.
                const int frame = MulDiv(3, dpi, 96);
                const Box inside{box.left + frame, box.top + frame, box.width - 2 * frame, box.height - 2 * frame};
                inked = (measures[L"ink " + TextOf(child)] = ink(inside, kBlack)).width > 0 && inked;
            }
        }
        for (const Probe& p : look.probes) measures[L"ink " + std::wstring(p.name)] = ink(Scaled(p.area, dpi), p.colour);
        return inked && measures == before;  // two shots alike: painted to the end
    };
    EXPECT_TRUE(WaitUntil(painted, 5s)) << "not painted";
    EXPECT_TRUE(look.expected.empty() || (place.right - place.left == width && place.bottom - place.top == height))
        << "a frame";
    if (dpi != 96) return measures;
    for (const Spot& s : look.spots) EXPECT_EQ(at(s.x, s.y), s.colour) << "at " << s.x << "," << s.y;
    for (const auto& [name, box] : look.expected) EXPECT_EQ(measures[name], box) << std::string(name.begin(), name.end());
    return measures;
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

std::string At(const RECT& place, int x, int y) {
    char text[32];
    std::snprintf(text, sizeof text, " %ld %ld ", place.left + x, place.top + y);
    return text;
}

// The four windows at the display's scale of this moment, driven as a guest and the operator do.
std::vector<Measures> FourWindows(int dpi) {
    std::vector<Measures> windows;
    {
        FreshModuleFolder();  // the settings window shows the list's values in its text boxes
        ModuleProcess settings(L"");
        windows.push_back(Measure(settings.WaitForVisibleWindow(L"Einstellungen - Codelist"), Look{}, dpi));
    }
    HostSession session;
    session.WriteCodeList("2", "99999", {{"00042", "UNUSED"}, {"12345", "UNUSED"}});
    session.StartModule();
    EXPECT_TRUE(session.OpenKeypad());
    const HWND keypad = session.Keypad();
    windows.push_back(Measure(keypad, kKeypad, dpi));
    // Quick taps on one key: the second of two arrives as a double click and must count.
    Tap(keypad, "00042");
    EXPECT_TRUE(WaitUntil([&] { return session.CommandCount("AddCredit| 2") == 1; }, kTimeout)) << "the taps gave no credit";
    EXPECT_TRUE(session.OpenKeypad());
    Tap(keypad, "99999");
    HWND master = session.Module().WaitForVisibleWindow(L"Form1");
    EXPECT_NE(master, nullptr) << "the taps gave no master window";
    if (master == nullptr) return windows;
    windows.push_back(Measure(master, kMaster, dpi));

    // Dragged by the title, keeping the offset of the press, and left where the release was.
    RECT start{}, now{};
    GetWindowRect(master, &start);
    RECT moved = start;
    OffsetRect(&moved, -120, 70);
    const auto at = [&](const RECT& place) { return GetWindowRect(master, &now) && EqualRect(&now, &place); };
    Xdotool("mousemove" + At(start, 40, 20) + "mousedown 1 mousemove" + At(start, -80, 90));
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

    for (const char* wrong : {"11111", "22222"}) {
        EXPECT_TRUE(session.OpenKeypad());
        DigitKeys(keypad).Type(wrong);
    }
    windows.push_back(Measure(session.Module().WaitForVisibleWindow(L"Info"), kLockNotice, dpi));
    session.CloseModule();
    return windows;
}

// Wine takes the display's scale from this value when a program starts; 96 dpi is 100 %.
void SetDisplayDpi(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
}

// Touch screens of jukeboxes run at 125 % and 150 %: every window, place and font grows with the
// scale, and no caption is cut off by a button that grew less than its text.
TEST(GuestWindows, AtThreeScalesWithRealTapsAndDrag) {
    // Windows stretches (and blurs) the bitmap of a program that does not declare itself aware of
    // the scale; Wine never does, so the declaration is read from the program file.
    EXPECT_NE(ReadBytes(ProgramPath()).find(">true</dpiAware>"), std::string::npos);

    const std::vector<Measures> normal = FourWindows(96);
    ASSERT_EQ(normal.size(), 4u);
    for (const int dpi : {120, 144}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        SetDisplayDpi(static_cast<DWORD>(dpi));
        const std::vector<Measures> scaled = FourWindows(dpi);
        SetDisplayDpi(96);
        ASSERT_EQ(scaled.size(), normal.size());
        for (std::size_t w = 0; w < normal.size(); ++w) {
            for (const auto& [name, at96] : normal[w]) {
                // Ink grows with its font, which rounds to whole pixels; a label is at least as wide as its text.
                const int slack = name.starts_with(L"ink") ? 3 + at96.width / 10 : 1;
                const Box want = Scaled(at96, dpi), box = scaled[w].contains(name) ? scaled[w].at(name) : Box{};
                const auto within = [&](int a, int b) { return std::abs(a - b) <= slack; };
                EXPECT_TRUE(within(want.left, box.left) && within(want.top, box.top) && within(want.height, box.height) &&
                            (within(want.width, box.width) || (name.starts_with(L"Static") && box.width > want.width)))
                    << "window " << w << " " << std::string(name.begin(), name.end()) << ": " << at96 << " at 96 dpi, "
                    << box;
            }
        }
    }
}

}  // namespace
