// Host mode under Wine: Codelist.exe /Mod beside this process as the jukebox (the demo host's
// inbox), each figure next to the bare round trip of one WM_SETTEXT between the two processes
// and next to one durable profile write, both measured in the same run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "host_inbox.h"
#include "platform/profile.h"
#include "ui/win_handles.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using codeeingabe::host::HostInbox;

namespace {

constexpr int kRepetitions = 120;
constexpr int kStartRepetitions = 100;
constexpr auto kPatience = std::chrono::seconds(20);

std::string FiveDigits(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%05d", number);
    return text;
}

std::string Code(int i) { return FiveDigits(10000 + i * 37); }

std::string CodeList(int count) {
    std::string bytes = "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n";
    for (int i = 0; i < count; ++i) bytes += Code(i) + "=UNUSED\r\n";
    return bytes;
}

// Handles this thread's messages (the inbox's among them) until the condition holds.
bool PumpUntil(const std::function<bool()>& condition) {
    const auto deadline = Clock::now() + kPatience;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (condition()) return true;
        if (Clock::now() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

bench::Figures Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return bench::Figures{samples[samples.size() / 2], samples[std::min(samples.size() - 1, samples.size() * 95 / 100)]};
}

double Microseconds(Clock::duration duration) { return std::chrono::duration<double, std::micro>(duration).count(); }

fs::path ProgramPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path() / L"Codelist.exe";
}

struct Module {
    codeeingabe::UniqueHandle process;
};

bool StartModule(Module& module) {
    std::wstring commandLine = L"\"" + ProgramPath().wstring() + L"\" /Mod";
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
        for (const char* name : {"Codelist.ini", "Module.ini"}) {
            std::error_code missing;
            if (fs::exists(folder_ / name)) fs::copy_file(folder_ / name, Backup(name), fs::copy_options::overwrite_existing, missing);
        }
    }
    ~SavedFiles() {
        for (const char* name : {"Codelist.ini", "Module.ini"}) {
            std::error_code ignored;
            fs::remove(folder_ / name, ignored);
            if (fs::exists(Backup(name))) fs::rename(Backup(name), folder_ / name, ignored);
        }
    }

private:
    fs::path Backup(const char* name) const { return folder_ / (std::string(name) + ".bench-saved"); }
    fs::path folder_;
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
    std::ofstream(folder / "Codelist.ini", std::ios::binary) << CodeList(kRepetitions + 10);

    Module module;
    if (!StartModule(module) || !PumpUntil([&] { return Count(host, "SetCreditSys|Enabled") == 1; })) {
        return Fail("the module did not register");
    }
    HWND appComm = host.ModuleInbox();
    HWND keypad = GetParent(appComm);
    HWND lblCode = FindWindowExW(keypad, nullptr, L"Static", nullptr);
    HWND abbruch = FindWindowExW(keypad, nullptr, L"Button", L"Abbruch");
    const auto key = [&](char digit) {
        const wchar_t caption[2] = {static_cast<wchar_t>(digit), L'\0'};
        return FindWindowExW(keypad, nullptr, L"Button", caption);
    };
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

    // One durable write of one key, on a copy of the code list beside it.
    const fs::path copy = folder / "bench-copy.ini";
    std::ofstream(copy, std::ios::binary) << CodeList(kRepetitions + 10);
    const auto durableWrite = bench::Measure(kRepetitions, [&](int i) {
        codeeingabe::WriteProfile(copy, "Codes", Code(i), i % 2 == 0 ? "USED" : "UNUSED");
    });
    fs::remove(copy);

    std::vector<double> showing;
    std::vector<double> pressing;  // one key that does not complete the entry, as a reference
    std::vector<double> crediting;
    for (int i = 0; i < kRepetitions; ++i) {
        const auto start = Clock::now();
        sendText(appComm, "CreditClick");
        if (!PumpUntil([&] { return IsWindowVisible(keypad) != FALSE; })) return Fail("the keypad did not show");
        showing.push_back(Microseconds(Clock::now() - start));
        if (i % 2 == 1) {  // every other time the keypad is only opened and cancelled
            click(abbruch);
            continue;
        }
        const std::string code = Code(i);
        for (int digit = 0; digit < 3; ++digit) click(key(code[static_cast<std::size_t>(digit)]));
        const auto fourth = Clock::now();
        click(key(code[3]));
        pressing.push_back(Microseconds(Clock::now() - fourth));
        const std::size_t before = Count(host, "AddCredit| 2");
        const auto fifth = Clock::now();
        PostMessageW(key(code[4]), BM_CLICK, 0, 0);
        if (!PumpUntil([&] { return Count(host, "AddCredit| 2") > before; })) return Fail("no credit arrived");
        crediting.push_back(Microseconds(host.Received().back().arrival - fifth));
    }
    if (!CloseModule(host, module)) return Fail("the module did not end");

    std::vector<double> starting;
    for (int i = 0; i < kStartRepetitions; ++i) {
        Module next;
        const std::size_t before = Count(host, "Register");
        const auto start = Clock::now();
        if (!StartModule(next) || !PumpUntil([&] { return Count(host, "Register") > before; })) {
            return Fail("a module did not register");
        }
        starting.push_back(Microseconds(Clock::now() - start));
        PumpUntil([&] { return Count(host, "SetCreditSys|Enabled") > before; });
        if (!CloseModule(host, next)) return Fail("a module did not end");
    }

    std::printf("Host mode, Codelist.exe /Mod beside a host in this process (%d repetitions, %d starts)\n",
                kRepetitions, kStartRepetitions);
    bench::PrintHeader();
    bench::PrintRow("CreditClick to keypad visible", Summarise(showing), "bare WM_SETTEXT round trip", roundTrip);
    bench::PrintRow("fifth digit to AddCredit at the host", Summarise(crediting), "bare WM_SETTEXT round trip", roundTrip);
    bench::PrintRow("fifth digit to AddCredit at the host", Summarise(crediting), "one durable profile write", durableWrite);
    bench::PrintRow("process start to Register at the host", Summarise(starting), "bare WM_SETTEXT round trip", roundTrip);
    bench::PrintRow("fifth digit to AddCredit at the host", Summarise(crediting), "one key press (BM_CLICK sent)",
                    Summarise(pressing));
    const bench::Figures credit = Summarise(crediting);
    std::printf("\nmedian of fifth digit to AddCredit, minus the bare round trip and one durable write: %.1f us\n",
                credit.median_us - roundTrip.median_us - durableWrite.median_us);
    std::printf("the same, also minus the key press itself (button and its drawing):         %.1f us\n",
                credit.median_us - roundTrip.median_us - durableWrite.median_us - Summarise(pressing).median_us);
    return 0;
}
