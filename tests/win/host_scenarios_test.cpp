// Host mode end to end: Codelist.exe /Mod beside the test host in this process. Each row gives the
// code list and a script of what guests, the host and other programs do, step by step. The guest
// windows are looked at on the test display at 96, 120 and 144 dpi: places, rectangles, colours and
// where the texts' ink lies (a fallback to another face or size moves it), and driven by real mouse input.
#include <array>
#include <random>
#include <regex>

#include "host_test_support.h"

using namespace codeeingabe;
using namespace codeeingabe::test;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kRegistered = ",Register,SetCreditSys|Enabled";

std::string List(const std::string& credits, std::string codes) { return CodeListBytes(credits, "99999", {}) + codes; }
std::string Narrow(const std::wstring& text) { return {text.begin(), text.end()}; }

// Wine takes the display's scale from this value when a program starts.
void SetScale(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
}

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
    const DigitKeys keys(keypad);
    std::string taps;
    for (const char digit : digits) {
        RECT key{};
        GetWindowRect(keys.key[digit - '0'], &key);
        taps += "mousemove " + std::to_string(key.left + 30) + " " + std::to_string(key.top + 30) + " click 1 ";
    }
    Xdotool(taps);
}


class Scenario {
public:
    // A row: its name, the list file (empty: none) and the script.
    explicit Scenario(const std::array<std::string, 3>& row) {
        SCOPED_TRACE(row[0]);
        if (!row[1].empty()) WriteBytes(file_, *(expected_ = row[1]));
        std::istringstream steps(row[2]);
        for (std::string step; std::getline(steps, step, ';');) {
            step.erase(0, step.find_first_not_of(' '));
            const std::size_t space = step.find(' ');
            if (Step(step.substr(0, space), space == std::string::npos ? "" : step.substr(space + 1))) continue;
            ADD_FAILURE() << "step \"" << step << "\" failed" << note_ << "; the host got " << Commands()
                          << "; the inbox holds " << Narrow(TextOf(appComm_)).substr(0, 40) << "; shown: " << Shown()
                          << "; the list: " << OnDisk().value_or("(none)") << "; expected: " << expected_.value_or("(none)");
            break;
        }
        if (module().Running() && session_.Host()) Send("AppClose");
        EXPECT_EQ(module().Ended(kTimeout), "");
    }

private:
    ModuleProcess& module() { return session_.Module(); }
    HWND Keypad() { return session_.Keypad(); }
    std::string Commands() {
        std::string all;
        for (const std::string& c : session_.Host() ? session_.Host()->Commands() : std::vector<std::string>())
            all += "," + c;
        return all;
    }
    // The module's windows that show, by their titles, the master window with its count of free codes; or "ended".
    std::string Shown() {
        std::string shown = module().Running() ? "" : " ended";
        for (const wchar_t* title : {L"Creditsystem", L"Info", L"Form1"})
            if (const HWND window = module().Window(title, true))
                shown += Narrow(L" " + (title[0] == L'F' ? L"Form1 " + TextOf(Child(window, L"Static", nullptr)) : title));
        return shown.erase(0, 1);
    }
    bool Send(const std::string& text) { return session_.Host()->SendToModule(text); }
    // The journal's events so far, each with its code: "Hostmodus gestartet,Code gebucht 12345".
    std::string Journal() {
        std::string events;
        for (const std::string& line : JournalLines(session_.Folder()))
            events.append(events.empty() ? "" : ",").append(std::regex_replace(line, std::regex(";(\\d*);.*"), " $1"));
        return std::regex_replace(events, std::regex(" (,|$)"), "$1");
    }

