// The guest windows on the test display: their places and rectangles at 96 dpi, the colours and
// the extent of their painted text, the lock notice's picture, and real mouse input.
#include <gtest/gtest.h>

#include <algorithm>

#include "host_test_support.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

constexpr COLORREF kDarkRed = RGB(192, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct Box {
    int left, top, width, height;
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& box) {
    return out << "{" << box.left << ", " << box.top << ", " << box.width << ", " << box.height << "}";
}

Box ChildBox(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

struct Spot {
    int x, y;
    COLORREF colour;
};

// What the display shows of a window's client area, once it shows the colours at the spots.
class Screenshot {
public:
    Screenshot(HWND window, std::initializer_list<Spot> spots) {
        GetClientRect(window, &client_);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        const auto painted = [&] {
            Take(origin);
            return std::ranges::all_of(spots, [&](const Spot& spot) { return At(spot.x, spot.y) == spot.colour; });
        };
        WaitUntil(painted, 5s);
        for (const Spot& spot : spots) EXPECT_EQ(At(spot.x, spot.y), spot.colour) << "at " << spot.x << "," << spot.y;
    }
    COLORREF At(int x, int y) const {
        const DWORD bgr = pixels_[static_cast<std::size_t>(y * client_.right + x)];
        return RGB(GetBValue(bgr), GetGValue(bgr), GetRValue(bgr));
    }
    // The smallest box around the pixels of the colour within the area: where a text's ink lies.
    Box Ink(Box area, COLORREF colour) const {
        RECT ink{area.left + area.width, area.top + area.height, area.left, area.top};
        for (int y = area.top; y < area.top + area.height; ++y) {
            for (int x = area.left; x < area.left + area.width; ++x) {
                if (At(x, y) != colour) continue;
                ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x + 1),
                       std::max<LONG>(ink.bottom, y + 1)};
            }
        }
        return {ink.left, ink.top, ink.right - ink.left, ink.bottom - ink.top};
    }

private:
    void Take(POINT origin) {
        ScreenDc screen;
        UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), client_.right, -client_.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        SelectGuard selection(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, client_.right, client_.bottom, screen.get(), origin.x, origin.y, SRCCOPY);
        pixels_.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + client_.right * client_.bottom);
    }
    RECT client_{};
    std::vector<DWORD> pixels_;
};

