#include "platform/waitable_timer.h"

#include <chrono>
#include <string>
#include <string_view>

#include "platform/win_handles.h"

namespace codeeingabe {
namespace {

using Clock = std::chrono::steady_clock;

// Keyboard, mouse, posted, timer, paint, sent and hot-key input: everything but raw input.
constexpr DWORD kWakeMask = 0xFF;
// A wait whose timer is held back (set anew again and again by another wait of the same name)
// still ends this long after its own time.
constexpr auto kBackstop = std::chrono::seconds(1);

std::wstring TimerName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    // The program file's name without its folder and extension.
    std::wstring_view name(path);
    name.remove_prefix(name.find_last_of(L"\\/") + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring_view::npos && dot != 0 && name != L"..") name = name.substr(0, dot);
    return std::wstring(name) + L"Timer";
}

DWORD MillisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

// Without a usable timer: handle messages as they come until the time is over.
void PumpUntil(Clock::time_point deadline) {
    for (;;) {
        if (!DispatchWaitingMessages()) return;
        const DWORD left = MillisecondsUntil(deadline);
        if (left == 0) return;
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, left, kWakeMask) == WAIT_FAILED) {
            Sleep(left);
            DispatchWaitingMessages();
            return;
        }
    }
}

}  // namespace

void DispatchProgramMessage(MSG& message) {
    // Tab order and dialog keys in every window, as in a dialog.
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && IsDialogMessageW(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool DispatchWaitingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        DispatchProgramMessage(message);
    }
    return true;
}

void Wait(int milliseconds) {
    if (milliseconds < 1) {
        DispatchWaitingMessages();
        return;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    UniqueHandle timer(CreateWaitableTimerW(nullptr, TRUE, TimerName().c_str()));
    LARGE_INTEGER due{};
    due.QuadPart = -static_cast<LONGLONG>(milliseconds) * 10000;  // relative, in 100 ns units
    if (!timer || !SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE)) {
        PumpUntil(deadline);
        return;
    }
    for (;;) {
        HANDLE handle = timer.get();
        const DWORD result =
            MsgWaitForMultipleObjects(1, &handle, FALSE, MillisecondsUntil(deadline + kBackstop), kWakeMask);
        if (!DispatchWaitingMessages() || result == WAIT_OBJECT_0 || result == WAIT_TIMEOUT) return;
        if (result == WAIT_FAILED) {
            PumpUntil(deadline);
            return;
        }
    }
}

}  // namespace codeeingabe
