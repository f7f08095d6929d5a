// The settings window created in this process over the test prefix's module folder, its messages
// recorded with the window's state: every action on good, odd and unusable code list files.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "../unit/fake_system.h"
#include "app/forms.h"
#include "app/startup.h"
#include "codelist/frm_einstellungen.h"
#include "platform/waitable_timer.h"
#include "settings_driver.h"
#include "ui/res/resource.h"

using namespace codeeingabe;
using namespace codeeingabe::test;
namespace fs = std::filesystem;

namespace {

// A message as the operator reads it; busy: with the hourglass and every control disabled.
std::wstring Box(const std::wstring& text, const std::wstring& title, MessageStyle style, bool busy) {
    return text + L" | " + title + L" | " + std::to_wstring(static_cast<UINT>(style)) + (busy ? L" | busy" : L"");
}
using Messages = std::vector<std::wstring>;
constexpr MessageStyle kStop = MessageStyle::stop, kInfo = MessageStyle::information;
const std::wstring kBreak = L"\r\n\r\n", kKept = kBreak + L"Die bisherige Codeliste ist unverändert geblieben.";

enum Action { reset, exportText, save, generate };

// What an action shows: '-' nothing, 'D' its work done, 'R' refused with a stop message.
Messages Shown(Action action, char outcome, const fs::path& folder) {
    if (outcome == '-') return {};
    const std::wstring list = kBreak + (folder / "Codelist.ini").wstring();
    const std::wstring shown[4][2] = {
        {Box(L"Codes wurden zurückgesetzt", L"Fertig", kInfo, true),
         Box(L"Die Codes konnten nicht freigegeben werden:" + list + kBreak + L"Die Codeliste ist unverändert geblieben.",
             L"Codes nicht freigegeben", kStop, true)},
        {Box(L"Codeliste wurde in folgende Datei geschrieben:" + kBreak + (folder / "Codelist.txt").wstring(), L"Fertig",
             kInfo, true),
         Box(L"Die Codeliste konnte nicht gelesen werden:" + list, L"Textdatei nicht geschrieben", kStop, true)},
        {Box(L"Einstellungen wurden gesichert!", L"Einstellungen gesichert", kInfo, false),
         Box(L"Die Einstellungen konnten nicht gesichert werden:" + list, L"Einstellungen nicht gesichert", kStop, false)},
        {Box(L"Codeliste wurde erstellt", L"Fertig", kInfo, true),
         Box(L"Die neue Codeliste konnte nicht gespeichert werden:" + list + kKept, L"Codeliste nicht erstellt", kStop,
             true)},
    };
    return {shown[action][outcome == 'R']};
}

// Another program's hold on a file for as long as this lives. Wine running as root ignores the
// read-only attribute: only the program's own check refuses to write such a file.
enum class Hold { none, readOnly, writeLocked, exclusive, folder };
class FileHold {
public:
    FileHold(Hold hold, const fs::path& file) : file_(file), hold_(hold) {
        if (hold == Hold::readOnly) SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
        if (hold != Hold::writeLocked && hold != Hold::exclusive) return;
        const DWORD share = hold == Hold::writeLocked ? FILE_SHARE_READ : 0;
        handle_.reset(CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_NE(handle_.get(), INVALID_HANDLE_VALUE);
    }
    ~FileHold() {
        handle_.reset();
        if (hold_ == Hold::readOnly) SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

private:
    fs::path file_;
    Hold hold_;
    UniqueHandle handle_;
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::vector<std::pair<std::string, std::string>> EveryThirdUsed(int n) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& code : SampleCodes(n)) entries.emplace_back(code, entries.size() % 3 == 1 ? "USED" : "UNUSED");
    return entries;
}

// The window of this process as start-up shows it; the recorder notes each message with the
// window's state meanwhile.
class InProcessSettings : public ::testing::Test {
protected:
    void TearDown() override { Close(); }
    void Close() {
        // An export's viewer left running would hold the test's output open.
        CloseViewerOf(GetCurrentProcessId(), 0s);
        if (form_) form_->Unload();
        form_.reset();
        forms_.reset();
        // The last unloaded window ends the message loop: its quit message must not reach the next window.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HWND Open(const fs::path& folder, RandomSource& random = SystemRandomSource()) {
        Close();
        const codeeingabe::Settings read = ReadSettings((folder / "Codelist.ini").wstring());
        values_ = {folder.wstring(), read.creditsPerCode, read.masterCode};
        forms_ = std::make_unique<Forms>(values_);
        form_ = std::make_unique<FrmEinstellungen>(
            *forms_, values_, random, SystemTimeOfDay(),
            [this](HWND, const std::wstring& text, const std::wstring& title, MessageStyle style) {
                shown_.push_back(Box(text, title, style, Busy()));
            });
        form_->Show();
        return form_->Handle();
    }
    bool Busy() {
        SendMessageW(form_->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form_->Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        bool busy = GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
        for (HWND child = GetWindow(form_->Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            busy = busy && !IsWindowEnabled(child);
        }
        return busy;
    }
    HWND Control(int id) const { return GetDlgItem(form_->Handle(), id); }
    std::wstring Text(int id) const {
        wchar_t text[256] = {};
        GetWindowTextW(Control(id), text, 256);
        return text;
    }
    void SetText(int id, const std::wstring& text) { SetWindowTextW(Control(id), text.c_str()); }
    Messages Click(int id) {
        shown_.clear();
        SendMessageW(Control(id), BM_CLICK, 0, 0);
        return shown_;
    }

    ProcessValues values_;
    std::unique_ptr<Forms> forms_;
    std::unique_ptr<FrmEinstellungen> form_;
    Messages shown_;
};

void SetClipboardText(const std::wstring& text) {
    ASSERT_TRUE(WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5s));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

TEST_F(InProcessSettings, AFixedDialogLaidOutTypedAndTabbedAsTheOperatorKnowsIt) {
    const fs::path folder = FreshModuleFolder();
    HWND window = Open(folder);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    const LONG frameStyles = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & frameStyles, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    ASSERT_NE(GetWindow(window, GW_OWNER), nullptr) << "an owned window gets no taskbar button";
    EXPECT_FALSE(IsWindowVisible(GetWindow(window, GW_OWNER)));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)),
              LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM)));
    RECT client{}, frame{};
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    EXPECT_EQ(std::vector<LONG>({client.right, client.bottom, frame.left + frame.right, frame.top + frame.bottom}),
              std::vector<LONG>({px(4680), px(2745), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}))
        << "centred on the screen";

    // Twips in the client area (a label may be wider); a button's type and line breaks, a box's
    // alignment. No push button is a default button, which Enter would click.
    // clang-format off
    const std::tuple<int, const wchar_t*, int, int, int, int, LONG> places[] = {
        {kFrame1, L"Button Codeliste bearbeiten", 120, 120, 4455, 1335, BS_GROUPBOX},
        {kLabel2, L"Static Neue Codeliste mit", 255, 480, 1320, 195, 0},
        {kTxtNrOfCodes, L"Edit 250", 1680, 420, 615, 285, ES_CENTER},
        {kLabel3, L"Static Codes erzeugen", 2400, 480, 1155, 195, 0},
        {kCmdCreateCodelist, L"Button Start", 3720, 360, 735, 375, BS_PUSHBUTTON},
        {kCmdCreateCodelistText, L"Button Auflistung aller Codes in Textdatei", 240, 840, 2175, 495, BS_MULTILINE},
        {kCmdResetCodelist, L"Button Alles Codes freigeben", 2520, 840, 1935, 495, BS_PUSHBUTTON},
        {kLabel1, L"Static Jeder Code entspricht einem Kreditwert von:", 120, 1560, 3120, 195, 0},
        {kTxtCreditsPerCode, L"Edit 2", 3360, 1530, 495, 285, ES_CENTER},
        {kLabel4, L"Static Kredit(s)", 3960, 1560, 570, 195, 0},
        {kLabel5, L"Static Mastercode (öffnet Mastermenü):", 120, 1920, 2340, 195, 0},
        {kTxtMasterCode, L"Edit ", 3360, 1920, 1215, 285, ES_CENTER},
        {kCmdSave, L"Button Übernehmen", 3240, 2280, 1335, 375, BS_PUSHBUTTON},
    };
    // clang-format on
    int children = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++children;
    EXPECT_EQ(children, static_cast<int>(std::size(places)));
    for (const auto& [id, classAndText, left, top, width, height, style] : places) {
        HWND control = Control(id);
        wchar_t className[16] = {};
        GetClassNameW(control, className, 16);
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        const bool label = className == std::wstring(L"Static");
        const LONG mask = label ? 0 : className == std::wstring(L"Edit") ? ES_CENTER : BS_TYPEMASK | BS_MULTILINE;
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        const LONG shownWidth = rect.right - rect.left;
        EXPECT_EQ(
            std::vector<LONG>({rect.left, rect.top, shownWidth, rect.bottom - rect.top}),
            std::vector<LONG>({px(left), px(top), label ? std::max<LONG>(px(width), shownWidth) : px(width), px(height)}))
            << id;
        EXPECT_EQ(std::vector<LONG>({GetWindowLongW(control, GWL_STYLE) & mask, font.lfHeight, font.lfWeight}),
                  std::vector<LONG>({style, -MulDiv(825, dpi, 7200), id == kCmdSave ? FW_BOLD : FW_NORMAL}))
            << id;
        EXPECT_EQ(std::wstring(className) + L" " + Text(id) + L" " + font.lfFaceName,
                  classAndText + std::wstring(L" MS Sans Serif"));
        EXPECT_TRUE(IsWindowVisible(control) && IsWindowEnabled(control)) << id;
    }
    EXPECT_EQ(GetWindow(Control(kFrame1), GW_HWNDNEXT), nullptr) << "the group box lies beneath the controls";

    for (const auto& [id, limit] : {std::pair{kTxtNrOfCodes, 4}, {kTxtCreditsPerCode, 2}, {kTxtMasterCode, 5}}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(GetWindowLongW(Control(id), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        SetText(id, L"");
        for (wchar_t c : std::wstring(L"a,9x7.-5")) SendMessageW(Control(id), WM_CHAR, c, 0);
        EXPECT_EQ(Text(id), std::wstring(L"a,9x7.-5").substr(0, limit)) << "typed";
        SetText(id, L"");
        SetClipboardText(L"98765432");
        SendMessageW(Control(id), WM_PASTE, 0, 0);
        EXPECT_EQ(Text(id), std::wstring(L"98765432").substr(0, limit)) << "pasted";
    }

    // Keys go through the program's own dispatch, which handles the dialog keys.
    ASSERT_TRUE(WaitUntil([&] { return GetFocus() == Control(kTxtNrOfCodes); }, 5s)) << "the focus starts in the count box";
    for (int next : {kCmdCreateCodelist, kCmdCreateCodelistText, kCmdResetCodelist, kTxtCreditsPerCode, kTxtMasterCode,
                     kCmdSave, kTxtNrOfCodes}) {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        DispatchWaitingMessages();
        EXPECT_EQ(GetFocus(), Control(next)) << next;
    }
    for (int id : {kTxtNrOfCodes, kTxtCreditsPerCode, kTxtMasterCode}) {
        SetFocus(Control(id));
        for (WPARAM key : {VK_RETURN, VK_ESCAPE}) PostMessageW(Control(id), WM_KEYDOWN, key, 0);
        DispatchWaitingMessages();
    }
    EXPECT_TRUE(shown_.empty() && form_->IsLoaded()) << "Enter and Escape click nothing";
    EXPECT_FALSE(fs::exists(folder / "Codelist.ini"));
}

// A code list file as an editor, a disk or another program may leave it, and what each action does
// with it: the file works by the profile rules or stays byte for byte as it was.
struct FileCase {
    const char* name;
    std::optional<std::string> bytes;  // nullopt: no file
    Hold hold;                         // taken once the window has read the settings; a folder before
    bool read;                         // the boxes show its 3 credits and master code 99999, not 2 and none
    const char* outcomes;              // of reset, export, saving 4 credits, generating three codes
    std::size_t exportedCodes = 0;
    std::string (*afterReset)(std::string) = [](std::string list) { return ReplaceAll(list, "=USED", "=UNUSED"); };
};

std::vector<FileCase> FileCases() {
    const std::string heading = "[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\n\r\n";
    const std::string plain = CodeListBytes("3", "99999", {{"54321", "USED"}, {"12345", "UNUSED"}});
    std::string garbage(65536, '\0'), utf16 = "\xFF\xFE", notes = heading + "[Notizen]\r\n";
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 2654435761u) >> 13);
    for (char c : plain) utf16.append({c, '\0'});
    for (int i = 0; i < 100'000; ++i) notes.append("N").append(std::to_string(i)).append("=").append(92, 'x').append("\r\n");
    return {
        {"Missing", std::nullopt, Hold::none, false, "---D"},
        {"Empty", "", Hold::none, false, "DD-D"},
        {"BinaryGarbage", garbage, Hold::none, false, "DD-D"},
        {"GarbageBeforeAList", garbage.substr(0, 4096) + "\r\n" + plain, Hold::none, true, "DDD-", 2},
        {"Utf16WithByteOrderMark", utf16, Hold::none, false, "RRRD"},
        {"Utf8WithByteOrderMark", "\xEF\xBB\xBF" + plain, Hold::none, true, "DDD-", 2},
        {"TenMegabytes", notes + "[Codes]\r\n11111=USED\r\n12345=UNUSED\r\n", Hold::none, true, "DDD-", 2},
        {"LineOf100000Characters",
         heading + "[Codes]\r\n12345" + std::string(99'995, '6') + "=UNUSED\r\n11111=USED\r\n54321=UNUSED\r\n", Hold::none,
         true, "DD--", 3},
        {"HundredThousandCodes", CodeListBytes("3", "99999", EveryThirdUsed(100'000)), Hold::none, true, "DD--", 100'000},
        {"DuplicateKeys",
         "[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\nCreditsPerCode=7\r\n\r\n[Codes]\r\n"
         "11111=USED\r\n11111=UNUSED\r\n22222=UNUSED\r\n22222=USED\r\n",
         Hold::none, true, "DD--", 4, [](std::string bytes) { return ReplaceAll(bytes, "11111=USED", "11111=UNUSED"); }},
        {"BlanksTabsAndOddCase",
         "[ eInStElLuNgEn ]\r\n creditsPERcode = 3 \r\n\tMASTERCODE\t=\t99999\t\r\n\r\n[\tcodes\t]\r\n"
         " 12345 = UNUSED \r\n\t54321\t=\tUNUSED\r\n11111=unused\r\n 22222 =USED\r\n",
         Hold::none, true, "DD--", 4,
         [](std::string bytes) {
             for (const char* value : {"= UNUSED ", "=\tUNUSED", "=unused", "=USED"})
                 bytes = ReplaceAll(bytes, value, "=UNUSED");
             return bytes;
         }},
        {"RepeatedSections",
         "[Codes]\r\n11111=UNUSED\r\n[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\n[Codes]\r\n"
         "22222=UNUSED\r\n33333=USED\r\n[Einstellungen]\r\nCreditsPerCode=7\r\n",
         Hold::none, true, "DD--", 3},
        {"CrOnlyLineEnds", ReplaceAll(plain, "\r\n", "\r"), Hold::none, true, "DD--", 2},
        {"LfOnlyLineEnds", ReplaceAll(plain, "\r\n", "\n"), Hold::none, true, "DD--", 2},
        {"NoFinalLineEnd", plain.substr(0, plain.size() - 2), Hold::none, true, "DD--", 2},
        {"ReadOnly", plain, Hold::readOnly, true, "RDRR", 2},
        {"LockedForWriting", plain, Hold::writeLocked, true, "RDRR", 2},
        {"LockedExclusively", plain, Hold::exclusive, true, "RRRR"},
        {"FolderInItsPlace", std::nullopt, Hold::folder, false, "--RR"},
    };
}

TEST_F(InProcessSettings, EveryCodeListFileWorksOrTheOperatorIsToldAndNothingChanges) {
    for (const FileCase& row : FileCases()) {
        SCOPED_TRACE(row.name);
        const fs::path folder = FreshModuleFolder(), list = folder / "Codelist.ini", text = folder / "Codelist.txt";
        std::optional<std::string> expected = row.bytes;
        if (expected) WriteBytes(list, *expected);
        if (row.hold == Hold::folder) fs::create_directories(list / "Unterordner");
        const auto unchanged = [&](Hold hold) {
            if (hold == Hold::exclusive) return;  // not even this test may read it now
            EXPECT_TRUE(row.hold == Hold::folder ? fs::is_directory(list / "Unterordner")
                        : expected               ? ReadBytes(list) == *expected
                                                 : !fs::exists(list))
                << "the list or the folder in its place changed";
            EXPECT_FALSE(fs::exists(folder / "Codelist.ini.tmp"));
        };
        Open(folder);
        EXPECT_EQ(Text(kTxtCreditsPerCode) + L"/" + Text(kTxtMasterCode), row.read ? L"3/99999" : L"2/");
        {
            FileHold hold(row.hold, list);
            EXPECT_EQ(Click(kCmdResetCodelist), Shown(reset, row.outcomes[0], folder));
            if (row.outcomes[0] == 'D') expected = row.afterReset(*expected);
            unchanged(row.hold);

            EXPECT_EQ(Click(kCmdCreateCodelistText), Shown(exportText, row.outcomes[1], folder));
            const std::string exported = ReadBytes(text);
            EXPECT_EQ(static_cast<std::size_t>(std::count(exported.begin(), exported.end(), '\n')),
                      row.outcomes[1] == 'D' ? 2 + row.exportedCodes : 0);
            EXPECT_EQ(fs::exists(text), row.outcomes[1] == 'D') << "no empty export of an unreadable list";
            EXPECT_EQ(CloseViewerOf(GetCurrentProcessId(), row.outcomes[1] == 'D' ? 10s : 0s), row.outcomes[1] == 'D')
                << "the shell opened the export, and only that";
            unchanged(row.hold);

            SetText(kTxtCreditsPerCode, L"4");
            if (Text(kTxtMasterCode).empty()) SetText(kTxtMasterCode, L"12345");  // past the numeric test
            if (row.outcomes[2] == 'R') {
                EXPECT_EQ(Click(kCmdSave), Shown(save, 'R', folder));
                EXPECT_TRUE(form_->IsLoaded()) << "a failed save keeps the window open";
                unchanged(row.hold);
            }
            SetText(kTxtNrOfCodes, L"3");
            if (row.outcomes[3] != '-') {
                EXPECT_EQ(Click(kCmdCreateCodelist), Shown(generate, row.outcomes[3], folder));
            }
        }
        const std::string bytes = ReadBytes(list);
        if (row.outcomes[3] == 'D') {
            EXPECT_EQ(bytes.substr(0, bytes.find("[Codes]")), "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n");
            EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 5 + 3);
        } else {
            unchanged(Hold::none);
        }
        if (row.outcomes[2] == 'D') {
            EXPECT_EQ(Click(kCmdSave), Shown(save, 'D', folder));
            EXPECT_TRUE(ReadBytes(list) == ReplaceAll(bytes, "CreditsPerCode=3\r", "CreditsPerCode=4\r"))
                << "one value changed";
        }
    }
}

TEST_F(InProcessSettings, GenerationReplacesTheListWholeWithDifferentEvenlySpreadFreeCodes) {
    const fs::path folder = FreshModuleFolder(), list = folder / "Codelist.ini";
    const std::string old = CodeListBytes("3.5", "123456789", EveryThirdUsed(20));
    WriteBytes(list, old);
    Open(folder);
    EXPECT_EQ(Text(kTxtCreditsPerCode) + L"/" + Text(kTxtMasterCode), L"4/123456789")
        << "rounded; shown whole past the limit";
    SetText(kTxtCreditsPerCode, L"9");  // unsaved: the list carries the settings as read
    SetText(kTxtMasterCode, L"22222");
    for (const wchar_t* count : {L"1001", L"0", L"abc"}) {
        SetText(kTxtNrOfCodes, count);
        EXPECT_EQ(Click(kCmdCreateCodelist),
                  Messages{Box(L"Die Anzahl der zu generierenden Codes muss zwischen 1 und 1000 liegen", L"Fehler!", kStop,
                               false)});
    }
    EXPECT_EQ(ReadBytes(list), old);
    const std::string heading = "[Einstellungen]\r\nCreditsPerCode=4\r\nMasterCode=123456789\r\n\r\n[Codes]\r\n";
    for (std::size_t n : {1u, 1000u}) {
        SCOPED_TRACE(n);
        SetText(kTxtNrOfCodes, std::to_wstring(n));
        EXPECT_EQ(Click(kCmdCreateCodelist), Shown(generate, 'D', folder));
        const std::string bytes = ReadBytes(list);
        ASSERT_EQ(bytes.size(), heading.size() + 14 * n);
        EXPECT_EQ(bytes.substr(0, heading.size()), heading);
        std::set<std::string> codes;
        std::array<double, 10> digits{};
        for (std::size_t at = heading.size(); at < bytes.size(); at += 14) {
            const std::string line = bytes.substr(at, 14);
            ASSERT_TRUE(line.find_first_not_of("0123456789") == 5 && line.substr(5) == "=UNUSED\r\n") << line;
            codes.insert(line.substr(0, 5));
            for (char digit : line.substr(0, 5)) ++digits[static_cast<std::size_t>(digit - '0')];
        }
        EXPECT_EQ(codes.size(), n) << "all different";
        // The system's generator through the window: a uniform source of 5000 digits exceeds the
        // limit less than once in a million runs.
        double chiSquare = 0;
        for (double count : digits) chiSquare += (count - n / 2.0) * (count - n / 2.0) / (n / 2.0);
        EXPECT_LT(n == 1000 ? chiSquare : 0, 45.0);
    }
    FakeSystem noRandomness(1, 0.0f, 0);
    Open(folder, noRandomness);
    const std::string kept = ReadBytes(list);
    EXPECT_EQ(Click(kCmdCreateCodelist),
              Messages{Box(L"Windows hat keine Zufallszahlen geliefert, daher wurde keine Codeliste erstellt." + kKept,
                           L"Codeliste nicht erstellt", kStop, true)});
    EXPECT_EQ(ReadBytes(list), kept);
}

TEST_F(InProcessSettings, ExportNumbersEveryCodeAndAFailedOneKeepsTheOldText) {
    const fs::path folder = FreshModuleFolder(), list = folder / "Codelist.ini", text = folder / "Codelist.txt";
    const auto codes = EveryThirdUsed(10);
    WriteBytes(list, CodeListBytes("+5", "00777", codes));
    WriteBytes(text, std::string(5000, 'x'));  // an older, longer export is replaced whole
    Open(folder);
    EXPECT_EQ(Click(kCmdCreateCodelistText), Shown(exportText, 'D', folder));
    std::string expected = "CodeNr.: \tCode:\r\n\r\n";
    for (std::size_t i = 0; i < codes.size(); ++i) expected += std::to_string(i + 1) + ":\t\t" + codes[i].first + "\r\n";
    EXPECT_EQ(ReadBytes(text), expected);
    EXPECT_TRUE(CloseViewerOf(GetCurrentProcessId(), 10s)) << "the shell opened the export";
    {
        FileHold held(Hold::writeLocked, text);
        EXPECT_EQ(Click(kCmdCreateCodelistText),
                  Messages{Box(L"Die Textdatei konnte nicht geschrieben werden:" + kBreak + text.wstring(),
                               L"Textdatei nicht geschrieben", kStop, true)});
    }
    EXPECT_EQ(ReadBytes(text), expected);
}

// The user's regional number format, as the Control Panel sets it, for as long as this lives;
// then the test prefix's own (LANG=C.UTF-8).
struct UserNumberFormat {
    explicit UserNumberFormat(bool german) { Set(german ? L"," : L".", german ? L"." : L","); }
    ~UserNumberFormat() { Set(L".", L","); }
    static void Set(const wchar_t* decimal, const wchar_t* grouping) {
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal);
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, grouping);
    }
};

