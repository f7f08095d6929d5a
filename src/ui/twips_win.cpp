#include "ui/twips.h"

#include <cmath>

#include "platform/win_handles.h"

namespace codeeingabe {
namespace {

int ScreenDpi(int axis) {
    ScreenDc screen;
    const int dpi = GetDeviceCaps(screen.get(), axis);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

int TwipsPerPixelX() { return 1440 / ScreenDpi(LOGPIXELSX); }
int TwipsToPixelsX(int twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSX), 1440); }
int TwipsToPixelsY(int twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSY), 1440); }

RECT ToPixels(const TwipsRect& rect) {
    const int left = TwipsToPixelsX(rect.left);
    const int top = TwipsToPixelsY(rect.top);
    return RECT{left, top, left + TwipsToPixelsX(rect.width), top + TwipsToPixelsY(rect.height)};
}

HFONT CreatePointFont(const wchar_t* face, double points, int weight, BYTE charset) {
    const int height = -static_cast<int>(std::lround(points * ScreenDpi(LOGPIXELSY) / 72.0));
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace codeeingabe
