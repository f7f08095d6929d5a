// The four windows on the test display at 96, 120 and 144 dpi: places, rectangles, colours and where
// the texts' ink lies (a fallback to another face or size moves it), and real mouse input.
#include <array>

#include "host_test_support.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

// As the screen shot's pixels hold them.
constexpr DWORD Rgb(DWORD r, DWORD g, DWORD b) { return r << 16 | g << 8 | b; }
constexpr DWORD kDarkRed = Rgb(192, 0, 0), kYellow = Rgb(255, 255, 0), kWhite = Rgb(255, 255, 255), kBlack = 0;

// At 96 dpi, in client pixels. A window's own box is its offset from the screen's centre and its client size.
// clang-format off
using Box = std::array<int, 4>;  // left, top, width, height
struct Spot { int x, y; DWORD colour; };
struct Part { const wchar_t* text; Box box; };  // no text: the label
struct Ink { Box area; DWORD colour; Box box; };  // the smallest box around the area's pixels of the colour
struct Look { Box box; std::vector<Spot> spots; std::vector<Part> parts; std::vector<Ink> inks; };

const Look kKeypad{{0, 0, 263, 464},
    {{3, 3, kDarkRed}, {5, 460, kDarkRed}, {100, 100, kBlack}, {21, 174, kYellow}, {21, 390, kYellow}, {102, 390, Rgb(255, 128, 0)}},
    {{nullptr, {23, 83, 217, 49}}, {L"Abbruch", {96, 384, 153, 65}}, {L"0", {16, 384, 73, 65}}, {L"1", {15, 168, 73, 65}},
     {L"2", {95, 167, 73, 65}}, {L"3", {176, 168, 73, 65}}, {L"4", {16, 240, 73, 65}}, {L"5", {96, 240, 73, 65}},
     {L"6", {176, 240, 73, 65}}, {L"7", {16, 312, 73, 65}}, {L"8", {96, 312, 73, 65}}, {L"9", {176, 312, 73, 65}}},
    {{{49, 9, 163, 41}, kWhite, {51, 16, 161, 25}}, {{26, 135, 212, 24}, kYellow, {27, 139, 209, 19}},
     {{233, 7, 22, 16}, kWhite, {233, 9, 20, 8}}, {{16, 384, 73, 65}, kBlack, {41, 400, 22, 33}},
     {{96, 384, 153, 65}, kBlack, {107, 404, 129, 23}}}};
// The band, and the oval that reaches below it but is round and ends before the close glyph.
const Look kMaster{{0, 0, 407, 248},
    {{5, 35, Rgb(0, 0, 192)}, {282, 42, Rgb(0, 0, 192)}, {264, 42, kDarkRed}, {306, 21, kDarkRed}, {5, 240, kDarkRed}, {62, 150, kYellow}},
    {{L"Alle Codes freigeben", {56, 144, 297, 97}}, {nullptr, {329, 88, 54, 37}}},
    {{{0, 0, 305, 41}, kWhite, {20, 6, 263, 23}}, {{360, 0, 47, 48}, kWhite, {369, 9, 30, 30}},
     {{56, 144, 297, 97}, kBlack, {128, 162, 152, 66}}}};
// The picture's own pixels (src/ui/res/lock_notice.png); its middle first, as only it is looked at in every scale.
const Look kLockNotice{{0, 0, 640, 480},
    {{320, 240, Rgb(239, 227, 198)}, {320, 20, Rgb(176, 34, 0)}, {100, 400, Rgb(68, 14, 7)}, {10, 10, Rgb(6, 1, 2)}}, {}, {}};
// Its controls' places are checked in twips by the settings tests; here what only the scales show. The inks lie inside
// the black frame that a default or focused push button draws; the caption too wide for one line breaks between words.
const Look kSettings{{0, 0, 312, 183}, {{3, 3, Rgb(245, 245, 245)}}, {{L"Start", {248, 24, 49, 25}}},
    {{{251, 27, 43, 19}, kBlack, {262, 32, 21, 9}}, {{19, 59, 139, 27}, kBlack, {37, 61, 101, 22}}}};
// clang-format on

