#include "host_inbox.h"

#include <shlobj.h>

namespace codeeingabe::host {
namespace {

constexpr wchar_t kHolderClass[] = L"Codeeingabe.HostInbox";
constexpr int kInboxId = 1;
constexpr UINT kSendTimeoutMs = 5000;

std::int32_t HandleNumber(HWND window) { return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window)); }

void RegisterHolderClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kHolderClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when an earlier inbox registered it
}

}  // namespace

HostInbox::HostInbox() {
    RegisterHolderClass(&HostInbox::HolderProc);
    holder_.reset(CreateWindowExW(0, kHolderClass, L"Host-Posteingang", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), this));
    inbox_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 100, 20, holder_.get(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kInboxId)), GetModuleHandleW(nullptr), nullptr);
}

HostInbox::~HostInbox() {
    // No more calls into this object while the window goes.
    if (holder_) SetWindowLongPtrW(holder_.get(), GWLP_USERDATA, 0);
}

LRESULT CALLBACK HostInbox::HolderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* inbox = reinterpret_cast<HostInbox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (inbox != nullptr && message == WM_COMMAND && LOWORD(wParam) == kInboxId && HIWORD(wParam) == EN_CHANGE) {
        inbox->Inbox_Change();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void HostInbox::Inbox_Change() {
    char text[1024] = {};
    GetWindowTextA(inbox_, text, sizeof text);
    if (text[0] == '\0') return;  // the change that emptying the inbox raises
    ReceivedMessage message{text, ParseModuleMessage(text), std::chrono::steady_clock::now()};
    if (!keepsMessages_) SetWindowTextA(inbox_, "");
    if (message.parsed) {
        if (const auto credits = AddCreditAmount(message.parsed->command)) credits_ += *credits;
    }
    received_.push_back(std::move(message));
    if (onMessage) onMessage(received_.back());
}

std::vector<std::string> HostInbox::Commands() const {
    std::vector<std::string> commands;
    for (const ReceivedMessage& message : received_)
        commands.push_back(message.parsed ? message.parsed->command : message.text);
    return commands;
}

HWND HostInbox::ModuleInbox() const {
    for (auto message = received_.rbegin(); message != received_.rend(); ++message) {
        if (message->parsed) return reinterpret_cast<HWND>(static_cast<INT_PTR>(message->parsed->returnAddress));
    }
    return nullptr;
}

bool HostInbox::SendToModule(std::string_view command) const {
    HWND module = ModuleInbox();
    if (module == nullptr) return false;
    const std::string text(command);
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(module, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, kSendTimeoutMs,
                               &ignored) != 0;
}

std::filesystem::path ModuleFolderPath() {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) return {};
    return std::filesystem::path(appData) / L"Tremolan 6" / L"Module";
}

bool WriteModuleIni(const std::filesystem::path& moduleFolder, HWND inbox) {
    std::error_code error;
    std::filesystem::create_directories(moduleFolder, error);
    const std::wstring file = (moduleFolder / L"Module.ini").wstring();
    const std::wstring handle = std::to_wstring(HandleNumber(inbox));
    return WritePrivateProfileStringW(L"Einstellungen", L"AppCommPort", handle.c_str(), file.c_str()) != FALSE;
}

}  // namespace codeeingabe::host
