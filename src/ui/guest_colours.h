#pragma once

#include <windows.h>

namespace codeeingabe {

// The colours of the windows the guest sees at the jukebox: keypad, master window.
inline constexpr COLORREF kDarkRed = RGB(192, 0, 0);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kYellow = RGB(255, 255, 0);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kOrange = RGB(255, 128, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 192);

}  // namespace codeeingabe