// At other scales than 96 dpi every box grows with the scale, within a pixel (ink: within its font's
// rounding); a label may be wider, as it is as wide as its text; only the first spot is looked at, as
// the others may lie on an edge.
void ExpectLook(HWND window, const Look& look, int dpi) {
    ASSERT_NE(window, nullptr);
    RECT place{}, client{};
    GetWindowRect(window, &place), GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::vector<DWORD> pixels, before;
    const auto scaled = [dpi](int v) { return MulDiv(v, dpi, 96); };
    const auto at = [&](int x, int y) { return pixels[y * width + x] & 0xFFFFFF; };
    const auto shows = [&](const Spot& s) { return at(scaled(s.x), scaled(s.y)) == s.colour; };
    const auto inkBox = [&](const Ink& ink) {
        int l = width, t = height, r = 0, b = 0;
        for (int y = scaled(ink.area[1]); y < scaled(ink.area[1] + ink.area[3]); ++y)
            for (int x = scaled(ink.area[0]); x < scaled(ink.area[0] + ink.area[2]); ++x)
                if (at(x, y) == ink.colour) l = std::min(l, x), t = std::min(t, y), r = std::max(r, x + 1), b = y + 1;
        return Box{l, t, r - l, b - t};
    };
    // Painted to the end: two shots alike, with the spots and ink in every area.
    EXPECT_TRUE(WaitUntil(
        [&] {
            ScreenDc screen;
            UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
            BITMAPINFO info{};
            info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            void* bits = nullptr;
            UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
            SelectGuard selection(memory.get(), bitmap.get());
            BitBlt(memory.get(), 0, 0, width, height, screen.get(), client.left, client.top, SRCCOPY);
            before =
                std::exchange(pixels, {static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height});
            return pixels == before && shows(look.spots[0]) &&
                   std::ranges::all_of(look.inks, [&](auto& i) { return inkBox(i)[2] > 0; }) &&
                   (dpi != 96 || std::ranges::all_of(look.spots, shows));
        },
        5s))
        << "not painted";
    for (const Spot& s : look.spots)
        EXPECT_TRUE(dpi != 96 || shows(s)) << "at " << s.x << "," << s.y << ": " << std::hex << at(s.x, s.y);
    const auto expect = [&](const Box& at96, const Box& seen, int slack, bool wider) {
        bool fits = true;
        for (int i = 0; i < 4; ++i) fits = fits && std::abs(scaled(at96[i]) - seen[i]) <= (dpi == 96 ? 0 : slack);
        EXPECT_TRUE(fits || (dpi != 96 && wider && seen[2] >= scaled(at96[2])))
            << testing::PrintToString(seen) << " for " << testing::PrintToString(at96);
    };
    expect(look.box,
           {place.left - (GetSystemMetrics(SM_CXSCREEN) - place.right + place.left) / 2,
            place.top - (GetSystemMetrics(SM_CYSCREEN) - place.bottom + place.top) / 2, width, height},
           1, false);
    for (const Part& p : look.parts) {
        RECT r{};
        GetWindowRect(Child(window, p.text ? nullptr : L"Static", p.text), &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        expect(p.box, {r.left, r.top, r.right - r.left, r.bottom - r.top}, 1, !p.text);
    }
    for (const Ink& ink : look.inks) expect(ink.box, inkBox(ink), 3 + ink.box[2] / 10, false);
}

// Wine gives no handle to wait on: callers poll for the effect.
void Xdotool(const std::string& a) { StartProcess(L"/usr/bin/xdotool " + std::wstring(a.begin(), a.end()), L"NUL"); }

// Taps the digits with the mouse on the display, each inside its key, as fast as xdotool can.
void Tap(HWND keypad, const std::string& digits) {
    std::string taps;
    for (const char digit : digits) {
        RECT key{};
        GetWindowRect(DigitKeys(keypad).key[digit - '0'], &key);
        taps += "mousemove " + std::to_string(key.left + 30) + " " + std::to_string(key.top + 30) + " click 1 ";
    }
    Xdotool(taps);
}

// The four windows at the display's scale of this moment, driven as a guest and the operator do.
void FourWindows(int dpi) {
    HostSession session;  // no list yet: the settings window shows none of its values
    ExpectLook(ModuleProcess(L"").WaitForVisibleWindow(L"Einstellungen - Codelist"), kSettings, dpi);
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
    RECT place{}, now{};
    GetWindowRect(master, &place);
    const auto at = [&](int x, int y) { return std::to_string(place.left + x) + " " + std::to_string(place.top + y); };
    Xdotool("mousemove " + at(40, 20) + " mousedown 1 mousemove " + at(-80, 90));
    OffsetRect(&place, -120, 70);
    const auto moved = [&] { return GetWindowRect(master, &now) && EqualRect(&now, &place); };
    EXPECT_TRUE(WaitUntil(moved, kTimeout)) << "at " << now.left << "," << now.top;
    Xdotool("mouseup 1 mousemove 1000 900");
    EXPECT_FALSE(WaitUntil([&] { return !moved(); }, 1s)) << "followed the mouse after the release to " << now.left;

    // A click on the close glyph needs the press and the release on it, anywhere in its box.
    const auto px = [dpi](int x, int y) { return MAKELPARAM(MulDiv(x, dpi, 96), MulDiv(y, dpi, 96)); };
    PostMessageW(master, WM_LBUTTONDOWN, MK_LBUTTON, px(384, 24)), PostMessageW(master, WM_LBUTTONUP, 0, px(100, 200));
    EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(master); }, 500ms)) << "released off the glyph";
    PostMessageW(master, WM_LBUTTONDOWN, MK_LBUTTON, px(362, 46)), PostMessageW(master, WM_LBUTTONUP, 0, px(362, 46));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(master); }, kTimeout)) << "the glyph did not close the window";

    for (const char* wrong : {"11111", "22222"}) session.OpenKeypad(), DigitKeys(keypad).Type(wrong);
    ExpectLook(session.Module().WaitForVisibleWindow(L"Info"), kLockNotice, dpi);
    session.CloseModule();
}

// Touch screens of jukeboxes run at 125 % and 150 %. Windows stretches (and blurs) the bitmap of a
// program that does not declare itself aware of the scale; Wine never does, so the file is read.
TEST(GuestWindows, AtThreeScalesWithRealTapsAndDrag) {
    EXPECT_NE(Bytes(ProgramPath()).find(">true</dpiAware>"), std::string::npos);
    // Wine takes the display's scale from this value when a program starts; the last one puts it back.
    const DWORD scales[] = {96, 120, 144, 96};
    for (const DWORD& dpi : scales) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        if (&dpi != &scales[3] && !HasFatalFailure()) FourWindows(static_cast<int>(dpi));
    }
}

}  // namespace
