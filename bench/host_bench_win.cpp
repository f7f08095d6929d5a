// Host mode under Wine: Codelist.exe /Mod beside this process as the jukebox (the demo host's
// inbox), on a list of 1000 codes. Each figure stands next to what it cannot be faster than,
// measured in the same run: the bare round trip of one WM_SETTEXT between the two processes, the
// show of an empty window, one durable profile write, one durable append, the start of an empty
// program, the platform's profile functions; the journal's append to a year of lines beside its
// append to a new journal. Last come the module's memory, handles and windows.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bench_list.h"
#include "bench_stats.h"
#include "codelist/journal_win.h"
#include "host_inbox.h"
#include "platform/profile.h"
#include "process_resources.h"
#include "platform/win_handles.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using codeeingabe::host::HostInbox;

namespace {

using bench::FiveDigits;

constexpr int kRepetitions = 120;
constexpr int kStartRepetitions = 100;
constexpr int kMasterRepetitions = 30;
constexpr DWORD kTapGapMs = 50;  // between the fourth digit and the fifth
constexpr int kCodes = 1000;
constexpr const char* kMasterCode = "99999";
constexpr auto kPatience = std::chrono::seconds(20);

std::string Code(int i) { return FiveDigits(10000 + i * 37); }

std::string CodeList() {
    std::string bytes =
        "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=" + std::string(kMasterCode) + "\r\n\r\n[Codes]\r\n";
    for (int i = 0; i < kCodes; ++i) bytes += Code(i) + "=UNUSED\r\n";
    return bytes;
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// Handles this thread's messages (the inbox's among them) until the condition holds. The condition
// is checked first: a synchronous send has often made it true already, and what waits here then
// (this process's own windows losing the focus) is no part of the figure.
bool PumpUntil(const std::function<bool()>& condition) {
    const auto deadline = Clock::now() + kPatience;
    for (;;) {
        if (condition()) return true;
        Pump();
        if (condition()) return true;
        if (Clock::now() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

// Whether every digit key shows its yellow face on the screen, read back from the display: a
// window can be visible before its keys are painted.
bool KeysDrawn(const HWND (&keys)[10]) {
    codeeingabe::ScreenDc screen;
    for (HWND key : keys) {
        RECT place{};
        GetWindowRect(key, &place);
        // Off the centred caption, inside the border.
        const int x = place.left + (place.right - place.left) / 5;
        const int y = place.top + (place.bottom - place.top) / 5;
        if (GetPixel(screen.get(), x, y) != RGB(255, 255, 0)) return false;
    }
    return true;
}

double Microseconds(Clock::duration duration) { return std::chrono::duration<double, std::micro>(duration).count(); }

fs::path ProgramPath(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path() / name;
}

struct Module {
    codeeingabe::UniqueHandle process;
};

bool StartProgram(Module& module, const std::wstring& commandLineText) {
    std::wstring commandLine = commandLineText;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    module.process.reset(info.hProcess);
    return true;
}

bool StartModule(Module& module) {
    return StartProgram(module, L"\"" + ProgramPath(L"Codelist.exe").wstring() + L"\" /Mod");
}

// The empty program: it only sends "Register" to the inbox named on its command line.
bool StartEmptyProgram(Module& program, HWND inbox) {
    return StartProgram(program, L"\"" + ProgramPath(L"empty_program.exe").wstring() + L"\" " +
                                     std::to_wstring(reinterpret_cast<INT_PTR>(inbox)));
}

// An empty window of the keypad's size and styles, in this process: what showing a window costs
// by itself.
class EmptyWindow {
public:
    explicit EmptyWindow(const RECT& place) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"EmptyBenchWindow";
        RegisterClassExW(&windowClass);
        window_.reset(CreateWindowExW(WS_EX_TOPMOST, L"EmptyBenchWindow", L"", WS_POPUP, place.left, place.top,
                                      place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
    }
    HWND get() const { return window_.get(); }

private:
    codeeingabe::UniqueWindow window_;
};

std::string Megabytes(std::size_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", bytes / 1048576.0);
    return text;
}


bool CloseModule(HostInbox& host, Module& module) {
    host.SendToModule("AppClose");
    return PumpUntil([&] { return WaitForSingleObject(module.process.get(), 0) == WAIT_OBJECT_0; });
}

std::size_t Count(const HostInbox& host, const std::string& command) {
    const auto commands = host.Commands();
    return static_cast<std::size_t>(std::count(commands.begin(), commands.end(), command));
}

// Keeps the module folder's files as they were before the run.
class SavedFiles {
public:
    explicit SavedFiles(fs::path folder) : folder_(std::move(folder)) {
        fs::create_directories(folder_);
        for (const std::string& name : names_) {
            std::error_code missing;
            if (fs::exists(folder_ / name))
                fs::copy_file(folder_ / name, Backup(name), fs::copy_options::overwrite_existing, missing);
        }
    }
    ~SavedFiles() {
        for (const std::string& name : names_) {
            std::error_code ignored;
            fs::remove(folder_ / name, ignored);
            if (fs::exists(Backup(name))) fs::rename(Backup(name), folder_ / name, ignored);
        }
    }

private:
    fs::path Backup(const std::string& name) const { return folder_ / (name + ".bench-saved"); }
    fs::path folder_;
    const std::vector<std::string> names_{"Codelist.ini", "Module.ini",
                                          fs::path(codeeingabe::JournalFile({L".", 2, ""})).filename().string()};
};

int Fail(const char* what) {
    std::printf("host_bench: %s\n", what);
    return 1;
}

}  // namespace

int main() {
    const fs::path folder = codeeingabe::host::ModuleFolderPath();
    SavedFiles saved(folder);
    HostInbox host;
    codeeingabe::host::WriteModuleIni(folder, host.Inbox());
    std::ofstream(folder / "Codelist.ini", std::ios::binary) << CodeList();

    Module module;
    if (!StartModule(module) || !PumpUntil([&] { return Count(host, "SetCreditSys|Enabled") == 1; })) {
        return Fail("the module did not register");
    }
    HWND appComm = host.ModuleInbox();
    HWND keypad = GetParent(appComm);
    HWND lblCode = FindWindowExW(keypad, nullptr, L"Static", nullptr);
    HWND abbruch = FindWindowExW(keypad, nullptr, L"Button", L"Abbruch");
    HWND keys[10] = {};
    for (int digit = 0; digit < 10; ++digit) {
        const wchar_t caption[2] = {static_cast<wchar_t>(L'0' + digit), L'\0'};
        keys[digit] = FindWindowExW(keypad, nullptr, L"Button", caption);
    }
    const auto key = [&](char digit) { return keys[digit - '0']; };
    const auto sendText = [](HWND window, const char* text) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &ignored);
    };
    const auto click = [](HWND button) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &ignored);
    };

    // The bare round trip: one WM_SETTEXT to a plain control of the module (its empty code
    // display, set to empty again).
    const auto roundTrip = bench::Measure(kRepetitions, [&](int) { sendText(lblCode, ""); });

    // The round trip and the show of an empty window of the keypad's size in this process.
    RECT keypadPlace{};
    GetWindowRect(keypad, &keypadPlace);
    EmptyWindow empty(keypadPlace);
    const auto bareShow = bench::Measure(
        kRepetitions,
        [&](int) {
            sendText(lblCode, "");
            ShowWindow(empty.get(), SW_SHOW);
        },
        [&](int) {
            ShowWindow(empty.get(), SW_HIDE);
            Pump();
        });
    ShowWindow(empty.get(), SW_HIDE);

    // One durable write of one key, on a copy of the code list beside it: each code booked and then
    // set free again, so that every write changes the file (a write of the value a key already
    // holds leaves the file alone); the platform's count of the free codes on the same copy.
    const fs::path copy = folder / "bench-copy.ini";
    std::ofstream(copy, std::ios::binary) << CodeList();
    const auto durableWrite = bench::Measure(
        kRepetitions, [&](int i) { codeeingabe::WriteProfile(copy, "Codes", Code(i / 2), i % 2 == 0 ? "USED" : "UNUSED"); });
    const std::string copyPath = copy.string();
    const auto platformCount = bench::Measure(kMasterRepetitions, [&](int) {
        std::string buffer(32768, '\0');
        const DWORD length =
            GetPrivateProfileSectionA("Codes", buffer.data(), static_cast<DWORD>(buffer.size()), copyPath.c_str());
        int free = 0;
        for (std::size_t at = 0; at < length; at += std::strlen(&buffer[at]) + 1) {
            if (std::string_view(&buffer[at]).ends_with("=UNUSED")) ++free;
        }
        if (free < kCodes / 2) std::abort();
    });
    fs::remove(copy);

    // The journal's own append, to a new journal and to one that holds a year of heavy use, each
    // beside one durable append of a line's length to the same file, as bare as the platform allows.
    const fs::path journalFolder = folder / "bench-journal";
    fs::create_directories(journalFolder);
    const codeeingabe::ProcessValues journalValues{journalFolder.wstring(), 2, ""};
    const fs::path journal = codeeingabe::JournalFile(journalValues);
    const auto bareAppend = [&](int) {
        const codeeingabe::UniqueHandle file(CreateFileW(journal.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        const char line[] = "07.12.2026;16:08:40;Credits gesendet;=\"12345\";2;\r\n";
        DWORD written = 0;
        WriteFile(file.get(), line, sizeof line - 1, &written, nullptr);
        FlushFileBuffers(file.get());
    };
    const codeeingabe::JournalEntry entry{codeeingabe::JournalEvent::creditSent, "12345", 2, ""};
    const auto journalLine = [&](int) { codeeingabe::WriteJournal(journalValues, entry); };
    const auto durableAppend = bench::Measure(kRepetitions, bareAppend);
    fs::remove(journal);
    const auto newJournal = bench::Measure(kRepetitions, journalLine, [&](int) { fs::remove(journal); });
    {
        std::ofstream year(journal, std::ios::binary);
        year << codeeingabe::JournalHeading();
        for (int i = 0; i < 100'000; ++i) year << codeeingabe::JournalLine({2026, 1 + i % 12, 1 + i % 28, 12, 0, 0}, entry);
    }
    // On the disk first, as a year's lines long are by the time of the next: freshly written
    // megabytes would slow down the first flushes of either append alike.
    {
        const codeeingabe::UniqueHandle written(
            CreateFileW(journal.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        FlushFileBuffers(written.get());
    }
    Sleep(2000);
    const auto yearAppend = bench::Measure(kRepetitions, bareAppend);
    const auto yearJournal = bench::Measure(kRepetitions, journalLine);
    fs::remove_all(journalFolder);

    std::vector<double> showing;
    std::vector<double> drawing;
    std::vector<double> pressing;  // one key that does not complete the entry, as a reference
    std::vector<double> crediting;
    for (int i = 0; i < kRepetitions; ++i) {
        const auto start = Clock::now();
        sendText(appComm, "CreditClick");
        if (!PumpUntil([&] { return IsWindowVisible(keypad) != FALSE; })) return Fail("the keypad did not show");
        showing.push_back(Microseconds(Clock::now() - start));
        if (!PumpUntil([&] { return KeysDrawn(keys); })) return Fail("the keys were not drawn");
        drawing.push_back(Microseconds(Clock::now() - start));
        if (i % 2 == 1) {  // every other time the keypad is only opened and cancelled
            click(abbruch);
            continue;
        }
        const std::string code = Code(i);
        for (int digit = 0; digit < 3; ++digit) click(key(code[static_cast<std::size_t>(digit)]));
        const auto fourth = Clock::now();
        click(key(code[3]));
        pressing.push_back(Microseconds(Clock::now() - fourth));
        // A guest's next tap comes a tenth of a second later at the soonest: by then Wine has put the
        // fourth digit on the screen. Tapped at once, the fifth would share the two cores with that
        // drawing, which takes about a millisecond here and which no finger is fast enough to meet.
        Sleep(kTapGapMs);
        const std::size_t before = Count(host, "AddCredit| 2");
        const auto fifth = Clock::now();
        PostMessageW(key(code[4]), BM_CLICK, 0, 0);
        if (!PumpUntil([&] { return Count(host, "AddCredit| 2") > before; })) return Fail("no credit arrived");
        crediting.push_back(Microseconds(host.Received().back().arrival - fifth));
        PumpUntil([&] { return IsWindowVisible(keypad) == FALSE; });
    }

    // The master code: from its fifth digit to the master window showing the count of free codes.
    std::vector<double> counting;
    for (int i = 0; i < kMasterRepetitions; ++i) {
        sendText(appComm, "CreditClick");
        if (!PumpUntil([&] { return IsWindowVisible(keypad) != FALSE; })) return Fail("the keypad did not show");
        for (int digit = 0; digit < 4; ++digit) click(key(kMasterCode[digit]));
        const auto fifth = Clock::now();
        PostMessageW(key(kMasterCode[4]), BM_CLICK, 0, 0);
        HWND master = nullptr;
        HWND count = nullptr;
        const bool shown = PumpUntil([&] {
            master = FindWindowW(L"Codeeingabe.frmMaster", nullptr);
            if (master == nullptr || !IsWindowVisible(master)) return false;
            count = FindWindowExW(master, nullptr, L"Static", nullptr);
            char text[16] = {};
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(count, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000,
                                &ignored);
            return text[0] >= '0' && text[0] <= '9';
        });
        if (!shown) return Fail("the master window did not show its count");
        counting.push_back(Microseconds(Clock::now() - fifth));
        PostMessageW(master, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(384, 24));  // the close glyph
        PostMessageW(master, WM_LBUTTONUP, 0, MAKELPARAM(384, 24));
        if (!PumpUntil([&] { return IsWindow(master) == FALSE; })) return Fail("the master window did not close");
    }

    const codeeingabe::test::ProcessResources resources = codeeingabe::test::MeasureProcess(module.process.get());
    if (!CloseModule(host, module)) return Fail("the module did not end");

    std::vector<double> starting;
    std::vector<double> emptyStarting;
    for (int i = 0; i < kStartRepetitions; ++i) {
        for (const bool emptyProgram : {false, true}) {
            Module next;
            const std::size_t before = Count(host, "Register");
            const std::size_t enabled = Count(host, "SetCreditSys|Enabled");
            const auto start = Clock::now();
            const bool started = emptyProgram ? StartEmptyProgram(next, host.Inbox()) : StartModule(next);
            if (!started || !PumpUntil([&] { return Count(host, "Register") > before; })) return Fail("no Register arrived");
            (emptyProgram ? emptyStarting : starting).push_back(Microseconds(Clock::now() - start));
            if (emptyProgram) {
                PumpUntil([&] { return WaitForSingleObject(next.process.get(), 0) == WAIT_OBJECT_0; });
                continue;
            }
            PumpUntil([&] { return Count(host, "SetCreditSys|Enabled") > enabled; });
            if (!CloseModule(host, next)) return Fail("a module did not end");
        }
    }

    const bench::Figures credit = bench::Summarise(crediting);
    const bench::Figures show = bench::Summarise(showing);
    const bench::Figures target{roundTrip.median_us + durableWrite.median_us + durableAppend.median_us + 3000,
                                roundTrip.p95_us + durableWrite.p95_us + durableAppend.p95_us + 3000};
    bench::PrintRow("host: CreditClick to keypad visible", show, "bare round trip + show of an empty window", bareShow);
    bench::PrintRow("host: CreditClick to keypad visible", show, "bare WM_SETTEXT round trip", roundTrip);
    bench::PrintRow("host: CreditClick to keypad drawn (every key on the screen)", bench::Summarise(drawing),
                    "bare round trip + show of an empty window", bareShow);
    bench::PrintRow("host: fifth digit to AddCredit at the host", credit,
                    "target: round trip + durable write + durable append + 3 ms", target);
    bench::PrintRow("host: fifth digit to AddCredit at the host", credit, "one key press (BM_CLICK sent)",
                    bench::Summarise(pressing));
    bench::PrintRow("journal: one line into a new journal", newJournal, "bare durable append to a small file",
                    durableAppend);
    bench::PrintRow("journal: one line after 100,000 lines", yearJournal, "bare durable append to the same file",
                    yearAppend);
    bench::PrintRow("host: master code to count of 1000 codes shown", bench::Summarise(counting),
                    "GetPrivateProfileSectionA + count", platformCount);
    bench::PrintRow("host: process start to Register at the host", bench::Summarise(starting),
                    "start of an empty program to its Register", bench::Summarise(emptyStarting));

    bench::PrintValue("host mode process: working set", Megabytes(resources.workingSetBytes).c_str(),
                      "after the runs above");
    bench::PrintValue("host mode process: private bytes", Megabytes(resources.privateBytes).c_str(),
                      "Wine: commit charge (PrivateUsage gives 0)");
    bench::PrintValue("host mode process: handles", std::to_string(resources.handles).c_str(),
                      "Wine: from the system handle table (GetProcessHandleCount gives 0)");
    bench::PrintValue("host mode process: windows", std::to_string(resources.windows).c_str(), "counted by enumeration");
    return 0;
}
