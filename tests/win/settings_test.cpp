// The settings window created in this process over the test prefix's module folder, with its
// messages recorded: every action on good, odd and unusable code list files.
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

#include <tlhelp32.h>  // after <windows.h>

using namespace codeeingabe;
using namespace codeeingabe::test;
namespace fs = std::filesystem;

namespace {

struct Message {
    std::wstring text, title;
    MessageStyle style;
    bool busy;  // hourglass and every control disabled while it shows
    bool operator==(const Message&) const = default;
};
void PrintTo(const Message& m, std::ostream* out) {
    *out << ::testing::PrintToString(m.text) << " / " << ::testing::PrintToString(m.title) << " style "
         << static_cast<UINT>(m.style) << (m.busy ? " busy" : " idle");
}
using Messages = std::vector<Message>;

constexpr MessageStyle kStop = MessageStyle::stop, kInfo = MessageStyle::information;
const std::wstring kBreak = L"\r\n\r\n";
const std::wstring kKeptList = kBreak + L"Die bisherige Codeliste ist unverändert geblieben.";
const Message kCountRefused{L"Die Anzahl der zu generierenden Codes muss zwischen 1 und 1000 liegen", L"Fehler!", kStop,
                            false};

enum class Action { reset, exportText, save, generate };
enum class Did { nothing, done, refused };

// What the operator reads after an action on the list in the folder.
Messages Shown(Action action, Did did, const fs::path& folder) {
    const std::wstring list = kBreak + (folder / "Codelist.ini").wstring(),
                       text = kBreak + (folder / "Codelist.txt").wstring();
    const bool done = did == Did::done;
    if (did == Did::nothing) return {};
    switch (action) {
        case Action::reset:
            return {done ? Message{L"Codes wurden zurückgesetzt", L"Fertig", kInfo, true}
                         : Message{L"Die Codes konnten nicht freigegeben werden:" + list + kBreak +
                                       L"Die Codeliste ist unverändert geblieben.",
                                   L"Codes nicht freigegeben", kStop, true}};
        case Action::exportText:
            return {done ? Message{L"Codeliste wurde in folgende Datei geschrieben:" + text, L"Fertig", kInfo, true}
                         : Message{L"Die Codeliste konnte nicht gelesen werden:" + list, L"Textdatei nicht geschrieben",
                                   kStop, true}};
        case Action::save:
            return {done ? Message{L"Einstellungen wurden gesichert!", L"Einstellungen gesichert", kInfo, false}
                         : Message{L"Die Einstellungen konnten nicht gesichert werden:" + list,
                                   L"Einstellungen nicht gesichert", kStop, false}};
        case Action::generate:
            return {done ? Message{L"Codeliste wurde erstellt", L"Fertig", kInfo, true}
                         : Message{L"Die neue Codeliste konnte nicht gespeichert werden:" + list + kKeptList,
                                   L"Codeliste nicht erstellt", kStop, true}};
    }
    return {};
}

// Another program's hold on a file for as long as this lives. Wine running as root ignores the
// read-only attribute: only the program's own check refuses to write such a file.
enum class Hold { none, readOnly, writeLocked, exclusive };
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

ULONGLONG Created(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Ends the editors the shell started to show an export, this process's children, and counts them.
// Ended, not closed: loading 100,000 codes takes the editor minutes. A process older than this one
// only names its id as a parent because ids are reused.
int EndViewers() {
    int ended = 0;
    WaitUntil(
        [&] {
            UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
            PROCESSENTRY32W entry{};
            entry.dwSize = sizeof entry;
            for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
                if (entry.th32ParentProcessID != GetCurrentProcessId()) continue;
                UniqueHandle child(OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID));
                if (!child || Created(child.get()) < Created(GetCurrentProcess())) continue;
                TerminateProcess(child.get(), 1);
                if (WaitForSingleObject(child.get(), 10000) == WAIT_OBJECT_0) ++ended;
            }
            return ended > 0;
        },
        10s);
    return ended;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}
std::string FreeAll(std::string bytes) { return ReplaceAll(std::move(bytes), "=USED", "=UNUSED"); }

std::vector<std::pair<std::string, std::string>> EveryThirdUsed(int n, const char* state = "USED") {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& code : SampleCodes(n)) entries.emplace_back(code, entries.size() % 3 == 1 ? state : "UNUSED");
    return entries;
}

