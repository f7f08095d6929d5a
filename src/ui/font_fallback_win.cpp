#include "ui/font_fallback.h"

#include <algorithm>
#include <cstdint>

#include "ui/twips.h"

namespace codeeingabe {

namespace {

// The height in pixels of a capital as the font really draws it at the em height given. Some faces that call themselves
// TrueType hold only small bitmaps and draw any size at theirs, with wide gaps between letters.
int DrawnCapitalHeight(HDC screen, HFONT font, int emHeight) {
    const int size = 2 * emHeight + 8;
    UniqueMemoryDc dc(CreateCompatibleDC(screen));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !bitmap || bits == nullptr) return 0;
    SelectGuard selectedBitmap(dc.get(), bitmap.get());
    SelectGuard selectedFont(dc.get(), font);
    RECT all{0, 0, size, size};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc.get(), RGB(0, 0, 0));
    SetBkMode(dc.get(), TRANSPARENT);
    TextOutW(dc.get(), 4, 4, L"H", 1);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    int top = size, bottom = -1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if ((pixels[y * size + x] & 0xFFFFFF) != 0xFFFFFF) {
                top = std::min(top, y);
                bottom = y;
                break;
            }
        }
    }
    return bottom < top ? 0 : bottom - top + 1;
}

}  // namespace

bool FontFaceAvailable(HFONT font, const wchar_t* face, FontKind kind) {
    if (font == nullptr) return false;
    ScreenDc screen;
    SelectGuard selection(screen.get(), font);
    wchar_t actual[LF_FACESIZE] = {};
    GetTextFaceW(screen.get(), LF_FACESIZE, actual);
    if (lstrcmpiW(actual, face) != 0) return false;
    if (kind == FontKind::any) return true;
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.get(), &metrics);
    if ((metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) == 0) return false;
    // The size asked for, not the font's own metrics: those of a face stuck at its bitmaps are
    // small too. A capital is about seven tenths of the em in every face the windows ask for;
    // half is the least a face that scales draws.
    LOGFONTW asked{};
    GetObjectW(font, sizeof asked, &asked);
    const int emHeight = asked.lfHeight < 0 ? -asked.lfHeight : metrics.tmHeight - metrics.tmInternalLeading;
    return 2 * DrawnCapitalHeight(screen.get(), font, emHeight) >= emHeight;
}

UniqueFont CreateFontWithFallback(std::initializer_list<const wchar_t*> faces, double points, int weight, BYTE charset,
                                  FontKind kind) {
    for (const wchar_t* face : faces) {
        UniqueFont font(CreatePointFont(face, points, weight, charset));
        if (FontFaceAvailable(font.get(), face, kind)) return font;
    }
    return UniqueFont(CreatePointFont(*faces.begin(), points, weight, charset));
}

}  // namespace codeeingabe
