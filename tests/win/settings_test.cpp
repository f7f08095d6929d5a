// The settings window created in this process over the test prefix's module folder, its messages
// recorded with the window's state: its layout and keys, every action on good, odd and unusable code
// list files and on a full disk (full_disk_shim.c, preloaded by CTest), and lists generated within one
// second.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "../unit/fake_system.h"
#include "codelist/codelist_export.h"
#include "codelist/open_with_shell_win.h"
#include "platform/profile_document.h"
#include "platform/waitable_timer.h"
#include "settings_driver.h"
#include "ui/res/resource.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

constexpr MessageStyle kStop = MessageStyle::stop, kInfo = MessageStyle::information;
const std::wstring kBreak = L"\r\n\r\n", kKept = kBreak + L"Die bisherige Codeliste ist unverändert geblieben.";

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST(InProcessSettings, AFixedDialogLaidOutTypedAndTabbedAsTheOperatorKnowsIt) {
    const fs::path folder = FreshModuleFolder();
    SettingsForm settings(folder);
    HWND window = settings.form.Handle(), owner = GetWindow(window, GW_OWNER);
    const int dpi = GetDeviceCaps(ScreenDc().get(), LOGPIXELSY);
    const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    RECT client{}, frame{};
    GetClientRect(window, &client), GetWindowRect(window, &frame);
    // Centred, neither sizeable nor maximizable; owned by a hidden window and no app window: no taskbar button.
    EXPECT_EQ(std::vector<LONG_PTR>({client.right, client.bottom, frame.left + frame.right, frame.top + frame.bottom,
                                     GetWindowLongW(window, GWL_STYLE) & (WS_OVERLAPPEDWINDOW | WS_POPUP),
                                     GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, owner && !IsWindowVisible(owner),
                                     SendMessageW(window, WM_GETICON, ICON_BIG, 0)}),
              std::vector<LONG_PTR>(
                  {px(4680), px(2745), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                   WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, true,
                   reinterpret_cast<LONG_PTR>(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM)))}));

    // In tab and stacking order, the group box beneath the controls; twips in the client area (a label may be
    // wider, as wide as its text); a button's type and line breaks, a box's alignment, lines and letters (the bits
    // are shared; the numeric test judges the texts), a label's alignment; a box's length. No push button is a
    // default button, which Enter would click.
    // clang-format off
    const std::tuple<int, const wchar_t*, int, int, int, int, LONG, LONG> places[] = {
        {kTxtNrOfCodes, L"Edit 250", 1680, 420, 615, 285, ES_CENTER, 4},
        {kCmdCreateCodelist, L"Button Start", 3720, 360, 735, 375, BS_PUSHBUTTON, 0},
        {kCmdCreateCodelistText, L"Button Auflistung aller Codes in Textdatei", 240, 840, 2175, 495, BS_MULTILINE, 0},
        {kCmdResetCodelist, L"Button Alles Codes freigeben", 2520, 840, 1935, 495, BS_PUSHBUTTON, 0},
        {kTxtCreditsPerCode, L"Edit 2", 3360, 1530, 495, 285, ES_CENTER, 2},
        {kTxtMasterCode, L"Edit ", 3360, 1920, 1215, 285, ES_CENTER, 5},
        {kCmdSave, L"Button Übernehmen", 3240, 2280, 1335, 375, BS_PUSHBUTTON, 0},
        {kLabel1, L"Static Jeder Code entspricht einem Kreditwert von:", 120, 1560, 3120, 195, 0, 0},
        {kLabel2, L"Static Neue Codeliste mit", 255, 480, 1320, 195, 0, 0},
        {kLabel3, L"Static Codes erzeugen", 2400, 480, 1155, 195, 0, 0},
        {kLabel4, L"Static Kredit(s)", 3960, 1560, 570, 195, 0, 0},
        {kLabel5, L"Static Mastercode (öffnet Mastermenü):", 120, 1920, 2340, 195, 0, 0},
        {kFrame1, L"Button Codeliste bearbeiten", 120, 120, 4455, 1335, BS_GROUPBOX, 0},
    };
    // clang-format on
    HWND control = GetWindow(window, GW_CHILD);
    for (const auto& [id, classAndText, left, top, width, height, style, limit] : places) {
        wchar_t kind[16] = {};
        GetClassNameW(control, kind, 16);
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        const bool label = kind[0] == L'S', box = kind[0] == L'E';
        const LONG shownWidth = rect.right - rect.left;
        EXPECT_EQ(std::vector<LONG>({GetDlgCtrlID(control), rect.left, rect.top, shownWidth, rect.bottom - rect.top,
                                     GetWindowLongW(control, GWL_STYLE) & (BS_TYPEMASK | BS_MULTILINE),
                                     GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, font.lfHeight, font.lfWeight,
                                     IsWindowVisible(control) && IsWindowEnabled(control),
                                     static_cast<LONG>(SendMessageW(control, EM_GETLIMITTEXT, 0, 0))}),
                  std::vector<LONG>({id, px(left), px(top), label ? std::max<LONG>(px(width), shownWidth) : px(width),
                                     px(height), style, box ? WS_EX_CLIENTEDGE : 0, -MulDiv(825, dpi, 7200),
                                     id == kCmdSave ? FW_BOLD : FW_NORMAL, true, limit}));
        EXPECT_EQ(kind + (L" " + settings.Text(id)) + L" " + font.lfFaceName,
                  classAndText + std::wstring(L" MS Sans Serif"));
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr) << "a control more";

    // Keys go through the program's own dispatch, which handles the dialog keys.
    ASSERT_TRUE(WaitUntil([&] { return GetFocus() == settings.Control(kTxtNrOfCodes); }, 5s))
        << "the focus starts in the count box";
    for (int i = 1; i <= 7; ++i) {  // the first seven take the focus in turn
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        DispatchWaitingMessages();
        EXPECT_EQ(GetFocus(), settings.Control(std::get<0>(places[i % 7]))) << i;
    }
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
    DispatchWaitingMessages();
    EXPECT_TRUE(settings.shown.empty() && settings.form.IsLoaded() && !fs::exists(folder / "Codelist.ini"))
        << "Enter or Escape clicked";
}

