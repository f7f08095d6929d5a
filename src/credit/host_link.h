#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "credit/host_message.h"

namespace codeeingabe {

// The host inbox's window named by a signed 32-bit handle, as Module.ini gives it.
HWND HostWindow(std::int32_t hostWindowHandle);

// A window handle as the host reads it: signed 32-bit decimal (window handles fit 32 bits).
std::int32_t HandleNumber(HWND window);

// Sends one command to the host inbox, with the module inbox returnAddress in front. First waits,
// 10 ms at a time with messages handled, until the host has emptied its inbox (255 polls at
// most, then the send goes ahead all the same). A host that does not answer within a few
// seconds is taken as hung: polling stops, and the send itself gives up as "unanswered".
SendResult SendToHost(std::int32_t hostWindowHandle, HWND returnAddress, std::string_view command);

}  // namespace codeeingabe
