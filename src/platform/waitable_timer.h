#pragma once

#include <windows.h>

namespace codeeingabe {

// Waits the given time on the user-interface thread while every window message that arrives is
// handled, so handlers of any window may run inside. The timer is a system-wide manual-reset
// waitable timer named after the program file ("CodelistTimer"): a wait nested in a handler sets
// it anew and so also ends the wait around it. Always returns: when the timer cannot be had or the
// wait fails, it pumps messages until the time is over.
void Wait(int milliseconds);

// Handles one message as the program's message loop does (dialog keys, then dispatch).
void DispatchProgramMessage(MSG& message);

// Handles every waiting message as the program's message loop would. A WM_QUIT taken here is
// posted again for the message loop, and the result is false: the program is ending.
bool DispatchWaitingMessages();

}  // namespace codeeingabe