// Borderless, no taskbar button of its own (owned), centred, with the given client size.
void ExpectGuestWindow(HWND window, int width, int height) {
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_BORDER),
              static_cast<LONG>(WS_POPUP));
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_NE(GetWindow(window, GW_OWNER), nullptr);
    RECT place{};
    GetWindowRect(window, &place);
    EXPECT_EQ(place.right - place.left, width);
    EXPECT_EQ(place.bottom - place.top, height);
    EXPECT_EQ(place.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(place.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
}

POINT Centre(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::string At(int x, int y) {
    char text[32];
    std::snprintf(text, sizeof text, " %d %d ", x, y);
    return text;
}

TEST(GuestWindows, KeypadRealTapsAndLockNotice) {
    HostSession session;
    session.WriteCodeList("2", "", {{"00042", "UNUSED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    HWND keypad = session.Keypad();
    ExpectGuestWindow(keypad, 263, 464);
    const Box keys[10] = {{16, 384, 73, 65}, {15, 168, 73, 65},  {95, 167, 73, 65}, {176, 168, 73, 65}, {16, 240, 73, 65},
                          {96, 240, 73, 65}, {176, 240, 73, 65}, {16, 312, 73, 65}, {96, 312, 73, 65},  {176, 312, 73, 65}};
    for (int digit = 0; digit < 10; ++digit) {
        const wchar_t caption[2] = {static_cast<wchar_t>(L'0' + digit), L'\0'};
        EXPECT_EQ(ChildBox(Child(keypad, L"Button", caption)), keys[digit]) << "key " << digit;
    }
    EXPECT_EQ(ChildBox(Child(keypad, L"Button", L"Abbruch")), (Box{96, 384, 153, 65}));
    EXPECT_EQ(ChildBox(Child(keypad, L"Edit", nullptr)), (Box{216, 48, 41, 21}));
    EXPECT_EQ(ChildBox(Child(keypad, L"Static", nullptr)), (Box{23, 83, 217, 49}));

    const Screenshot shot(keypad, {{3, 3, kDarkRed},
                                   {5, 460, kDarkRed},
                                   {100, 100, RGB(0, 0, 0)},
                                   {21, 174, kYellow},
                                   {21, 390, kYellow},
                                   {102, 390, RGB(255, 128, 0)}});
    // Where the texts' ink lies tells their fonts: a fallback to another face or size moves it.
    EXPECT_EQ(shot.Ink({49, 9, 163, 41}, kWhite), (Box{51, 16, 161, 25})) << "\"Cashcode\"";
    EXPECT_EQ(shot.Ink({26, 135, 212, 24}, kYellow), (Box{27, 139, 209, 19})) << "\"Bitte Code eingeben!\"";
    EXPECT_EQ(shot.Ink({233, 7, 22, 16}, kWhite), (Box{233, 9, 20, 8})) << "\"ECC\"";
    EXPECT_EQ(shot.Ink({16, 384, 73, 65}, RGB(0, 0, 0)), (Box{41, 400, 22, 33})) << "key 0";

    // Quick taps on the same key: the second of two arrives as a double click and must count.
    std::string taps;
    for (char digit : std::string("00042")) {
        const wchar_t caption[2] = {static_cast<wchar_t>(digit), L'\0'};
        const POINT centre = Centre(Child(keypad, L"Button", caption));
        taps += "mousemove" + At(centre.x, centre.y) + "click 1 ";
    }
    Xdotool(taps);
    EXPECT_TRUE(session.WaitForCommand("AddCredit| 2")) << "the taps gave " << std::string(session.CodeShown().size(), '*');

    for (const char* wrong : {"11111", "22222"}) {
        ASSERT_TRUE(session.OpenKeypad());
        session.TypeDigits(wrong);
    }
    HWND info = session.Module().WaitForVisibleWindow(L"Info");
    ExpectGuestWindow(info, 640, 480);
    // Colours of the picture's own pixels (src/ui/res/lock_notice.png).
    Screenshot(
        info,
        {{320, 240, RGB(239, 227, 198)}, {320, 20, RGB(176, 34, 0)}, {100, 400, RGB(68, 14, 7)}, {10, 10, RGB(6, 1, 2)}});
    session.CloseModule();
}

TEST(GuestWindows, MasterWindowCloseGlyphAndDrag) {
    HostSession session;
    session.WriteCodeList("2", "99999", {{"12345", "UNUSED"}});
    session.StartModule();
    const auto openMaster = [&] {
        EXPECT_TRUE(session.OpenKeypad());
        session.TypeDigits("99999");
        return session.Module().WaitForVisibleWindow(L"Form1");
    };
    HWND master = openMaster();
    ExpectGuestWindow(master, 407, 248);
    EXPECT_EQ(ChildBox(Child(master, L"Button", L"Alle Codes freigeben")), (Box{56, 144, 297, 97}));
    EXPECT_EQ(ChildBox(Child(master, L"Static", nullptr)), (Box{329, 88, 54, 37}));
    const COLORREF blue = RGB(0, 0, 192);
    // The band, and the oval that reaches below it but is round and ends before the glyph.
    const Screenshot shot(
        master,
        {{5, 35, blue}, {282, 42, blue}, {264, 42, kDarkRed}, {306, 21, kDarkRed}, {5, 240, kDarkRed}, {62, 150, kYellow}});
    EXPECT_EQ(shot.Ink({0, 0, 305, 41}, kWhite), (Box{20, 6, 263, 23})) << "the title";
    EXPECT_EQ(shot.Ink({360, 0, 47, 48}, kWhite), (Box{369, 9, 30, 30})) << "the close glyph";
    EXPECT_EQ(shot.Ink({56, 144, 297, 97}, RGB(0, 0, 0)), (Box{128, 162, 152, 66})) << "\"Alle Codes freigeben\"";

    // A click on the glyph needs the press and the release on it, anywhere in its box.
    PostMessageW(master, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(384, 24));
    PostMessageW(master, WM_LBUTTONUP, 0, MAKELPARAM(100, 200));
    EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(master); }, 500ms)) << "released off the glyph";
    PostMessageW(master, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(362, 46));
    PostMessageW(master, WM_LBUTTONUP, 0, MAKELPARAM(362, 46));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(master); }, kTimeout)) << "the glyph did not close the window";
    EXPECT_TRUE(session.Module().Running());

    // Dragged by the title, keeping the offset of the press, and left where the release was.
    master = openMaster();
    RECT start{}, now{};
    GetWindowRect(master, &start);
    RECT moved = start;
    OffsetRect(&moved, -120, 70);
    const auto at = [&](const RECT& place) {
        GetWindowRect(master, &now);
        return EqualRect(&now, &place) != FALSE;
    };
    Xdotool("mousemove" + At(start.left + 40, start.top + 20) + "mousedown 1 mousemove" +
            At(start.left - 80, start.top + 90));
    EXPECT_TRUE(WaitUntil([&] { return at(moved); }, kTimeout)) << "at " << now.left << "," << now.top;
    Xdotool("mouseup 1 mousemove 1000 900");
    EXPECT_FALSE(WaitUntil([&] { return !at(moved); }, 1s)) << "the window followed the mouse after the release";

    // "AppClose" inside the drag loop ends the module cleanly.
    Xdotool("mousemove" + At(moved.left + 40, moved.top + 20) + "mousedown 1 mousemove" +
            At(moved.left + 90, moved.top + 50));
    OffsetRect(&moved, 50, 30);
    ASSERT_TRUE(WaitUntil([&] { return at(moved); }, kTimeout));
    session.CloseModule();
    Xdotool("mouseup 1");
}

}  // namespace

