// Code list files as an operator's editor, a disk or another program may leave them, end to end:
// Codelist.exe /Mod beside the test host, and the settings window driven through its controls.
// Each file either works by the profile rules (first key wins, names without case and blanks,
// any line ends) or is left byte for byte as it was, with a German stop message to the operator.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>
#include <thread>

#include "codelist/frm_einstellungen.h"
#include "host_test_support.h"
#include "settings_driver.h"

#include <tlhelp32.h>  // after <windows.h>

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

constexpr const char* kHeading = "[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\n\r\n[Codes]\r\n";
constexpr const char* kMasterCode = "99999";

enum class Shape { file, missing, folder };
// Applied once the program has read its settings: another program takes the file meanwhile.
enum class Hold { none, readOnly, writeLocked, exclusive };
// What a settings action does: nothing at all, its work with its message, or a stop message.
enum class Outcome { nothing, done, refused };

struct Probe {
    std::string code;
    enum { credited, wrong, refused } result;  // refused: a valid code whose booking cannot stand
    std::string line = {};                     // credited: the text of its entry ...
    std::string booked = {};                   // ... and what the booking makes of it
};

struct Variant {
    const char* name;
    Shape shape;
    std::function<std::string()> bytes;  // the file's content, for Shape::file
    Hold hold;
    std::vector<Probe> probes;         // typed in this order at the keypad
    std::optional<int> freeAfter;      // the master window's count after the probes
    std::wstring creditsBox;           // the settings window's boxes after start
    std::wstring masterBox;
    Outcome reset;
    std::function<std::string(std::string)> afterReset;  // nullptr: the bytes stay
    Outcome exported;
    std::size_t exportedCodes;
    Outcome save;                      // saving 4 credits per code; nothing: not tried
    Outcome generation;                // a list of three codes; nothing: not tried
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

std::string FreeAll(std::string bytes) { return ReplaceAll(std::move(bytes), "=USED", "=UNUSED"); }

std::string Garbage(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string Utf16LittleEndianWithByteOrderMark(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}

std::string TenMegabytes() {
    std::string bytes = "[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\n\r\n[Notizen]\r\n";
    bytes.reserve(10'300'000);
    char key[16];
    for (int i = 0; i < 100'000; ++i) {
        std::snprintf(key, sizeof key, "N%06d=", i);
        bytes += key + std::string(92, 'x') + "\r\n";
    }
    return bytes + "[Codes]\r\n11111=USED\r\n12345=UNUSED\r\n";
}

std::string HundredThousandCodes() {
    std::string bytes = kHeading;
    const auto codes = SampleCodes(100'000);
    for (std::size_t i = 0; i < codes.size(); ++i) bytes += codes[i] + (i % 3 == 1 ? "=USED\r\n" : "=UNUSED\r\n");
    return bytes;
}

const std::string kPlainList = std::string(kHeading) + "54321=USED\r\n12345=UNUSED\r\n";

// The plain list, behind another program's back once the module runs: valid codes give no
// credit, count as no wrong entry, and every writer says so.
Variant Unwritable(const char* name, Hold hold, Outcome read) {
    return {name, Shape::file, [] { return kPlainList; }, hold,
            {{"12345", Probe::refused}, {"12345", Probe::refused}}, read == Outcome::done ? 1 : 0,
            L"3", L"99999", Outcome::refused, nullptr, read, 2, Outcome::refused, Outcome::refused};
}

std::vector<Variant> Variants() {
    const std::string pastGarbage = Garbage(4096, 7) + "\r\n";
    const std::string lastOf100000 = SampleCodes(100'000).back();
    return {
        {"Missing", Shape::missing, nullptr, Hold::none, {{"12345", Probe::wrong}}, std::nullopt, L"2", L"",
         Outcome::nothing, nullptr, Outcome::nothing, 0, Outcome::nothing, Outcome::done},
        {"Empty", Shape::file, [] { return std::string(); }, Hold::none, {{"12345", Probe::wrong}}, std::nullopt, L"2", L"",
         Outcome::done, nullptr, Outcome::done, 0, Outcome::nothing, Outcome::done},
        {"BinaryGarbage", Shape::file, [] { return Garbage(65536, 1); }, Hold::none, {{"12345", Probe::wrong}},
         std::nullopt, L"2", L"", Outcome::done, nullptr, Outcome::done, 0, Outcome::nothing, Outcome::done},
        {"GarbageBeforeAList", Shape::file, [=] { return pastGarbage + kPlainList; }, Hold::none,
         {{"54321", Probe::wrong}, {"12345", Probe::credited, "12345=UNUSED", "12345=USED"}}, 0, L"3", L"99999",
         Outcome::done, FreeAll, Outcome::done, 2, Outcome::done, Outcome::nothing},
        {"Utf16WithByteOrderMark", Shape::file, [] { return Utf16LittleEndianWithByteOrderMark(kPlainList); }, Hold::none,
         {{"12345", Probe::refused}, {"12345", Probe::refused}}, std::nullopt, L"2", L"", Outcome::refused, nullptr,
         Outcome::refused, 0, Outcome::refused, Outcome::done},
        {"Utf8WithByteOrderMark", Shape::file, [] { return "\xEF\xBB\xBF" + kPlainList; }, Hold::none,
         {{"54321", Probe::wrong}, {"12345", Probe::credited, "12345=UNUSED", "12345=USED"}}, 0, L"3", L"99999",
         Outcome::done, FreeAll, Outcome::done, 2, Outcome::done, Outcome::nothing},
        {"TenMegabytes", Shape::file, TenMegabytes, Hold::none,
         {{"11111", Probe::wrong}, {"12345", Probe::credited, "12345=UNUSED", "12345=USED"}}, 0, L"3", L"99999",
         Outcome::done, FreeAll, Outcome::done, 2, Outcome::done, Outcome::nothing},
        {"LineOf100000Characters", Shape::file,
         [] { return kHeading + ("12345" + std::string(99'995, '6')) + "=UNUSED\r\n11111=USED\r\n54321=UNUSED\r\n"; },
         Hold::none, {{"12345", Probe::wrong}, {"54321", Probe::credited, "54321=UNUSED", "54321=USED"}}, 1, L"3",
         L"99999", Outcome::done, FreeAll, Outcome::done, 3, Outcome::nothing, Outcome::nothing},
        {"HundredThousandCodes", Shape::file, HundredThousandCodes, Hold::none,
         {{SampleCodes(2)[1], Probe::wrong},
          {lastOf100000, Probe::credited, lastOf100000 + "=UNUSED", lastOf100000 + "=USED"}},
         66'666, L"3", L"99999", Outcome::done, FreeAll, Outcome::done, 100'000, Outcome::nothing, Outcome::nothing},
        {"DuplicateKeys", Shape::file,
         [] {
             return "[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\nCreditsPerCode=7\r\n\r\n[Codes]\r\n"
                    "11111=USED\r\n11111=UNUSED\r\n22222=UNUSED\r\n22222=USED\r\n";
         },
         Hold::none, {{"11111", Probe::wrong}, {"22222", Probe::credited, "22222=UNUSED", "22222=USED"}}, 1, L"3", L"99999",
         Outcome::done, [](std::string bytes) { return ReplaceAll(bytes, "11111=USED", "11111=UNUSED"); }, Outcome::done, 4,
         Outcome::nothing, Outcome::nothing},
        {"BlanksTabsAndOddCase", Shape::file,
         [] {
             return "[ eInStElLuNgEn ]\r\n creditsPERcode = 3 \r\n\tMASTERCODE\t=\t99999\t\r\n\r\n[\tcodes\t]\r\n"
                    " 12345 = UNUSED \r\n\t54321\t=\tUNUSED\r\n11111=unused\r\n 22222 =USED\r\n";
         },
         Hold::none,
         {{"11111", Probe::wrong},
          {"12345", Probe::credited, " 12345 = UNUSED ", " 12345 =USED"},
          {"54321", Probe::credited, "\t54321\t=\tUNUSED", "\t54321\t=USED"}},
         0, L"3", L"99999", Outcome::done,
         [](std::string bytes) {
             bytes = ReplaceAll(bytes, "= UNUSED ", "=UNUSED");
             bytes = ReplaceAll(bytes, "=\tUNUSED", "=UNUSED");
             return ReplaceAll(FreeAll(bytes), "=unused", "=UNUSED");
         },
         Outcome::done, 4, Outcome::nothing, Outcome::nothing},
        {"RepeatedSections", Shape::file,
         [] {
             return "[Codes]\r\n11111=UNUSED\r\n[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=99999\r\n[Codes]\r\n"
                    "22222=UNUSED\r\n33333=USED\r\n[Einstellungen]\r\nCreditsPerCode=7\r\n";
         },
         Hold::none,
         {{"33333", Probe::wrong},
          {"22222", Probe::credited, "22222=UNUSED", "22222=USED"},
          {"11111", Probe::credited, "11111=UNUSED", "11111=USED"}},
         0, L"3", L"99999", Outcome::done, FreeAll, Outcome::done, 3, Outcome::nothing, Outcome::nothing},
        {"CrOnlyLineEnds", Shape::file, [] { return ReplaceAll(kPlainList, "\r\n", "\r"); }, Hold::none,
         {{"54321", Probe::wrong}, {"12345", Probe::credited, "12345=UNUSED", "12345=USED"}}, 0, L"3", L"99999",
         Outcome::done, FreeAll, Outcome::done, 2, Outcome::nothing, Outcome::nothing},
        {"LfOnlyLineEnds", Shape::file, [] { return ReplaceAll(kPlainList, "\r\n", "\n"); }, Hold::none,
         {{"54321", Probe::wrong}, {"12345", Probe::credited, "12345=UNUSED", "12345=USED"}}, 0, L"3", L"99999",
         Outcome::done, FreeAll, Outcome::done, 2, Outcome::nothing, Outcome::nothing},
        {"NoFinalLineEnd", Shape::file, [] { return kPlainList.substr(0, kPlainList.size() - 2); }, Hold::none,
         {{"54321", Probe::wrong}, {"12345", Probe::credited, "12345=UNUSED", "12345=USED"}}, 0, L"3", L"99999",
         Outcome::done, FreeAll, Outcome::done, 2, Outcome::nothing, Outcome::nothing},
        Unwritable("ReadOnly", Hold::readOnly, Outcome::done),
        Unwritable("LockedForWriting", Hold::writeLocked, Outcome::done),
        Unwritable("LockedExclusively", Hold::exclusive, Outcome::refused),
        {"FolderInItsPlace", Shape::folder, nullptr, Hold::none, {{"12345", Probe::wrong}}, std::nullopt, L"2", L"",
         Outcome::nothing, nullptr, Outcome::nothing, 0, Outcome::refused, Outcome::refused},
    };
}

// The file in the module folder as the variant shapes it; its bytes, or nullopt when there are none.
std::optional<std::string> Prepare(const Variant& variant, const std::filesystem::path& file) {
    switch (variant.shape) {
        case Shape::missing: return std::nullopt;
        case Shape::folder:
            std::filesystem::create_directory(file);
            std::filesystem::create_directory(file / "Unterordner");
            return std::nullopt;
        case Shape::file: break;
    }
    std::string bytes = variant.bytes();
    WriteBytes(file, bytes);
    return bytes;
}

// Another program's hold on the file, for as long as this lives.
class FileHold {
public:
    FileHold(Hold hold, const std::filesystem::path& file) : file_(file), hold_(hold) {
        if (hold == Hold::readOnly) SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
        if (hold == Hold::writeLocked || hold == Hold::exclusive) {
            const DWORD share = hold == Hold::writeLocked ? FILE_SHARE_READ : 0;
            handle_.reset(CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
            EXPECT_NE(handle_.get(), INVALID_HANDLE_VALUE);
        }
    }
    ~FileHold() {
        handle_.reset();
        if (hold_ == Hold::readOnly) SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

private:
    std::filesystem::path file_;
    Hold hold_;
    UniqueHandle handle_;
};

void ExpectFileAsBefore(const std::filesystem::path& file, Shape shape, const std::optional<std::string>& expected,
                        Hold hold = Hold::none) {
    if (hold == Hold::exclusive) return;  // not even this process may read it now
    if (shape == Shape::folder) {
        EXPECT_TRUE(std::filesystem::is_directory(file / "Unterordner")) << "the folder stays as it was";
    } else if (expected) {
        const std::string bytes = ReadBytes(file);
        EXPECT_EQ(bytes.size(), expected->size());
        EXPECT_TRUE(bytes == *expected) << "the file's bytes changed";
    } else {
        EXPECT_FALSE(std::filesystem::exists(file));
    }
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".tmp"));
}

// Test names and failure reports name the variant, not its bytes.
void PrintTo(const Variant& variant, std::ostream* out) { *out << variant.name; }

class BadCodeList : public ::testing::TestWithParam<Variant> {};

TEST_P(BadCodeList, TheKeypadCreditsExactlyTheFreeCodesAndBooksOnlyThem) {
    const Variant& variant = GetParam();
    HostSession session;
    const std::filesystem::path file = session.Folder() / "Codelist.ini";
    std::optional<std::string> expected = Prepare(variant, file);
    ModuleProcess& module = session.StartModule();
    auto hold = std::make_unique<FileHold>(variant.hold, file);

    std::size_t credits = 0;
    int wrongInARow = 0;
    for (const Probe& probe : variant.probes) {
        SCOPED_TRACE("code " + probe.code);
        ASSERT_TRUE(session.OpenKeypad());
        session.TypeDigits(probe.code);  // each click returns once it has been handled
        EXPECT_TRUE(session.KeypadHides());
        if (probe.result == Probe::credited) {
            ++credits;
            wrongInARow = 0;
            ASSERT_TRUE(WaitUntil([&] { return session.CommandCount("AddCredit| 3") == credits; }, kTimeout));
            ASSERT_TRUE(expected.has_value());
            const std::size_t at = expected->find(probe.line);
            ASSERT_NE(at, std::string::npos);
            expected->replace(at, probe.line.size(), probe.booked);
        } else if (probe.result == Probe::wrong) {
            ++wrongInARow;
        }
        EXPECT_EQ(session.Host().Commands().size(), 2 + credits) << "only credits go to the host";
        ExpectFileAsBefore(file, variant.shape, expected, variant.hold);
        EXPECT_EQ(module.Window(L"Info", true) != nullptr, wrongInARow >= 2) << "the lock notice";
    }
    if (variant.freeAfter) {
        ASSERT_TRUE(session.OpenKeypad());
        session.TypeDigits(kMasterCode);
        HWND master = module.WaitForVisibleWindow(L"Form1");
        ASSERT_NE(master, nullptr);
        EXPECT_EQ(TextOf(Child(master, L"Static", nullptr)), std::to_wstring(*variant.freeAfter));
    }
    hold.reset();
    ExpectFileAsBefore(file, variant.shape, expected);
    session.Send("AppClose");
    ASSERT_TRUE(module.WaitForExit(kTimeout));
    EXPECT_EQ(module.ExitCode(), 0u);
    EXPECT_EQ(module.ExceptionReports(), "");
}

ULONGLONG CreationTime(DWORD processId) {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Ends the program that the shell started to show the export; true when there was one. Ended, not
// closed: the platform's editor takes minutes to load 100,000 codes, and it is not under test.
// Process ids are reused: a process that names the program's id as its parent but is older than
// the program (the system's own, started by a process long gone) is not the program's child.
bool EndViewerStartedBy(DWORD programProcessId) {
    const ULONGLONG programCreated = CreationTime(programProcessId);
    DWORD viewer = 0;
    WaitUntil([&] {
        UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
            if (entry.th32ParentProcessID == programProcessId && programCreated != 0 &&
                CreationTime(entry.th32ProcessID) >= programCreated) {
                viewer = entry.th32ProcessID;
            }
        }
        return viewer != 0;
    }, 20s);
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, viewer));
    if (!process) return false;
    TerminateProcess(process.get(), 1);
    return WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0;
}

// A virus scanner or a backup holds the list just when the jukebox starts the module: the module
// waits for it instead of taking the default 2 credits a code for the whole session.
TEST(BadCodeListAtStartUp, AListHeldForAMomentStillGivesItsSettings) {
    HostSession session;
    const std::filesystem::path file = session.Folder() / "Codelist.ini";
    WriteBytes(file, kPlainList);
    auto hold = std::make_unique<FileHold>(Hold::exclusive, file);
    ModuleProcess& module = session.LaunchModule();
    // The program's first window comes before it reads its settings (asking for its text would
    // wait for the reading).
    ASSERT_TRUE(WaitUntil([&] { return module.Window(nullptr) != nullptr; }, kTimeout));
    std::this_thread::sleep_for(500ms);
    hold.reset();
    ASSERT_TRUE(session.WaitForCommand("SetCreditSys|Enabled"));
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("12345");
    EXPECT_TRUE(session.WaitForCommand("AddCredit| 3"));
    EXPECT_EQ(session.CommandCount("AddCredit| 2"), 0u);
    session.Send("AppClose");
    ASSERT_TRUE(module.WaitForExit(kTimeout));
    EXPECT_EQ(module.ExceptionReports(), "");
}

// A click that shows no message: the next message must be the count error that follows it.
void ExpectNoMessage(SettingsWindow& settings, int id) {
    settings.Click(id);
    const std::wstring count = settings.Text(kTxtNrOfCodes);
    settings.SetText(kTxtNrOfCodes, L"0");
    settings.ClickAndExpectMessage(kCmdCreateCodelist, L"Die Anzahl der zu generierenden Codes muss zwischen 1 und 1000 liegen",
                                   L"Fehler!", 16);
    settings.SetText(kTxtNrOfCodes, count);
}

// Saves 4 credits per code (the lists hold 3 or nothing), so that the file must change.
void ExpectSave(SettingsWindow& settings, Outcome outcome, const std::filesystem::path& file) {
    settings.SetText(kTxtCreditsPerCode, L"4");
    if (settings.Text(kTxtMasterCode).empty()) settings.SetText(kTxtMasterCode, L"12345");  // past the numeric test
    if (outcome == Outcome::done) {
        settings.ClickAndExpectMessage(kCmdSave, L"Einstellungen wurden gesichert!", L"Einstellungen gesichert", 64);
        EXPECT_TRUE(settings.Process().WaitForExit(10s));
    } else {
        settings.ClickAndExpectMessage(kCmdSave, L"Die Einstellungen konnten nicht gesichert werden:\r\n\r\n" + file.wstring(),
                                       L"Einstellungen nicht gesichert", 16);
        EXPECT_TRUE(IsWindowVisible(settings.Window()));
    }
}

TEST_P(BadCodeList, TheSettingsWindowWorksOrSaysWhyAndChangesNothingElse) {
    const Variant& variant = GetParam();
    const std::filesystem::path folder = FreshModuleFolder();
    const std::filesystem::path file = folder / "Codelist.ini";
    const std::filesystem::path textFile = folder / "Codelist.txt";
    std::optional<std::string> expected = Prepare(variant, file);
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    EXPECT_EQ(settings.Text(kTxtCreditsPerCode), variant.creditsBox);
    EXPECT_EQ(settings.Text(kTxtMasterCode), variant.masterBox);
    {
        FileHold hold(variant.hold, file);
        switch (variant.reset) {
            case Outcome::nothing: ExpectNoMessage(settings, kCmdResetCodelist); break;
            case Outcome::done:
                settings.ClickAndExpectMessage(kCmdResetCodelist, L"Codes wurden zurückgesetzt", L"Fertig", 64);
                if (variant.afterReset) expected = variant.afterReset(*expected);
                break;
            case Outcome::refused:
                settings.ClickAndExpectMessage(kCmdResetCodelist,
                                               L"Die Codes konnten nicht freigegeben werden:\r\n\r\n" + file.wstring() +
                                                   L"\r\n\r\nDie Codeliste ist unverändert geblieben.",
                                               L"Codes nicht freigegeben", 16);
                break;
        }
        ExpectFileAsBefore(file, variant.shape, expected, variant.hold);

        switch (variant.exported) {
            case Outcome::nothing: ExpectNoMessage(settings, kCmdCreateCodelistText); break;
            case Outcome::done: {
                settings.ClickAndExpectMessage(kCmdCreateCodelistText,
                                               L"Codeliste wurde in folgende Datei geschrieben:\r\n\r\n" + textFile.wstring(),
                                               L"Fertig", 64);
                const std::string text = ReadBytes(textFile);
                EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), 2 + variant.exportedCodes);
                EXPECT_TRUE(EndViewerStartedBy(settings.Process().ProcessId())) << "the shell opened the export";
                break;
            }
            case Outcome::refused:
                settings.ClickAndExpectMessage(kCmdCreateCodelistText,
                                               L"Die Codeliste konnte nicht gelesen werden:\r\n\r\n" + file.wstring(),
                                               L"Textdatei nicht geschrieben", 16);
                break;
        }
        if (variant.exported != Outcome::done) {
            EXPECT_FALSE(std::filesystem::exists(textFile));
        }
        ExpectFileAsBefore(file, variant.shape, expected, variant.hold);

        if (variant.save == Outcome::refused) {
            ExpectSave(settings, Outcome::refused, file);
            ExpectFileAsBefore(file, variant.shape, expected, variant.hold);
        }
        if (variant.generation != Outcome::nothing) {
            settings.SetText(kTxtNrOfCodes, L"3");
            if (variant.generation == Outcome::done) {
                settings.ClickAndExpectMessage(kCmdCreateCodelist, L"Codeliste wurde erstellt", L"Fertig", 64);
                const std::string list = ReadBytes(file);
                EXPECT_EQ(list.substr(0, list.find("[Codes]")), "[Einstellungen]\r\nCreditsPerCode=" + Narrow(variant.creditsBox) +
                                                                   "\r\nMasterCode=" + Narrow(variant.masterBox) + "\r\n\r\n");
                EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 5 + 3);
            } else {
                settings.ClickAndExpectMessage(kCmdCreateCodelist,
                                               L"Die neue Codeliste konnte nicht gespeichert werden:\r\n\r\n" + file.wstring() +
                                                   L"\r\n\r\nDie bisherige Codeliste ist unverändert geblieben.",
                                               L"Codeliste nicht erstellt", 16);
                ExpectFileAsBefore(file, variant.shape, expected, variant.hold);
            }
        }
    }
    if (variant.generation != Outcome::done) {
        ExpectFileAsBefore(file, variant.shape, expected);
    }
    if (variant.save == Outcome::done) {
        ExpectSave(settings, Outcome::done, file);
        ExpectFileAsBefore(file, variant.shape, ReplaceAll(*expected, "CreditsPerCode=3\r", "CreditsPerCode=4\r"));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BadCodeList, ::testing::ValuesIn(Variants()),
                         [](const ::testing::TestParamInfo<Variant>& variant) { return variant.param.name; });

}  // namespace
