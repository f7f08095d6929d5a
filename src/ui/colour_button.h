#pragma once

#include <windows.h>

namespace codeeingabe {

// Push buttons in the coloured face style: real BUTTON windows that carry their caption as window
// text, drawn by their form. Owner-drawn buttons report the second of two quick taps as
// BN_DOUBLECLICKED; IsButtonClick counts it as a click, or a fast guest would lose taps.
inline constexpr DWORD kColourButtonStyle = WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;

bool IsButtonClick(WPARAM commandWParam);

// Draws the button of a WM_DRAWITEM: face in its own colour, raised edge (sunken while pressed),
// caption centred in the system's button text colour with the button's font, focus rectangle.
void DrawColourButton(const DRAWITEMSTRUCT& item, COLORREF face);

}  // namespace codeeingabe
