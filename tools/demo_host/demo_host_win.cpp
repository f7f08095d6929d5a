// A stand-in jukebox program: it offers the module its inbox through Module.ini, starts
// Codelist.exe /Mod from its own folder, shows what the module sends and counts the credits.
// With --stdin it also takes the commands "CreditClick", "AppClose" and "Ende" line by line from
// its standard input, for scripted sessions; everything it receives is also printed.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "host_inbox.h"
#include "platform/win_handles.h"

namespace {

using codeeingabe::UniqueHandle;
using codeeingabe::host::HostInbox;
using codeeingabe::host::ReceivedMessage;

constexpr wchar_t kWindowClass[] = L"Codeeingabe.DemoHost";
constexpr wchar_t kTitle[] = L"Demo-Jukebox";

enum ControlId : int { kList = 10, kCredits, kStatus, kCreditClick, kAppClose, kSettings, kRestart };
constexpr UINT_PTR kStatusTimer = 1;
constexpr UINT kScriptCommand = WM_APP + 1;  // lParam: a new std::string, owned by the receiver

// Printed in UTF-8, for the terminal or log of a scripted session.
void Print(const std::wstring& line) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    const std::wstring withEnd = line + L"\n";
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, withEnd.c_str(), static_cast<int>(withEnd.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, withEnd.c_str(), static_cast<int>(withEnd.size()), text.data(), size, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The module's texts in the ANSI code page.
std::wstring FromAnsi(const std::string& text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::filesystem::path OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

UniqueHandle StartCodelist(const wchar_t* arguments) {
    const std::filesystem::path program = OwnFolder() / L"Codelist.exe";
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    if (*arguments != L'\0') commandLine += std::wstring(L" ") + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return nullptr;
    }
    CloseHandle(info.hThread);
    return UniqueHandle(info.hProcess);
}

class DemoHost {
public:
    bool Create(bool readStdin);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void StartModule();
    void Send(const std::string& command);
    void Log(const std::wstring& line);
    void ShowCredits();
    void ShowStatus();
    bool ModuleRunning() const;
    void ReadStdin();

    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND credits_ = nullptr;
    HWND status_ = nullptr;
    HostInbox inbox_;
    UniqueHandle module_;
    codeeingabe::UniqueFont bigFont_;
};

bool DemoHost::Create(bool readStdin) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &DemoHost::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    RECT frame{0, 0, 460, 360};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, FALSE);
    window_ = CreateWindowExW(0, kWindowClass, kTitle, style, 40, 40, frame.right - frame.left, frame.bottom - frame.top,
                              nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) return false;
    CreateControls();
    inbox_.onMessage = [this](const ReceivedMessage& message) {
        Log(L"Empfangen: " + FromAnsi(message.text));
        if (message.parsed && codeeingabe::host::AddCreditAmount(message.parsed->command)) ShowCredits();
    };
    ShowWindow(window_, SW_SHOW);
    SetTimer(window_, kStatusTimer, 250, nullptr);

    const std::filesystem::path folder = codeeingabe::host::ModuleFolderPath();
    if (codeeingabe::host::WriteModuleIni(folder, inbox_.Inbox())) {
        Log(L"Module.ini geschrieben: AppCommPort=" +
            std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(inbox_.Inbox()))));
    } else {
        Log(L"Module.ini konnte nicht geschrieben werden");
    }
    StartModule();
    if (readStdin) std::thread(&DemoHost::ReadStdin, this).detach();
    return true;
}