TEST_F(InProcessSettings, SavingChecksBothTextsInTheUsersNumberFormatAndWritesThemAsTyped) {
    const wchar_t* const kCredits = L"Bitte gültigen Wert für den Kreditwert eingeben!";
    const wchar_t* const kMaster = L"Der Mastercode darf ausschließlich aus Zahlen bestehen!";
    struct Row {
        bool german;
        std::string credits, masterCode;
        const wchar_t* refusal;  // nullptr: saved, giving this many credits per code
        int creditsPerCode = 0;
    };
    // clang-format off
    // clang-format off
    const Row rows[] = {
        {true, "1,5", "12345", nullptr, 1},  // the comma ends the number, in every format
        {true, "1,000.5", "12345", kCredits},
        {false, "1,000.5", "12345", nullptr, 1},
        {false, "1.000,5", "12345", kCredits},
        {false, "2.5", "00777", nullptr, 2},  // halves to the even number
        {false, "+5", "1e3", nullptr, 5},
        {false, "ab", "", kCredits},  // the credits first
        {false, "5", "12a", kMaster},
        {false, "40000", "12345", kCredits},  // no 16-bit number, typed by a program past the limit
    };
    // clang-format on
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE((row.german ? "German " : "English ") + row.credits + " " + row.masterCode);
        const fs::path folder = FreshModuleFolder(), list = folder / "Codelist.ini";
        const std::string old = CodeListBytes("2", "11111", EveryThirdUsed(3));
        WriteBytes(list, old);
        UserNumberFormat format(row.german);
        Open(folder);
        SetText(kTxtCreditsPerCode, std::wstring(row.credits.begin(), row.credits.end()));
        SetText(kTxtMasterCode, std::wstring(row.masterCode.begin(), row.masterCode.end()));
        if (row.refusal != nullptr) {
            EXPECT_EQ(Click(kCmdSave), Messages{Box(row.refusal, kApplicationTitle, MessageStyle::exclamation, false)});
            EXPECT_TRUE(form_->IsLoaded()) << "the window stays open";
            EXPECT_EQ(ReadBytes(list), old);
            continue;
        }
        EXPECT_EQ(Click(kCmdSave), Shown(save, 'D', folder));
        EXPECT_FALSE(form_->IsLoaded()) << "saving closes the window";
        EXPECT_EQ(ReadBytes(list), CodeListBytes(row.credits, row.masterCode, EveryThirdUsed(3)))
            << "both as typed, nothing else";
        EXPECT_EQ(values_.creditsPerCode, row.creditsPerCode);
        EXPECT_EQ(values_.masterCode, row.masterCode);
    }
}

}  // namespace
