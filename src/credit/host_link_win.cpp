#include "credit/host_link.h"

#include <string>

#include "platform/waitable_timer.h"

namespace codeeingabe {
namespace {

constexpr int kPollAttempts = 255;
constexpr int kPollPauseMs = 10;
// Far above one round trip (about a millisecond), short enough that a hung host never freezes
// the guest's window for long.
constexpr UINT kAnswerTimeoutMs = 2000;
// Not SMTO_BLOCK: messages sent to the module while it waits (a host that answers at once with
// "CreditClick" or "AppClose") are handled instead of waiting for the timeout. Not
// SMTO_ABORTIFHUNG: it would not even offer the message to a host that is only busy for a while.
constexpr UINT kSendFlags = SMTO_NORMAL;

}  // namespace

HWND HostWindow(std::int32_t hostWindowHandle) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(hostWindowHandle)); }

std::int32_t HandleNumber(HWND window) { return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window)); }

SendResult SendToHost(std::int32_t hostWindowHandle, HWND returnAddress, std::string_view command) {
    HWND host = HostWindow(hostWindowHandle);
    for (int attempt = 0; attempt < kPollAttempts; ++attempt) {
        char text[2] = {};  // room for one character: enough to tell an empty inbox
        DWORD_PTR copied = 0;
        if (SendMessageTimeoutA(host, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), kSendFlags, kAnswerTimeoutMs,
                                &copied) == 0) {
            if (IsWindow(host) == FALSE) return SendResult::hostGone;
            break;
        }
        if (copied == 0) break;
        Wait(kPollPauseMs);
    }
    const std::string message = OutgoingMessage(HandleNumber(returnAddress), command);
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutA(host, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(message.c_str()), kSendFlags, kAnswerTimeoutMs,
                            &ignored) != 0) {
        return SendResult::delivered;
    }
    return IsWindow(host) == FALSE ? SendResult::hostGone : SendResult::unanswered;
}

}  // namespace codeeingabe