// The window of this process; the recorder notes each message with the window's state meanwhile.
class InProcessSettings : public ::testing::Test {
protected:
    void TearDown() override { Close(); }
    void Close() {
        if (form_) form_->Unload();
        form_.reset();
        forms_.reset();
        // The last unloaded window ends the message loop: its quit message must not reach the next window.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // The window as start-up shows it over this folder's list.
    HWND Open(const fs::path& folder, RandomSource& random = SystemRandomSource()) {
        Close();
        const codeeingabe::Settings read = ReadSettings((folder / "Codelist.ini").wstring());
        values_ = {folder.wstring(), read.creditsPerCode, read.masterCode};
        forms_ = std::make_unique<Forms>(values_);
        form_ = std::make_unique<FrmEinstellungen>(
            *forms_, values_, random, SystemTimeOfDay(),
            [this](HWND, const std::wstring& text, const std::wstring& title, MessageStyle style) {
                shown_.push_back({text, title, style, Busy()});
            });
        form_->Show();
        return form_->Handle();
    }
    bool Busy() {
        SendMessageW(form_->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form_->Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        bool disabled = GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
        for (HWND child = GetWindow(form_->Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            disabled = disabled && !IsWindowEnabled(child);
        }
        return disabled;
    }
    HWND Control(int id) const { return GetDlgItem(form_->Handle(), id); }
    std::wstring Text(int id) const {
        wchar_t text[256] = {};
        GetWindowTextW(Control(id), text, 256);
        return text;
    }
    void SetText(int id, const std::wstring& text) { SetWindowTextW(Control(id), text.c_str()); }
    // The messages the click brought.
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

int Px(int twips) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return MulDiv(twips, dpi, 1440);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
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

TEST_F(InProcessSettings, AFixedDialogLaidOutTypedAndTabbedAsTheOperatorKnowsIt) {
    const fs::path folder = FreshModuleFolder();
    HWND window = Open(folder);
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
    EXPECT_EQ(client.right, Px(4680));
    EXPECT_EQ(client.bottom, Px(2745));
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);

    struct Place {
        int id;
        const wchar_t* className;
        const wchar_t* text;
        int left, top, width, height;  // twips in the client area; a label may be wider
        LONG style;                    // a button's type and line breaks, a box's alignment
    };
    const Place places[] = {
        {kFrame1, L"Button", L"Codeliste bearbeiten", 120, 120, 4455, 1335, BS_GROUPBOX},
        {kLabel2, L"Static", L"Neue Codeliste mit", 255, 480, 1320, 195, 0},
        {kTxtNrOfCodes, L"Edit", L"250", 1680, 420, 615, 285, ES_CENTER},
        {kLabel3, L"Static", L"Codes erzeugen", 2400, 480, 1155, 195, 0},
        {kCmdCreateCodelist, L"Button", L"Start", 3720, 360, 735, 375, BS_PUSHBUTTON},
        {kCmdCreateCodelistText, L"Button", L"Auflistung aller Codes in Textdatei", 240, 840, 2175, 495, BS_MULTILINE},
        {kCmdResetCodelist, L"Button", L"Alles Codes freigeben", 2520, 840, 1935, 495, BS_PUSHBUTTON},
        {kLabel1, L"Static", L"Jeder Code entspricht einem Kreditwert von:", 120, 1560, 3120, 195, 0},
        {kTxtCreditsPerCode, L"Edit", L"2", 3360, 1530, 495, 285, ES_CENTER},
        {kLabel4, L"Static", L"Kredit(s)", 3960, 1560, 570, 195, 0},
        {kLabel5, L"Static", L"Mastercode (öffnet Mastermenü):", 120, 1920, 2340, 195, 0},
        {kTxtMasterCode, L"Edit", L"", 3360, 1920, 1215, 285, ES_CENTER},
        {kCmdSave, L"Button", L"Übernehmen", 3240, 2280, 1335, 375, BS_PUSHBUTTON},
    };
    HDC screen = GetDC(nullptr);
    const int fontHeight = -MulDiv(825, GetDeviceCaps(screen, LOGPIXELSY), 7200);
    ReleaseDC(nullptr, screen);
    int children = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++children;
    EXPECT_EQ(children, static_cast<int>(std::size(places)));
    for (const Place& place : places) {
        SCOPED_TRACE(place.id);
        HWND control = Control(place.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), place.className);
        EXPECT_EQ(Text(place.id), place.text);
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(std::vector<LONG>({rect.left, rect.top, rect.bottom - rect.top}),
                  std::vector<LONG>({Px(place.left), Px(place.top), Px(place.height)}));
        const int width = rect.right - rect.left;
        const bool label = ClassOf(control) == L"Static";
        EXPECT_TRUE(label ? width >= Px(place.width) : width == Px(place.width)) << width;
        // A push button is no default button, which Enter would click.
        const LONG mask = label ? 0 : ClassOf(control) == L"Edit" ? ES_CENTER : BS_TYPEMASK | BS_MULTILINE;
        EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & mask, place.style);
        EXPECT_TRUE(IsWindowVisible(control) && IsWindowEnabled(control));
        LOGFONTW font{};
        ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font), 0);
        EXPECT_EQ(
            std::wstring(font.lfFaceName) + L" " + std::to_wstring(font.lfHeight) + L" " + std::to_wstring(font.lfWeight),
            L"MS Sans Serif " + std::to_wstring(fontHeight) + L" " +
                std::to_wstring(place.id == kCmdSave ? FW_BOLD : FW_NORMAL));
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

constexpr const char* kHeading = "[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\n\r\n[Codes]\r\n";
const std::string kPlainList = std::string(kHeading) + "54321=USED\r\n12345=UNUSED\r\n";

std::string Garbage(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    return bytes;
}

std::string TenMegabytes() {
    std::string bytes = "[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\n\r\n[Notizen]\r\n";
    for (int i = 0; i < 100'000; ++i) bytes.append("N").append(std::to_string(i)).append("=").append(92, 'x').append("\r\n");
    return bytes + "[Codes]\r\n11111=USED\r\n12345=UNUSED\r\n";
}

// A code list file as an editor, a disk or another program may leave it, and what each action
// does with it: the file either works by the profile rules or stays byte for byte as it was.
struct FileCase {
    const char* name;
    std::function<std::string()> bytes;  // nullptr: no file, or a folder in its place
    bool folder;
    Hold hold;                            // taken once the window has read the settings
    const wchar_t *credits, *masterCode;  // the boxes after start
    Did reset;
    std::function<std::string(std::string)> afterReset;
    Did exported;
    std::size_t exportedCodes;
    Did save, generation;  // saving 4 credits; a list of three codes; nothing: not tried
};

FileCase Unwritable(const char* name, Hold hold) {
    return {name,
            [] { return kPlainList; },
            false,
            hold,
            L"3",
            L"99999",
            Did::refused,
            nullptr,
            hold == Hold::exclusive ? Did::refused : Did::done,
            2,
            Did::refused,
            Did::refused};
}

const FileCase kFileCases[] = {
    {"Missing", nullptr, false, Hold::none, L"2", L"", Did::nothing, nullptr, Did::nothing, 0, Did::nothing, Did::done},
    {"Empty", [] { return std::string(); }, false, Hold::none, L"2", L"", Did::done, nullptr, Did::done, 0, Did::nothing,
     Did::done},
    {"BinaryGarbage", [] { return Garbage(65536); }, false, Hold::none, L"2", L"", Did::done, nullptr, Did::done, 0,
     Did::nothing, Did::done},
    {"GarbageBeforeAList", [] { return Garbage(4096) + "\r\n" + kPlainList; }, false, Hold::none, L"3", L"99999", Did::done,
     FreeAll, Did::done, 2, Did::done, Did::nothing},
    {"Utf16WithByteOrderMark",
     [] {
         std::string bytes = "\xFF\xFE";
         for (char c : kPlainList) bytes += std::string{c, '\0'};
         return bytes;
     },
     false, Hold::none, L"2", L"", Did::refused, nullptr, Did::refused, 0, Did::refused, Did::done},
    {"Utf8WithByteOrderMark", [] { return "\xEF\xBB\xBF" + kPlainList; }, false, Hold::none, L"3", L"99999", Did::done,
     FreeAll, Did::done, 2, Did::done, Did::nothing},
    {"TenMegabytes", TenMegabytes, false, Hold::none, L"3", L"99999", Did::done, FreeAll, Did::done, 2, Did::done,
     Did::nothing},
    {"LineOf100000Characters",
     [] { return kHeading + ("12345" + std::string(99'995, '6')) + "=UNUSED\r\n11111=USED\r\n54321=UNUSED\r\n"; }, false,
     Hold::none, L"3", L"99999", Did::done, FreeAll, Did::done, 3, Did::nothing, Did::nothing},
    {"HundredThousandCodes",
     [] {
         std::string bytes = kHeading;
         for (const auto& [code, state] : EveryThirdUsed(100'000)) bytes += code + "=" + state + "\r\n";
         return bytes;
     },
     false, Hold::none, L"3", L"99999", Did::done, FreeAll, Did::done, 100'000, Did::nothing, Did::nothing},
    {"DuplicateKeys",
     [] {
         return "[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\nCreditsPerCode=7\r\n\r\n[Codes]\r\n"
                "11111=USED\r\n11111=UNUSED\r\n22222=UNUSED\r\n22222=USED\r\n";
     },
     false, Hold::none, L"3", L"99999", Did::done,
     [](std::string bytes) { return ReplaceAll(bytes, "11111=USED", "11111=UNUSED"); }, Did::done, 4, Did::nothing,
     Did::nothing},
    {"BlanksTabsAndOddCase",
     [] {
         return "[ eInStElLuNgEn ]\r\n creditsPERcode = 3 \r\n\tMASTERCODE\t=\t99999\t\r\n\r\n[\tcodes\t]\r\n"
                " 12345 = UNUSED \r\n\t54321\t=\tUNUSED\r\n11111=unused\r\n 22222 =USED\r\n";
     },
     false, Hold::none, L"3", L"99999", Did::done,
     [](std::string bytes) {
         for (const char* value : {"= UNUSED ", "=\tUNUSED", "=unused", "=USED"})
             bytes = ReplaceAll(bytes, value, "=UNUSED");
         return bytes;
     },
     Did::done, 4, Did::nothing, Did::nothing},
    {"RepeatedSections",
     [] {
         return "[Codes]\r\n11111=UNUSED\r\n[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\n[Codes]\r\n"
                "22222=UNUSED\r\n33333=USED\r\n[Einstellungen]\r\nCreditsPerCode=7\r\n";
     },
     false, Hold::none, L"3", L"99999", Did::done, FreeAll, Did::done, 3, Did::nothing, Did::nothing},
    {"CrOnlyLineEnds", [] { return ReplaceAll(kPlainList, "\r\n", "\r"); }, false, Hold::none, L"3", L"99999", Did::done,
     FreeAll, Did::done, 2, Did::nothing, Did::nothing},
    {"LfOnlyLineEnds", [] { return ReplaceAll(kPlainList, "\r\n", "\n"); }, false, Hold::none, L"3", L"99999", Did::done,
     FreeAll, Did::done, 2, Did::nothing, Did::nothing},
    {"NoFinalLineEnd", [] { return kPlainList.substr(0, kPlainList.size() - 2); }, false, Hold::none, L"3", L"99999",
     Did::done, FreeAll, Did::done, 2, Did::nothing, Did::nothing},
    Unwritable("ReadOnly", Hold::readOnly),
    Unwritable("LockedForWriting", Hold::writeLocked),
    Unwritable("LockedExclusively", Hold::exclusive),
    {"FolderInItsPlace", nullptr, true, Hold::none, L"2", L"", Did::nothing, nullptr, Did::nothing, 0, Did::refused,
     Did::refused},
};

TEST_F(InProcessSettings, EveryCodeListFileWorksOrTheOperatorIsToldAndNothingChanges) {
    for (const FileCase& row : kFileCases) {
        SCOPED_TRACE(row.name);
        const fs::path folder = FreshModuleFolder(), list = folder / "Codelist.ini", text = folder / "Codelist.txt";
        std::optional<std::string> expected;
        if (row.bytes) WriteBytes(list, *(expected = row.bytes()));
        if (row.folder) fs::create_directories(list / "Unterordner");
        const auto unchanged = [&](Hold hold) {
            if (hold == Hold::exclusive) return;  // not even this test may read it now
            EXPECT_TRUE(row.folder ? fs::is_directory(list / "Unterordner")
                        : expected ? ReadBytes(list) == *expected
                                   : !fs::exists(list))
                << "the list or the folder in its place changed";
            EXPECT_FALSE(fs::exists(folder / "Codelist.ini.tmp"));
        };
        Open(folder);
        EXPECT_EQ(Text(kTxtCreditsPerCode) + L"/" + Text(kTxtMasterCode), std::wstring(row.credits) + L"/" + row.masterCode);
        {
            FileHold hold(row.hold, list);
            EXPECT_EQ(Click(kCmdResetCodelist), Shown(Action::reset, row.reset, folder));
            if (row.afterReset && row.reset == Did::done) expected = row.afterReset(*expected);
            unchanged(row.hold);

            EXPECT_EQ(Click(kCmdCreateCodelistText), Shown(Action::exportText, row.exported, folder));
            if (row.exported == Did::done) {
                const std::string exported = ReadBytes(text);
                EXPECT_EQ(static_cast<std::size_t>(std::count(exported.begin(), exported.end(), '\n')),
                          2 + row.exportedCodes);
                EXPECT_GE(EndViewers(), 1) << "the shell opened the export";
            }
            EXPECT_EQ(fs::exists(text), row.exported == Did::done) << "no empty export of an unreadable list";
            unchanged(row.hold);

            SetText(kTxtCreditsPerCode, L"4");
            if (Text(kTxtMasterCode).empty()) SetText(kTxtMasterCode, L"12345");  // past the numeric test
            if (row.save == Did::refused) {
                EXPECT_EQ(Click(kCmdSave), Shown(Action::save, Did::refused, folder));
                EXPECT_TRUE(form_->IsLoaded()) << "a failed save keeps the window open";
                unchanged(row.hold);
            }
            SetText(kTxtNrOfCodes, L"3");
            if (row.generation != Did::nothing) {
                EXPECT_EQ(Click(kCmdCreateCodelist), Shown(Action::generate, row.generation, folder));
            }
        }
        if (row.generation == Did::done) {
            const std::string bytes = ReadBytes(list);
            EXPECT_EQ(bytes.substr(0, bytes.find("[Codes]")), "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n");
            EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 5 + 3);
        } else {
            unchanged(Hold::none);
        }
        if (row.save == Did::done) {
            EXPECT_EQ(Click(kCmdSave), Shown(Action::save, Did::done, folder));
            EXPECT_TRUE(ReadBytes(list) == ReplaceAll(*expected, "CreditsPerCode=3\r", "CreditsPerCode=4\r"))
                << "one value changed";
        }
    }
}

TEST_F(InProcessSettings, GenerationReplacesTheListWholeWithDifferentEvenlySpreadFreeCodes) {
    const fs::path folder = FreshModuleFolder(), list = folder / "Codelist.ini";
    const std::string old = CodeListBytes("7", "24680", EveryThirdUsed(20));
    WriteBytes(list, old);
    Open(folder);
    SetText(kTxtCreditsPerCode, L"9");  // unsaved: the list carries the settings as read
    SetText(kTxtMasterCode, L"22222");
    for (const wchar_t* count : {L"1001", L"0", L"abc"}) {
        SetText(kTxtNrOfCodes, count);
        EXPECT_EQ(Click(kCmdCreateCodelist), Messages{kCountRefused}) << count;
    }
    EXPECT_EQ(ReadBytes(list), old);
    const std::string heading = "[Einstellungen]\r\nCreditsPerCode=7\r\nMasterCode=24680\r\n\r\n[Codes]\r\n";
    for (std::size_t n : {1u, 1000u}) {
        SCOPED_TRACE(n);
        SetText(kTxtNrOfCodes, std::to_wstring(n));
        EXPECT_EQ(Click(kCmdCreateCodelist), Shown(Action::generate, Did::done, folder));
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
              (Messages{{L"Windows hat keine Zufallszahlen geliefert, daher wurde keine Codeliste erstellt." + kKeptList,
                         L"Codeliste nicht erstellt", kStop, true}}));
    EXPECT_EQ(ReadBytes(list), kept);
}

TEST_F(InProcessSettings, ExportNumbersEveryCodeAndResetFreesThemAll) {
    const fs::path folder = FreshModuleFolder(), list = folder / "Codelist.ini", text = folder / "Codelist.txt";
    const auto codes = EveryThirdUsed(10);
    WriteBytes(list, CodeListBytes("+5", "00777", codes));
    WriteBytes(text, std::string(5000, 'x'));  // an older, longer export is replaced whole
    Open(folder);
    EXPECT_EQ(Click(kCmdCreateCodelistText), Shown(Action::exportText, Did::done, folder));
    std::string expected = "CodeNr.: \tCode:\r\n\r\n";
    for (std::size_t i = 0; i < codes.size(); ++i) expected += std::to_string(i + 1) + ":\t\t" + codes[i].first + "\r\n";
    EXPECT_EQ(ReadBytes(text), expected);
    EXPECT_GE(EndViewers(), 1) << "the shell opened the export";
    {
        FileHold held(Hold::writeLocked, text);
        EXPECT_EQ(Click(kCmdCreateCodelistText),
                  (Messages{{L"Die Textdatei konnte nicht geschrieben werden:" + kBreak + text.wstring(),
                             L"Textdatei nicht geschrieben", kStop, true}}));
    }
    EXPECT_EQ(ReadBytes(text), expected);

    WriteBytes(list, CodeListBytes("+5", "00777", EveryThirdUsed(1000)));
    EXPECT_EQ(Click(kCmdResetCodelist), Shown(Action::reset, Did::done, folder));
    EXPECT_EQ(ReadBytes(list), CodeListBytes("+5", "00777", EveryThirdUsed(1000, "UNUSED")));
}

// The user's regional number format for as long as this lives, as the Control Panel sets it.
class UserNumberFormat {
public:
    UserNumberFormat(const wchar_t* decimal, const wchar_t* grouping) : old_{Get(LOCALE_SDECIMAL), Get(LOCALE_STHOUSAND)} {
        Set(decimal, grouping);
    }
    ~UserNumberFormat() { Set(old_[0].c_str(), old_[1].c_str()); }
    UserNumberFormat(const UserNumberFormat&) = delete;
    UserNumberFormat& operator=(const UserNumberFormat&) = delete;

private:
    static std::wstring Get(LCTYPE item) {
        wchar_t text[8] = {};
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, text, 8);
        return text;
    }
    static void Set(const wchar_t* decimal, const wchar_t* grouping) {
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal);
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, grouping);
    }
    std::array<std::wstring, 2> old_;
};

TEST_F(InProcessSettings, SavingChecksBothTextsInTheUsersNumberFormatAndWritesThemAsTyped) {
    const wchar_t* const kCredits = L"Bitte gültigen Wert für den Kreditwert eingeben!";
    const wchar_t* const kMaster = L"Der Mastercode darf ausschließlich aus Zahlen bestehen!";
    struct Row {
        const wchar_t *decimal, *grouping, *credits, *masterCode;
        const wchar_t* refusal;  // nullptr: saved, giving this many credits per code
        int creditsPerCode = 0;
    };
    const Row rows[] = {
        {L",", L".", L"1,5", L"12345", nullptr, 1},  // the comma ends the number, in every format
        {L",", L".", L"1,000.5", L"12345", kCredits},
        {L".", L",", L"1,000.5", L"12345", nullptr, 1},
        {L".", L",", L"1.000,5", L"12345", kCredits},
        {L".", L",", L"2.5", L"00777", nullptr, 2},  // halves to the even number
        {L".", L",", L"+5", L"1e3", nullptr, 5},
        {L".", L",", L"", L"12345", kCredits},
        {L".", L",", L"ab", L"", kCredits},
        {L".", L",", L"5", L"", kMaster},
        {L".", L",", L"5", L"12a", kMaster},
        {L".", L",", L"5", L"1 2", kMaster},
        {L".", L",", L"40000", L"12345", kCredits},  // no 16-bit number, typed by a program past the limit
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(row.decimal) + L" " + row.credits + L" " + row.masterCode));
        const fs::path folder = FreshModuleFolder(), list = folder / "Codelist.ini";
        const std::string old = CodeListBytes("2", "11111", EveryThirdUsed(3));
        WriteBytes(list, old);
        UserNumberFormat format(row.decimal, row.grouping);
        Open(folder);
        SetText(kTxtCreditsPerCode, row.credits);
        SetText(kTxtMasterCode, row.masterCode);
        if (row.refusal != nullptr) {
            EXPECT_EQ(Click(kCmdSave), (Messages{{row.refusal, kApplicationTitle, MessageStyle::exclamation, false}}));
            EXPECT_TRUE(form_->IsLoaded() && Text(kTxtCreditsPerCode) == row.credits) << "the window stays as it was";
            EXPECT_EQ(ReadBytes(list), old);
            continue;
        }
        EXPECT_EQ(Click(kCmdSave), Shown(Action::save, Did::done, folder));
        EXPECT_FALSE(form_->IsLoaded()) << "saving closes the window";
        const std::string credits(row.credits, row.credits + wcslen(row.credits)),
            master(row.masterCode, row.masterCode + wcslen(row.masterCode));
        EXPECT_EQ(ReadBytes(list), CodeListBytes(credits, master, EveryThirdUsed(3))) << "both as typed, nothing else";
        EXPECT_EQ(values_.creditsPerCode, row.creditsPerCode);
        EXPECT_EQ(values_.masterCode, master);
    }
}

}  // namespace
