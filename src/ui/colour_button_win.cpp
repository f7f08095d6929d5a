#include "ui/colour_button.h"

#include <string>

#include "platform/win_handles.h"
#include "ui/window_text.h"

namespace codeeingabe {

bool IsButtonClick(WPARAM commandWParam) {
    const WORD code = HIWORD(commandWParam);
    return code == BN_CLICKED || code == BN_DOUBLECLICKED;
}

void DrawColourButton(const DRAWITEMSTRUCT& item, COLORREF face) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;

    UniqueBrush faceBrush(CreateSolidBrush(face));
    FillRect(dc, &rect, faceBrush.get());
    DrawEdge(dc, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    const std::wstring caption = WindowText(item.hwndItem);

    auto font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
    SelectGuard fontSelection(dc, font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    // A caption too wide for one line breaks between words, as push button captions do; the
    // lines stand centred in both directions.
    constexpr UINT kFormat = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    RECT textRect = rect;
    InflateRect(&textRect, -3, -3);
    RECT measured = textRect;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &measured, kFormat | DT_CALCRECT);
    const int textHeight = measured.bottom - measured.top;
    textRect.top += ((textRect.bottom - textRect.top) - textHeight) / 2;
    textRect.bottom = textRect.top + textHeight;
    if (pressed) OffsetRect(&textRect, 1, 1);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect, kFormat);

    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus = rect;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace codeeingabe