    // Whether all went as the step expects; what the failure message cannot see it notes.
    bool Step(const std::string& verb, const std::string& arg) {
        // clang-format off
        if (verb == "start") return Step("launch", "") && Registered();
        if (verb == "launch") return session_.StartModule(false), WaitUntil([&] { return module().Window(nullptr); }, kTimeout);
        if (verb == "registered") return Registered();
        if (verb == "pause") return !WaitUntil([] { return false; }, std::chrono::milliseconds(std::stoi(arg)));
        if (verb == "keep") return session_.Host()->SetKeepsMessages(true), true;
        if (verb == "open") return session_.OpenKeypad() && (GetWindowLongW(Keypad(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        if (verb == "type") return DigitKeys(Keypad()).Type(arg), typed_ = Clock::now(), true;
        if (verb == "post") return PostMessageW(DigitKeys(Keypad()).key[arg[0] - '0'], BM_CLICK, 0, 0);
        if (verb == "cancel") return Click(Child(Keypad(), L"Button", L"Abbruch")), true;
        if (verb == "free") return Click(Child(module().Window(L"Form1", true), L"Button", L"Alle Codes freigeben")), true;
        if (verb == "shows") return WaitUntil([&] { return Shown() == arg; }, kTimeout);
        if (verb == "send") return Send(arg) && TextOf(appComm_).empty();
        if (verb == "host") return WaitUntil([&] { return Commands() == kRegistered + arg; }, kTimeout);
        if (verb == "file") return File(arg);
        if (verb == "disk") return SetState(arg), WriteBytes(file_, *expected_), true;
        if (verb == "delete") return expected_.reset(), std::filesystem::remove(file_);
        if (verb == "folder") return std::filesystem::create_directories(file_ / "Unterordner");
        if (verb == "hold") return hold_.emplace(file_, arg), true;
        if (verb == "hold-journal") return journalHold_.emplace(JournalPath(session_.Folder()), arg), true;
        if (verb == "journal") return WaitUntil([&] { return Journal() == arg; }, kTimeout);
        // The disk fills up at the list's size: its bookings still fit, the journal's lines do not.
        if (verb == "full") return WriteBytes(session_.Folder() / ".full-disk", std::to_string(expected_->size())), true;
        if (verb == "press") return PostMessageW(module().Window(L"Info", true), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(320, 240)) &&
                                    PostMessageW(module().Window(L"Info", true), WM_LBUTTONUP, 0, MAKELPARAM(320, 240));
        if (verb == "unlock") return Step("shows", arg) && Clock::now() - typed_ >= 9500ms;
        if (verb == "scale") return SetScale(dpi_ = std::stoi(arg)), true;
        if (verb == "look") return Look(arg);
        // Quick taps on one key: the second of two arrives as a double click and must count.
        if (verb == "tap") return Tap(Keypad(), arg), true;
        if (verb == "drag") return Drag(module().Window(L"Form1", true));
        if (verb == "glyph") return Glyph(module().Window(L"Form1", true));
        // A text of a million characters: no command, and the inbox empty again (Wine loses a text of 1,048,576
        // characters on its way to another process, which would test nothing of the module's).
        if (verb == "huge") return Step("send", "CreditClick" + std::string(999'989, ' '));
        // The host takes no message while the last digit is checked: the check still ends within the sends' bounds, the
        // module answers all the while (SMTO_BLOCK: this thread takes none of its messages), and a credit that timed out
        // is not sent again.
        if (verb == "hang") {
            for (const auto start = Clock::now(); session_.KeypadVisible() && Clock::now() - start < 10s;)
                if (!SendMessageTimeoutW(Keypad(), WM_NULL, 0, 0, SMTO_BLOCK, 1000, nullptr)) note_ = " (the module froze)";
            return Step("pause", "500") && note_.empty() && !session_.KeypadVisible() && session_.CommandCount("AddCredit| 2") <= 1;
        }
        // A host that keeps its inbox full: the module waits out its poll of 2.5 s before the next message.
        if (verb == "gap") return session_.Host()->Received()[1].arrival - session_.Host()->Received()[0].arrival >= 2550ms;
        if (verb == "second") return ModuleProcess(L"/Mod").WaitForExit(kTimeout) && Commands() == kRegistered;
        if (verb == "host-gone") return session_.CloseHost(), true;
        // The keypad goes about 5 s after the host, the notice stays until it is clicked.
        if (verb == "given-back") return WaitUntil([&] { return Journal().starts_with("Hostmodus gestartet,Code gebucht 12345,"
                                                   "Code zurückgegeben 12345") || Journal() == "Hostmodus gestartet,Hostmodus beendet"; }, kTimeout);
        if (verb == "watch") return WaitUntil([&] { return !Keypad() && Shown() == "Info"; }, 12s);
        if (verb == "closed-ini") return host::WriteModuleIni(session_.Folder(), UniqueWindow(CreateWindowExW(
                                         0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, 0, 0, 0, 0)).get());
        if (verb == "ends") return session_.StartModule(false).WaitForExit(kTimeout) && session_.Host()->Received().empty();
        if (verb == "guess") return Guess(std::stoi(arg));
        // clang-format on
        return note_ = " (no such step)", false;
    }

    // A window of the module as it shows at the scale of this moment ("settings": the settings window, started for it).
    // Its faults are reported as they are found; the row goes on, so that one scale's fault hides no other.
    bool Look(const std::string& which) {
        if (which == "settings")
            return ExpectLook(ModuleProcess(L"").WaitForVisibleWindow(L"Einstellungen - Codelist"), kSettings, dpi_), true;
        const auto& [title, look] = which == "keypad"   ? std::pair(L"Creditsystem", &kKeypad)
                                    : which == "master" ? std::pair(L"Form1", &kMaster)
                                                        : std::pair(L"Info", &kLockNotice);
        return ExpectLook(module().WaitForVisibleWindow(title), *look, dpi_), true;
    }

    // Dragged by the title, keeping the offset of the press, and left where the release was.
    bool Drag(HWND master) {
        RECT place{}, now{};
        GetWindowRect(master, &place);
        const auto at = [&](int x, int y) { return std::to_string(place.left + x) + " " + std::to_string(place.top + y); };
        Xdotool("mousemove " + at(40, 20) + " mousedown 1 mousemove " + at(-80, 90));
        OffsetRect(&place, -120, 70);
        const auto moved = [&] { return GetWindowRect(master, &now) && EqualRect(&now, &place); };
        const bool followed = WaitUntil(moved, kTimeout);
        Xdotool("mouseup 1 mousemove 1000 900");
        note_ = " (at " + std::to_string(now.left) + "," + std::to_string(now.top) + ")";
        return followed && !WaitUntil([&] { return !moved(); }, 1s);
    }

    // A click on the close glyph needs the press and the release on it, anywhere in its box.
    bool Glyph(HWND master) {
        const auto px = [this](int x, int y) { return MAKELPARAM(MulDiv(x, dpi_, 96), MulDiv(y, dpi_, 96)); };
        PostMessageW(master, WM_LBUTTONDOWN, MK_LBUTTON, px(384, 24)), PostMessageW(master, WM_LBUTTONUP, 0, px(100, 200));
        if (WaitUntil([&] { return !IsWindowVisible(master); }, 500ms)) return note_ = " (released off the glyph)", false;
        PostMessageW(master, WM_LBUTTONDOWN, MK_LBUTTON, px(362, 46)), PostMessageW(master, WM_LBUTTONUP, 0, px(362, 46));
        return WaitUntil([&] { return !IsWindow(master); }, kTimeout);
    }

    // An automated guest typing random codes as fast as the keypad opens, until the lock has come back the given number
    // of times: only free codes give credit, two wrong ones in a row always lock. The rate is taken over whole cycles.
    bool Guess(int lockCycles) {
        std::mt19937 random(RunSeed());
        int guesses = 0, found = 0, locks = 0, wrongInARow = 0, guessesAtFirstLock = 0;
        Clock::time_point firstLock;
        while (locks <= lockCycles) {
            if (wrongInARow == 2) {
                if (!Step("send", "CreditClick") || !Step("shows", "Info"))
                    return note_ = " (no lock after two wrong)", false;
                wrongInARow = 0;
                if (++locks == 1) guessesAtFirstLock = guesses, firstLock = Clock::now();
                continue;
            }
            if (!OpenKeypadWhenFree(session_, 15s)) return note_ = " (the keypad stayed locked)", false;
            const std::string guess = std::to_string(std::uniform_int_distribution(100000, 199999)(random)).substr(1);
            const std::size_t credits = session_.CommandCount("AddCredit| 2");
            const bool free = expected_->find("\n" + guess + "=UNUSED\r") != std::string::npos;
            Step("type", guess), ++guesses;
            if (session_.CommandCount("AddCredit| 2") - credits != (free ? 1u : 0u))
                return note_ = " (" + guess + ")", false;
            if (free) SetState(guess + "=USED"), ++found;
            wrongInARow = free ? 0 : wrongInARow + 1;
        }
        const double hours = std::chrono::duration<double>(Clock::now() - firstLock).count() / 3600;
        if (lockCycles > 0)
            PrintFigure("guessing: " + std::to_string(guesses) + " guesses, " + std::to_string(locks) + " locks, " +
                        std::to_string(found) + " valid codes found; " +
                        std::to_string(std::lround((guesses - guessesAtFirstLock) / hours)) +
                        " guesses per hour over whole lock cycles");
        return true;
    }

    // The return address is the hidden inbox and no window shows.
    bool Registered() {
        if (!WaitUntil([&] { return (appComm_ = Child(Keypad(), L"Edit", nullptr)) != nullptr; }, kTimeout)) return false;
        return WaitUntil([&] { return Commands() == kRegistered; }, kTimeout) &&
               session_.Host()->Received()[0].text == std::to_string(reinterpret_cast<INT_PTR>(appComm_)) + "|Register" &&
               !IsWindowVisible(appComm_) && module().VisibleWindows().empty();
    }

    // Sets a code's state in the expected bytes, the rest of its line and of the file as they were.
    void SetState(const std::string& codeAndState) {
        const std::size_t at = expected_->find(std::string(1, '\n').append(codeAndState, 0, codeAndState.find('=') + 1)) + 1;
        expected_->replace(at, expected_->find('\r', at) - at, codeAndState);
    }

    std::optional<std::string> OnDisk() { return is_regular_file(file_) ? std::optional(Bytes(file_)) : std::nullopt; }
    // The file must come to hold exactly the expected bytes with these "code=STATE" edits, and no temporary file beside.
    bool File(const std::string& edits) {
        std::istringstream items(edits);
        for (std::string item; items >> item;) SetState(item);
        return WaitUntil([&] { return OnDisk() == expected_ && !std::filesystem::exists(file_.string() + ".tmp"); },
                         kTimeout);
    }

    HostSession session_;
    std::filesystem::path file_ = session_.Folder() / "Codelist.ini";
    std::optional<std::string> expected_;
    std::optional<FileHold> hold_, journalHold_;
    HWND appComm_ = nullptr;
    Clock::time_point typed_{};
    std::string note_;
    int dpi_ = 96;
};

void RunRows(const std::vector<std::array<std::string, 3>>& rows) {
    for (const auto& row : rows) Scenario{row};
}

// 1000 free codes and no master code: every guess is a code.
const std::string kThousandFreeCodes = CodeListBytes("2", "", FreeCodes(1000));

// An entry the list cannot take is no wrong entry: the next one does not lock.
const std::string kOne = "12345=UNUSED\r\n", kThree = "12345=UNUSED\r\n23456=UNUSED\r\n34567=UNUSED\r\n",
                  kNotBooked = "open; type 12345; shows; open; type 12345; open; host; hold none;",
                  kTwoFailed =
                      "Code gebucht 12345,Buchung fehlgeschlagen 12345,Code gebucht 12345,Buchung fehlgeschlagen 12345,";

// Rows: name, Codelist.ini (empty: none), script. "host" lists the commands after the registration; "open" after a
// wrong entry shows that it did not lock.
// clang-format off
TEST(HostMode, GuestsAndTheHost) {
    RunRows({
        {"CodeEntryMasterAndLock", List("2", "12345=UNUSED\r\n00042=UNUSED\r\n99999=UNUSED\r\n77777=USED\r\n"),
         "start; send; send creditclick; send CreditClick ; send  CreditClick; send APPCLOSE; send 1|CreditClick; send \xC4ppClose;"
         "send CreditClickCreditClick; send CreditClick \xFC\x80; send AppClose\x01; send AppClose\r\n; huge; shows;"
         "open; type 12345; host ,AddCredit| 2; file 12345=USED; shows; open; type 12345; shows; host ,AddCredit| 2;"
         "file; open; type 00042; file 00042=USED; open; type 77777; open; type 1; cancel; shows; open; type 99999; shows Form1 1;"
         "file; open; type 11111; free; shows Form1 4; file 12345=UNUSED 00042=UNUSED 77777=UNUSED; open; type 12345; open;"
         "type 11111; open; type 22222; shows Info Form1 4; send CreditClick; shows Info Form1 4; press; shows Form1 4; send CreditClick;"
         "shows Info Form1 4; unlock Form1 4;"
         "open; type 11111; open; type 00042; host ,AddCredit| 2,AddCredit| 2,AddCredit| 2,AddCredit| 2;"
         "journal Hostmodus gestartet,Code gebucht 12345,Credits gesendet 12345,Falscheingabe,Code gebucht 00042,Credits gesendet 00042,"
         "Falscheingabe,Mastermenü geöffnet,Falscheingabe,Alle Codes freigegeben,Code gebucht 12345,Credits gesendet 12345,"
         "Falscheingabe,Falscheingabe,Sperre gestartet,Falscheingabe,Code gebucht 00042,Credits gesendet 00042"},
        {"BookedBeforeTheCreditAndAppCloseDuringIt", List("2", kOne),
         "keep; start; gap; open; type 1234; post 5; file 12345=USED; host; send AppClose; host ,AddCredit| 2; shows ended"},
        {"AHungHostIsBoundedAndOneCopyOnly", List("2", kOne), "start; second; open; type 1234; post 5; hang; file 12345=USED; open; type 12345; open"},
        // The host goes just before the check (the 5 s watch rarely ends the keypad first; then the row shows nothing).
        {"AHostGoneAtTheSendGetsTheCodeBack", List("2", kOne), "start; open; type 1234; host-gone; post 5; shows; file; given-back"},
        {"TheLockNoticeOutlivesTheHost", List("2", kOne),
         "start; open; type 11111; open; type 22222; shows Info; host-gone; watch; press; shows ended;"
         "journal Hostmodus gestartet,Falscheingabe,Falscheingabe,Sperre gestartet,Hostmodus beendet"},
        // A spreadsheet holds the journal: the lines wait and follow, in order, once it lets go.
        {"JournalHeldDuringThreeRedemptions", List("2", kThree), "start; journal Hostmodus gestartet; hold-journal write;"
         "open; type 12345; open; type 23456; open; type 34567; host ,AddCredit| 2,AddCredit| 2,AddCredit| 2;"
         "file 12345=USED 23456=USED 34567=USED; journal Hostmodus gestartet; hold-journal none; journal Hostmodus gestartet,"
         "Code gebucht 12345,Credits gesendet 12345,Code gebucht 23456,Credits gesendet 23456,Code gebucht 34567,Credits gesendet 34567"},
        // The journal's second line does not fit: it is taken back whole, and the bookings go on as before.
        {"FullDiskForTheJournal", List("2", kThree), "full; start; open; type 12345; host ,AddCredit| 2; file 12345=USED;"
         "open; type 23456; host ,AddCredit| 2,AddCredit| 2; file 23456=USED; journal Hostmodus gestartet"},
        {"ClosedHostWindow", List("2", kOne), "closed-ini; ends"},
        {"RandomGuessesUntilTheLock", kThousandFreeCodes, "start; guess 0; file"},
    });
}

TEST(HostMode, BadFiles) {
    RunRows({
        {"Utf16List", Utf16(List("3", kOne)), "start; open; type 12345; shows; open; type 12345; open; host; file"},
        {"Utf8ByteOrderMark", "\xEF\xBB\xBF" + List("-3", kOne + "54321=UNUSED\r\n"), "start; open; type 12345; host ,AddCredit|-3;"
         "file 12345=USED; disk 54321=USED; open; type 54321; open; host ,AddCredit|-3; delete; type 99999; shows Form1 0; free;"
         "shows Form1 0; file"},
        {"MissingList", "", "start; open; type 12345; open; type 54321; shows Info; file"},
        {"FolderInPlaceOfTheList", "", "folder; start; open; type 12345; open; type 54321; shows Info; file"},
        {"UnwritableList", List("2", kOne), "hold readonly; start;" + kNotBooked + "hold write;" + kNotBooked + "hold exclusive;" +
         kNotBooked + "file; open; type 12345; host ,AddCredit| 2; file 12345=USED; journal Hostmodus gestartet," + kTwoFailed +
         kTwoFailed + "Code gebucht 12345,Credits gesendet 12345"},
        {"ListHeldDuringStartUp", List("3.5", kOne), "hold exclusive; launch; pause 500; hold none; registered; open; type 12345; host ,AddCredit| 4"},
        // Quotes as installers and editors write them; a comment line is no code.
        {"HandEditedQuotesAndAComment", "[Einstellungen]\r\nCreditsPerCode=\"3\"\r\nMasterCode='99999'\r\n\r\n[Codes]\r\n;54321=UNUSED\r\n"
         "12345=\"UNUSED\"\r\n00042= 'UNUSED' \r\n", "start; open; type 12345; host ,AddCredit| 3; file 12345=USED; open; type 99999;"
         "shows Form1 1; open; type 54321; free; shows Form1 2; file 12345=UNUSED 00042=UNUSED; host ,AddCredit| 3"},
    });
}
// clang-format on

// Touch screens of jukeboxes run at 125 % and 150 %. Windows stretches (and blurs) the bitmap of a
// program that does not declare itself aware of the scale; Wine never does, so the file is read.
TEST(GuestWindows, AtThreeScalesWithRealTapsAndDrag) {
    EXPECT_NE(Bytes(ProgramPath()).find(">true</dpiAware>"), std::string::npos);
    const std::string steps =
        "look settings; start; open; look keypad; tap 00042; host ,AddCredit| 2; open; tap 99999;"
        "look master; drag; glyph; shows; open; type 11111; open; type 22222; look info";
    for (const std::string dpi : {"96", "120", "144"})
        RunRows({{dpi + " dpi", List("2", "00042=UNUSED\r\n12345=UNUSED\r\n"), "scale " + dpi + ";" + steps}});
    SetScale(96);
}

TEST(GuessingLongRun, RandomGuessesForFourMinutes) { RunRows({{"Guessing", kThousandFreeCodes, "start; guess 24; file"}}); }

}  // namespace