namespace {

struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;

// Wine takes the display's scale from this value when a program starts; 96 dpi is 100 %.
void SetDisplayDpi(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
}

struct Measured {
    std::vector<Box> boxes;        // the window's own size, then each child's place
    std::vector<bool> fitsText;    // per box: a label, as wide as its text at least
    std::vector<Box> captionInks;  // where each button's black caption lies
};

// The four windows as a guest and the operator see them at the display's scale of this moment.
std::vector<Measured> MeasureFourWindows() {
    std::vector<Measured> windows;
    const auto measure = [&](HWND window, bool picture) {
        Measured measured;
        RECT client{};
        GetClientRect(window, &client);
        measured.boxes.push_back({0, 0, client.right, client.bottom});
        measured.fitsText.push_back(false);
        // The lock notice's picture fills its window: a pixel of the picture's middle at the middle.
        const Screenshot shot = picture ? Screenshot(window, {{client.right / 2, client.bottom / 2, RGB(239, 227, 198)}})
                                        : Screenshot(window, {});
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child)) continue;
            measured.boxes.push_back(ChildBox(child));
            wchar_t className[16] = {};
            GetClassNameW(child, className, 16);
            measured.fitsText.push_back(lstrcmpiW(className, L"Static") == 0);
            if (lstrcmpiW(className, L"Button") == 0 && (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX) {
                measured.captionInks.push_back(shot.Ink(ChildBox(child), RGB(0, 0, 0)));
            }
        }
        windows.push_back(measured);
    };
    {
        ModuleProcess settings(L"");
        measure(settings.WaitForVisibleWindow(L"Einstellungen - Codelist"), false);
    }
    HostSession session;
    session.WriteCodeList("2", "99999", {{"12345", "UNUSED"}});
    session.StartModule();
    EXPECT_TRUE(session.OpenKeypad());
    measure(session.Keypad(), false);
    session.TypeDigits("99999");
    measure(session.Module().WaitForVisibleWindow(L"Form1"), false);
    for (const char* wrong : {"11111", "22222"}) {
        EXPECT_TRUE(session.OpenKeypad());
        session.TypeDigits(wrong);
    }
    measure(session.Module().WaitForVisibleWindow(L"Info"), true);
    session.CloseModule();
    return windows;
}

// Touch screens of jukeboxes run at 125 % and 150 %: every window, place and font grows with the
// scale, and no caption is cut off by a button that grew less than its text.
TEST(GuestWindows, TheFourWindowsGrowWithTheDisplayScale) {
    // Windows stretches (and blurs) the bitmap of a program that does not declare itself aware of
    // the scale; Wine never does, so the declaration is read from the program file.
    UniqueModule program(LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    HRSRC manifest = FindResourceW(program.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const std::string_view text(static_cast<const char*>(LockResource(LoadResource(program.get(), manifest))),
                                SizeofResource(program.get(), manifest));
    EXPECT_NE(text.find(">true</dpiAware>"), std::string_view::npos) << text;

    const std::vector<Measured> normal = MeasureFourWindows();
    for (const int dpi : {120, 144}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        SetDisplayDpi(static_cast<DWORD>(dpi));
        const std::vector<Measured> scaled = MeasureFourWindows();
        SetDisplayDpi(96);
        ASSERT_EQ(scaled.size(), normal.size());
        // A label may be wider than scaled: it is as wide as its text, whose font rounds to whole pixels.
        const auto expectScaled = [dpi](const Box& at96, const Box& box, int slack, bool fitsText = false) {
            const auto within = [&](int a, int b) { return std::abs(MulDiv(a, dpi, 96) - b) <= slack; };
            const bool width = within(at96.width, box.width) || (fitsText && box.width > MulDiv(at96.width, dpi, 96));
            EXPECT_TRUE(within(at96.left, box.left) && within(at96.top, box.top) && width && within(at96.height, box.height))
                << at96 << " at 96 dpi, " << box;
        };
        for (std::size_t w = 0; w < normal.size(); ++w) {
            SCOPED_TRACE("window " + std::to_string(w));
            ASSERT_EQ(scaled[w].boxes.size(), normal[w].boxes.size());
            for (std::size_t i = 0; i < normal[w].boxes.size(); ++i) {
                expectScaled(normal[w].boxes[i], scaled[w].boxes[i], 1, normal[w].fitsText[i]);
            }
            // A caption's ink grows with its font; a cut one would be narrower than that.
            ASSERT_EQ(scaled[w].captionInks.size(), normal[w].captionInks.size());
            for (std::size_t i = 0; i < normal[w].captionInks.size(); ++i) {
                expectScaled(normal[w].captionInks[i], scaled[w].captionInks[i], 3 + normal[w].captionInks[i].width / 10);
            }
        }
    }
}

}  // namespace
