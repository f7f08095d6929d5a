#include "ui/font_fallback.h"

#include "ui/twips.h"

namespace codeeingabe {

bool FontFaceAvailable(HFONT font, const wchar_t* face, FontKind kind) {
    if (font == nullptr) return false;
    ScreenDc screen;
    SelectGuard selection(screen.get(), font);
    wchar_t actual[LF_FACESIZE] = {};
    GetTextFaceW(screen.get(), LF_FACESIZE, actual);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.get(), &metrics);
    const bool scalable = (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0;
    return (kind == FontKind::any || scalable) && lstrcmpiW(actual, face) == 0;
}

UniqueFont CreateFontWithFallback(std::initializer_list<const wchar_t*> faces, double points, int weight,
                                  BYTE charset, FontKind kind) {
    for (const wchar_t* face : faces) {
        UniqueFont font(CreatePointFont(face, points, weight, charset));
        if (FontFaceAvailable(font.get(), face, kind)) return font;
    }
    return UniqueFont(CreatePointFont(*faces.begin(), points, weight, charset));
}

}  // namespace codeeingabe
