// Generation, text export and reset of 1000 codes in the settings window, each from the button's
// click to its message box, next to the same reset done with 1000 calls of the platform's
// WritePrivateProfileStringA, measured in the same run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/forms.h"
#include "bench_stats.h"
#include "codelist/frm_einstellungen.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kCodes = 1000;

// Notes when a message box of this thread becomes active and closes it with OK.
class MessageBoxClock {
public:
    MessageBoxClock() {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, &MessageBoxClock::Hook, nullptr, GetCurrentThreadId());
    }
    ~MessageBoxClock() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    MessageBoxClock(const MessageBoxClock&) = delete;
    MessageBoxClock& operator=(const MessageBoxClock&) = delete;

    Clock::time_point Shown() const { return shown_; }
    const std::wstring& Text() const { return text_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current_ != nullptr) {
            auto box = reinterpret_cast<HWND>(wParam);
            wchar_t className[16] = {};
            GetClassNameW(box, className, 16);
            if (std::wstring(className) == L"#32770") {
                current_->shown_ = Clock::now();
                wchar_t text[256] = {};
                GetDlgItemTextW(box, 0xFFFF, text, 256);
                current_->text_ = text;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline MessageBoxClock* current_ = nullptr;
    HHOOK hook_ = nullptr;
    Clock::time_point shown_{};
    std::wstring text_;
};

std::string Code(int i) {
    char text[8];
    std::snprintf(text, sizeof text, "%05d", (i * 7919 + 3) % 100000);
    return text;
}

// A list of 1000 codes, every third one used.
void WriteUsedList(const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    out << "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n";
    for (int i = 0; i < kCodes; ++i) out << Code(i) << (i % 3 == 1 ? "=USED\r\n" : "=UNUSED\r\n");
}

struct ViewerSearch {
    DWORD self;
    std::vector<HWND> found;
};

BOOL CALLBACK FindViewer(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ViewerSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    if (owner != search->self && IsWindowVisible(window) && wcsstr(title, L"Codelist.txt") != nullptr) {
        search->found.push_back(window);
    }
    return TRUE;
}

// The export has the shell open the file each time; the viewers are closed again, untimed.
void CloseViewers() {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    ViewerSearch search{GetCurrentProcessId(), {}};
    while (search.found.empty() && Clock::now() < deadline) {
        Sleep(20);
        EnumWindows(&FindViewer, reinterpret_cast<LPARAM>(&search));
    }
    for (HWND viewer : search.found) {
        DWORD id = 0;
        GetWindowThreadProcessId(viewer, &id);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
        PostMessageW(viewer, WM_CLOSE, 0, 0);
        if (process != nullptr) {
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
    }
}

// Clicks the button and measures until its message box shows; prepare runs untimed before.
bench::Figures ClickToMessage(HWND button, int repetitions, const wchar_t* expected, const std::function<void()>& prepare,
                              const std::function<void()>& after) {
    std::vector<double> samples;
    for (int i = 0; i < repetitions; ++i) {
        prepare();
        MessageBoxClock box;
        const auto start = Clock::now();
        SendMessageW(button, BM_CLICK, 0, 0);
        if (box.Text().find(expected) != 0) {
            std::fwprintf(stderr, L"unexpected message: %ls\n", box.Text().c_str());
            std::exit(1);
        }
        samples.push_back(std::chrono::duration<double, std::micro>(box.Shown() - start).count());
        after();
    }
    return bench::Summarise(samples);
}

}  // namespace

int main() {
    const fs::path folder = fs::temp_directory_path() / "codeeingabe-settings-bench";
    fs::create_directories(folder);
    codeeingabe::ProcessValues values;
    values.moduleFolder = folder;
    const fs::path codeList = folder / "Codelist.ini";
    const std::string codeListPath = codeList.string();

    codeeingabe::Forms forms(values);
    codeeingabe::FrmEinstellungen& settings = forms.frmEinstellungen();
    settings.Show();
    auto control = [&](int id) { return GetDlgItem(settings.Handle(), id); };
    const auto nothing = [] {};

    // The message box's own cost: a count out of range shows its message without any work.
    SetWindowTextW(control(codeeingabe::kTxtNrOfCodes), L"0");
    const auto messageOnly = ClickToMessage(control(codeeingabe::kCmdCreateCodelist), 30, L"Die Anzahl", nothing, nothing);
    SetWindowTextW(control(codeeingabe::kTxtNrOfCodes), L"1000");
    const auto generation =
        ClickToMessage(control(codeeingabe::kCmdCreateCodelist), 30, L"Codeliste wurde erstellt", nothing, nothing);
    const auto exportText = ClickToMessage(control(codeeingabe::kCmdCreateCodelistText), 15,
                                           L"Codeliste wurde in folgende Datei geschrieben", nothing, CloseViewers);
    const auto reset = ClickToMessage(
        control(codeeingabe::kCmdResetCodelist), 30, L"Codes wurden zur\u00fcckgesetzt", [&] { WriteUsedList(codeList); },
        nothing);
    std::vector<double> platformSamples;
    for (int i = 0; i < 30; ++i) {
        WriteUsedList(codeList);
        const auto start = Clock::now();
        for (int k = 0; k < kCodes; ++k)
            WritePrivateProfileStringA("Codes", Code(k).c_str(), "UNUSED", codeListPath.c_str());
        platformSamples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    const auto platformReset = bench::Summarise(platformSamples);

    // Generation and export have no platform equivalent: beside them the message box by itself.
    bench::PrintRow("generation of 1000 codes, click to message box", generation, "message box alone (count out of range)",
                    messageOnly);
    bench::PrintRow("text export of 1000 codes, click to message box", exportText, "message box alone (count out of range)",
                    messageOnly);
    bench::PrintRow("reset of 1000 codes (durable), click to message box", reset, "1000 x WritePrivateProfileStringA",
                    platformReset);

    settings.Unload();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