enum Action { reset, exportText, save, generate };

// What an action shows: '-' nothing, 'D' its work done (and the export opened), 'J' the same and then, once, that the
// journal could not be written, 'R' refused with a stop message, 'W' the text file not written.
Messages Shown(Action action, char outcome, const fs::path& folder) {
    const std::wstring list = kBreak + (folder / "Codelist.ini").wstring(),
                       text = kBreak + (folder / "Codelist.txt").wstring();
    // clang-format off
    const std::map<std::string, std::wstring> shown = {
        {"0D", Box(L"Codes wurden zurückgesetzt", L"Fertig", kInfo)},
        {"0R", Box(L"Die Codes konnten nicht freigegeben werden:" + list + kBreak + L"Die Codeliste ist unverändert geblieben.",
                   L"Codes nicht freigegeben", kStop)},
        {"1D", Box(L"Codeliste wurde in folgende Datei geschrieben:" + text, L"Fertig", kInfo)},
        {"1R", Box(L"Die Codeliste konnte nicht gelesen werden:" + list, L"Textdatei nicht geschrieben", kStop)},
        {"1W", Box(L"Die Textdatei konnte nicht geschrieben werden:" + text, L"Textdatei nicht geschrieben", kStop)},
        {"2D", Box(L"Einstellungen wurden gesichert!", L"Einstellungen gesichert", kInfo, false)},
        {"2R", Box(L"Die Einstellungen konnten nicht gesichert werden:" + list, L"Einstellungen nicht gesichert", kStop, false)},
        {"3D", Box(L"Codeliste wurde erstellt", L"Fertig", kInfo)},
        {"3R", Box(L"Die neue Codeliste konnte nicht gespeichert werden:" + list + kKept, L"Codeliste nicht erstellt", kStop)},
        {"J", Box(L"Das Journal konnte nicht geschrieben werden:" + kBreak + JournalPath(folder).wstring() + kBreak +
                  L"Codeliste und Einstellungen sind davon nicht betroffen. Diese Meldung erscheint nur einmal.",
                  L"Journal nicht geschrieben", MessageStyle::exclamation)},
    };
    // clang-format on
    const bool done = outcome == 'D' || outcome == 'J';
    Messages result;
    if (outcome != '-') result.push_back(shown.at(std::to_string(action) + (done ? 'D' : outcome)));
    if (outcome == 'J') result.push_back(shown.at("J"));
    if (action == exportText && done) result.push_back(L"opened " + (folder / "Codelist.txt").wstring());
    return result;
}

