#pragma once

#include <windows.h>

namespace codeeingabe {

// Window geometry is kept in twips (1/1440 inch), as the layouts give it, and converted once with
// the screen's resolution: 15 twips to a pixel at 96 dpi.
struct TwipsRect {
    int left, top, width, height;
};

int TwipsPerPixelX();
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);
RECT ToPixels(const TwipsRect& rect);

// A font of the given point size at the screen's resolution; falls back to the system's choice of a
// similar font where the face is missing.
HFONT CreatePointFont(const wchar_t* face, double points, int weight, BYTE charset = DEFAULT_CHARSET);

}  // namespace codeeingabe
