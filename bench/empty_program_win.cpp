// The start of an empty Windows program, as the reference for the module's start: it sends the
// module's first message, "Register", to the host inbox named on its command line, and ends.
#include <windows.h>

#include <cwchar>
#include <string>

#include "credit/host_message.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    HWND inbox = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(commandLine, nullptr, 10)));
    const std::string message = codeeingabe::OutgoingMessage(0, codeeingabe::kRegisterCommand);
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(inbox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(message.c_str()), SMTO_NORMAL, 10000,
                               &ignored) != 0
               ? 0
               : 1;
}
