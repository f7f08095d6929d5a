#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace codeeingabe {

// The operator's messages: a single OK button and one of three icons, by their style values.
enum class MessageStyle : UINT {
    stop = MB_OK | MB_ICONHAND,                // 16
    exclamation = MB_OK | MB_ICONEXCLAMATION,  // 48
    information = MB_OK | MB_ICONASTERISK,     // 64
};

// The application title, for messages that have no title of their own.
inline constexpr wchar_t kApplicationTitle[] = L"Codeeingabe Liste";

// Shows the message modal to the owner and returns when the operator has closed it.
void ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, MessageStyle style);

// How a window shows its messages: ShowMessage, or in tests a recorder that needs no screen.
using MessageFunction =
    std::function<void(HWND owner, const std::wstring& text, const std::wstring& title, MessageStyle style)>;

}  // namespace codeeingabe
