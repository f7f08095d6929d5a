#include "ui/painted_label.h"

#include "platform/win_handles.h"

namespace codeeingabe {

void PaintLabel(HDC dc, const PaintedLabel& label, std::wstring_view text, HFONT font) {
    RECT box = ToPixels(label.place);
    if (label.backColour) {
        UniqueBrush back(CreateSolidBrush(*label.backColour));
        FillRect(dc, &box, back.get());
    }
    if (text.empty()) return;
    SelectGuard fontSelection(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, label.textColour);
    // One line, never wrapped: with a substitute font a caption may run a pixel past its box, and
    // that is better than losing its last word to a second line the box cannot show.
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box,
              label.alignment | DT_TOP | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
}

bool LabelContains(const PaintedLabel& label, POINT point) {
    const RECT box = ToPixels(label.place);
    return PtInRect(&box, point) != FALSE;
}

}  // namespace codeeingabe