// A code list file as an editor, a disk or another program may leave it.
struct FileCase {
    const char* name;
    std::optional<std::string> bytes;  // nullopt: no file
    // A FileHold kind taken once the window has read the settings, or "full": the disk fills up then (full_disk_shim.c
    // cuts a write past 32 bytes short); "folder": one in the file's place from the start; "journal": one in the
    // journal's place, which the operator hears of once.
    std::string_view hold;
    bool read;  // the boxes show its 3 credits and master code 99999, not 2 and none
    // Shown by reset, export, saving 4 credits, generating three codes, and generating once the hold has ended ('.': not
    // clicked, as saving closes the window).
    const char* outcomes;
    std::size_t exported = 0;
    std::vector<std::pair<std::string, std::string>> resetEdits = {{"=USED", "=UNUSED"}};
};

std::vector<FileCase> FileCases() {
    const std::string heading = "[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\n\r\n";
    const std::string plain = CodeListBytes("3", "99999", {{"54321", "USED"}, {"12345", "UNUSED"}});
    std::string garbage(4096, '\0'), notes = heading + "[Notizen]\r\n", many = heading + "[Codes]\r\n";
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 2654435761u) >> 13);
    for (int i = 0; i < 100'000; ++i) notes.append("N").append(std::to_string(i)).append("=").append(92, 'x').append("\r\n");
    for (const std::string& code : SampleCodes(100'000)) many += code + (many.size() % 3 ? "=UNUSED\r\n" : "=USED\r\n");
    // clang-format off
    return {
        {"Missing", std::nullopt, "", false, "--.DD"},
        {"Empty", "", "", false, "DD.DD"},
        {"GarbageBeforeAList", garbage + "\r\n" + plain, "", true, "DDD..", 2},
        {"Utf16WithByteOrderMark", Utf16(plain), "", false, "RRRDD"},
        {"Utf8WithByteOrderMark", "\xEF\xBB\xBF" + plain, "", true, "DDD..", 2},
        {"TenMegabytes", notes + "[Codes]\r\n11111=USED\r\n12345=UNUSED\r\n", "", true, "DDD..", 2},
        {"LineOf100000Characters", heading + "[Codes]\r\n12345" + std::string(99'995, '6') + "=UNUSED\r\n11111=USED\r\n",
         "", true, "DD...", 2},
        {"HundredThousandCodes", many, "", true, "DD...", 100'000},
        {"DuplicateKeys", "[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\nCreditsPerCode=7\r\n\r\n[Codes]\r\n"
         "11111=USED\r\n11111=UNUSED\r\n22222=UNUSED\r\n22222=USED\r\n", "", true, "DD...", 4, {{"11111=USED", "11111=UNUSED"}}},
        {"ReadOnly", plain, "readonly", true, "RDRRD", 2},
        {"LockedForWriting", plain, "write", true, "RDRRD", 2},
        {"LockedExclusively", plain, "exclusive", true, "RRRRD"},
        {"FullDisk", plain, "full", true, "RWRRD"},
        {"FolderInItsPlace", std::nullopt, "folder", false, "--RRR"},
        {"FolderInTheJournalsPlace", plain, "journal", true, "JDD..", 2},
    };
    // clang-format on
}

// Each works by the profile rules, or the operator is told why and it stays byte for byte.
TEST(InProcessSettings, EveryCodeListFileWorksOrTheOperatorIsToldAndNothingChanges) {
    using Edits = std::vector<std::pair<std::string, std::string>>;
    for (const FileCase& row : FileCases()) {
        SCOPED_TRACE(row.name);
        const fs::path folder = FreshModuleFolder(), list = folder / "Codelist.ini", text = folder / "Codelist.txt";
        std::optional<std::string> expected = row.bytes;
        if (expected) WriteBytes(list, *expected);
        WriteBytes(text, "an older export");
        if (row.hold == "folder") fs::create_directories(list / "Unterordner");
        if (row.hold == "journal") fs::create_directories(JournalPath(folder) / "Unterordner");
        // Each action done has its line, with the count of codes or the credits.
        std::vector<std::string> journal;
        const std::string codes = std::to_string(row.exported) + " Codes";
        const std::string lines[] = {"Alle Codes freigegeben;;;" + codes + ", in den Einstellungen",
                                     "Codeliste exportiert;;;" + codes, "Einstellungen gesichert;;4;",
                                     "Codeliste erstellt;;" + std::string(row.read ? "3" : "2") + ";3 Codes"};
        for (int action = 0; action < 5; ++action)
            if (row.outcomes[action] == 'D' && row.hold != "journal") journal.push_back(lines[std::min(action, 3)]);
        SettingsForm settings(folder);
        EXPECT_EQ(settings.Text(kTxtCreditsPerCode) + L"/" + settings.Text(kTxtMasterCode), row.read ? L"3/99999" : L"2/");
        std::optional<FileHold> hold(std::in_place, list, row.hold);
        if (row.hold == "full") WriteBytes(folder / ".full-disk", "32");
        // Clicks unless '.'; then the list holds what it held, with the edits if the action was done (a new list apart).
        const auto act = [&](int button, Action action, char outcome, const Edits& edits = {}) {
            const bool done = outcome == 'D' || outcome == 'J';
            if (outcome != '.') {
                EXPECT_EQ(settings.Click(button), Shown(action, outcome, folder)) << action;
            }
            for (const auto& [from, to] : edits) expected = done ? ReplaceAll(*expected, from, to) : expected;
            EXPECT_TRUE((hold && row.hold == "exclusive") || (action == generate && done) ||
                        (row.hold == "folder" ? fs::is_directory(list / "Unterordner")
                         : expected           ? Bytes(list) == *expected
                                              : !fs::exists(list)))
                << "the list or the folder in its place is not as it should be after " << action;
            EXPECT_FALSE(fs::exists(folder / "Codelist.ini.tmp") || fs::exists(folder / "Codelist.txt.tmp"))
                << "a temporary file left";
            return done;
        };
        const auto generateThree = [&](char outcome) {
            settings.SetText(kTxtNrOfCodes, L"3");
            const std::string heading = row.read ? CodeListBytes("3", "99999", {}) : CodeListBytes("2", "", {});
            if (!act(kCmdCreateCodelist, generate, outcome)) return;
            const std::string bytes = Bytes(list);
            EXPECT_TRUE(bytes.starts_with(heading) && bytes.size() == heading.size() + 3 * 14)
                << "three codes with the settings as read, not as typed: " << bytes;
        };
        act(kCmdResetCodelist, reset, row.outcomes[0], row.resetEdits);
        const bool exported = act(kCmdCreateCodelistText, exportText, row.outcomes[1]);
        const std::string exportBytes = Bytes(text);
        EXPECT_EQ(std::count(exportBytes.begin(), exportBytes.end(), '\n'), exported ? 2 + row.exported : 0);
        EXPECT_NE(exportBytes == "an older export", exported) << "an export of an unreadable list, or a part of one";
        settings.SetText(kTxtCreditsPerCode, L"4");
        settings.SetText(kTxtMasterCode, L"99999");
        act(kCmdSave, save, row.outcomes[2], {{"CreditsPerCode=3\r", "CreditsPerCode=4\r"}});
        EXPECT_EQ(settings.form.IsLoaded(), row.outcomes[2] != 'D') << "saving closes the window, a failure keeps it open";
        generateThree(row.outcomes[3]);
        hold.reset();
        fs::remove(folder / ".full-disk");
        generateThree(row.outcomes[4]);
        EXPECT_EQ(JournalLines(folder), journal);
    }
}

// A new list carries the settings as read, not as typed, and replaces the old one whole; its export
// numbers every code and replaces an older, longer one whole. Unit tests check the digits' spread.
TEST(InProcessSettings, GenerationWritesNewFreeCodesEvenAtOneMomentAndTheExportNumbersThem) {
    const fs::path folder = FreshModuleFolder(), list = folder / "Codelist.ini", text = folder / "Codelist.txt";
    const std::string old = CodeListBytes("3.5", "123456789", {{"12345", "USED"}});
    WriteBytes(list, old);
    WriteBytes(text, std::string(20000, 'x'));
    std::optional<SettingsForm> settings(std::in_place, folder);
    EXPECT_EQ(settings->Text(kTxtCreditsPerCode) + L"/" + settings->Text(kTxtMasterCode), L"4/123456789")
        << "rounded; whole past the limit";
    settings->SetText(kTxtCreditsPerCode, L"9");
    settings->SetText(kTxtMasterCode, L"22222");
    settings->SetText(kTxtNrOfCodes, L"1001");
    EXPECT_EQ(
        settings->Click(kCmdCreateCodelist),
        Messages{Box(L"Die Anzahl der zu generierenden Codes muss zwischen 1 und 1000 liegen", L"Fehler!", kStop, false)});
    EXPECT_EQ(Bytes(list), old);
    settings->SetText(kTxtNrOfCodes, L"1000");
    EXPECT_EQ(settings->Click(kCmdCreateCodelist), Shown(generate, 'D', folder));
    const std::string bytes = Bytes(list);
    const auto generated = WholeCodeList(bytes);
    EXPECT_TRUE(generated && generated->size() == 1000 && bytes.find("=USED") == std::string::npos &&
                bytes.starts_with(CodeListBytes("4", "123456789", {})))
        << "not 1000 different free codes with the settings as read";
    EXPECT_EQ(settings->Click(kCmdCreateCodelistText), Shown(exportText, 'D', folder));
    EXPECT_EQ(Bytes(text), CodeListExportText(ProfileSectionLines(bytes, "Codes"))) << "not the list on the disk";
    FakeSystem noRandomness(1, 0.0f, 0);
    settings.emplace(folder, noRandomness);
    EXPECT_EQ(settings->Click(kCmdCreateCodelist),
              Messages{Box(L"Windows hat keine Zufallszahlen geliefert, daher wurde keine Codeliste erstellt." + kKept,
                           L"Codeliste nicht erstellt", kStop)});
    EXPECT_EQ(Bytes(list), bytes);

    // Two fresh windows, each with its own generator, at one moment of a clock that stands still: a generator seeded
    // from the time would repeat the list. Independent lists share 10 codes on average and 35 or more with a
    // probability of 3.2e-10.
    FakeSystem stillClock(1, 43200.0f);
    std::map<std::string, std::string> lists[2];
    for (auto& codes : lists) {
        settings.emplace(folder, SystemRandomSource(), stillClock);
        settings->SetText(kTxtNrOfCodes, L"1000");
        settings->Click(kCmdCreateCodelist);
        codes = WholeCodeList(Bytes(list)).value_or(codes);
    }
    EXPECT_EQ(lists[0].size() + lists[1].size(), 2000u);
    EXPECT_LE(std::ranges::count_if(lists[0], [&](const auto& code) { return lists[1].contains(code.first); }), 34);
}

// What the export asks of the shell, done for a file whose program ends by itself: a batch file that leaves a mark,
// under a name that has blanks and an umlaut.
TEST(InProcessSettings, TheShellOpensTheFileItIsGiven) {
    const fs::path folder = FreshModuleFolder(), batch = folder / L"Öffnen mit Leerzeichen.bat";
    WriteBytes(batch, "@echo opened> \"" + (folder / "mark").string() + "\"\r\n");
    OpenWithShell(nullptr, batch.wstring());
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(folder / "mark"); }, 15s)) << "nothing ran the file";
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

TEST(InProcessSettings, SavingChecksBothTextsInTheUsersNumberFormatAndWritesThemAsTyped) {
    const wchar_t* const kCredits = L"Bitte gültigen Wert für den Kreditwert eingeben!";
    const wchar_t* const kMaster = L"Der Mastercode darf ausschließlich aus Zahlen bestehen!";
    const wchar_t* const kListed =
        L"Der Mastercode ist zugleich ein Code der Codeliste! Bitte einen anderen Mastercode eingeben.";
    // clang-format off
    const struct { bool german; std::string credits, masterCode; const wchar_t* refusal; } rows[] = {
        {true, "1,000.5", "12345", kCredits}, {true, "1.000,5", "00777", nullptr}, {false, "1.000,5", "12345", kCredits},
        {false, "2.5", "1e3", nullptr},
        {false, "40000", "", kCredits},  // the credits first; no 16-bit number, typed by a program past the limit
        {false, "5", "12a", kMaster}, {false, "5", "12345", kListed},  // the keypad would take it for the master code
    };
    // clang-format on
    const fs::path folder = FreshModuleFolder(), list = folder / "Codelist.ini";
    const std::string old = CodeListBytes("2", "11111", {{"12345", "USED"}});
    for (const auto& row : rows) {
        SCOPED_TRACE((row.german ? "German " : "English ") + row.credits + " " + row.masterCode);
        WriteBytes(list, old);
        UserNumberFormat format(row.german);
        SettingsForm settings(folder);
        settings.SetText(kTxtCreditsPerCode, std::wstring(row.credits.begin(), row.credits.end()));
        settings.SetText(kTxtMasterCode, std::wstring(row.masterCode.begin(), row.masterCode.end()));
        EXPECT_EQ(settings.Click(kCmdSave),
                  row.refusal ? Messages{Box(row.refusal, kApplicationTitle, MessageStyle::exclamation, false)}
                              : Shown(save, 'D', folder));
        EXPECT_EQ(settings.form.IsLoaded(), row.refusal != nullptr) << "saving closes the window, a refusal keeps it open";
        EXPECT_EQ(Bytes(list), row.refusal ? old : CodeListBytes(row.credits, row.masterCode, {{"12345", "USED"}}));
    }
}

}  // namespace