void DemoHost::CreateControls() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto control = [&](const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
        HWND child = CreateWindowExW(className == std::wstring(L"LISTBOX") ? WS_EX_CLIENTEDGE : 0, className, text,
                                     WS_CHILD | WS_VISIBLE | style, x, y, w, h, window_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return child;
    };
    control(L"STATIC", L"Nachrichten vom Modul:", 0, 12, 10, 300, 16, 0);
    list_ = control(L"LISTBOX", L"", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 12, 28, 436, 170, kList);
    credits_ = control(L"STATIC", L"Guthaben: 0 Credits", 0, 12, 208, 436, 28, kCredits);
    bigFont_.reset(CreateFontW(-22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"));
    SendMessageW(credits_, WM_SETFONT, reinterpret_cast<WPARAM>(bigFont_.get()), FALSE);
    status_ = control(L"STATIC", L"", 0, 12, 242, 436, 16, kStatus);
    control(L"BUTTON", L"CreditClick senden", BS_PUSHBUTTON | WS_TABSTOP, 12, 268, 140, 32, kCreditClick);
    control(L"BUTTON", L"AppClose senden", BS_PUSHBUTTON | WS_TABSTOP, 160, 268, 140, 32, kAppClose);
    control(L"BUTTON", L"Einstellungen \u00f6ffnen", BS_PUSHBUTTON | WS_TABSTOP, 308, 268, 140, 32, kSettings);
    control(L"BUTTON", L"Modul neu starten", BS_PUSHBUTTON | WS_TABSTOP, 12, 312, 140, 32, kRestart);
}

LRESULT CALLBACK DemoHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* host = static_cast<DemoHost*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        host->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    }
    auto* host = reinterpret_cast<DemoHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return host != nullptr ? host->OnMessage(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT DemoHost::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kCreditClick:
                    Send("CreditClick");
                    break;
                case kAppClose:
                    Send("AppClose");
                    break;
                case kSettings:
                    Log(StartCodelist(L"") ? L"Einstellungen ge\u00f6ffnet" : L"Codelist.exe konnte nicht gestartet werden");
                    break;
                case kRestart:
                    if (ModuleRunning()) {
                        Log(L"Das Modul l\u00e4uft schon");
                    } else {
                        StartModule();
                    }
                    break;
                default:
                    break;
            }
            return 0;
        case kScriptCommand: {
            std::unique_ptr<std::string> command(reinterpret_cast<std::string*>(lParam));
            if (*command == "Ende") {
                PostMessageW(window_, WM_CLOSE, 0, 0);
            } else if (!command->empty()) {
                Send(*command);
            }
            return 0;
        }
        case WM_TIMER:
            ShowStatus();
            return 0;
        case WM_CLOSE:
            // A jukebox that quits closes its module.
            if (ModuleRunning()) Send("AppClose");
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void DemoHost::StartModule() {
    module_ = StartCodelist(L"/Mod");
    Log(module_ ? L"Codelist.exe /Mod gestartet" : L"Codelist.exe konnte nicht gestartet werden");
    ShowStatus();
}

void DemoHost::Send(const std::string& command) {
    const std::wstring text = FromAnsi(command);
    Log(inbox_.SendToModule(command) ? L"Gesendet: " + text : L"Nicht gesendet (kein Modul erreichbar): " + text);
}

void DemoHost::Log(const std::wstring& line) {
    Print(line);
    const LRESULT index = SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DemoHost::ShowCredits() {
    const std::wstring text = L"Guthaben: " + std::to_wstring(inbox_.Credits()) + L" Credits";
    SetWindowTextW(credits_, text.c_str());
    Print(text);
}

bool DemoHost::ModuleRunning() const { return module_ && WaitForSingleObject(module_.get(), 0) == WAIT_TIMEOUT; }

void DemoHost::ShowStatus() {
    std::wstring text = L"Modul: nicht gestartet";
    if (ModuleRunning()) {
        text = L"Modul: l\u00e4uft";
    } else if (module_) {
        DWORD code = 0;
        GetExitCodeProcess(module_.get(), &code);
        text = L"Modul: beendet (Exitcode " + std::to_wstring(code) + L")";
    }
    wchar_t current[128] = {};
    GetWindowTextW(status_, current, 128);
    if (text != current) SetWindowTextW(status_, text.c_str());
}

void DemoHost::ReadStdin() {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    std::string line;
    char c = 0;
    DWORD got = 0;
    while (ReadFile(in, &c, 1, &got, nullptr) && got == 1) {
        if (c == '\r') continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        auto command = std::make_unique<std::string>(std::move(line));
        if (PostMessageW(window_, kScriptCommand, 0, reinterpret_cast<LPARAM>(command.get()))) command.release();
        line.clear();
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    DemoHost host;
    if (!host.Create(std::wstring(commandLine).find(L"--stdin") != std::wstring::npos)) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(GetAncestor(message.hwnd, GA_ROOT), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
