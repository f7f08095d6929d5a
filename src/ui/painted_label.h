#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "ui/twips.h"

namespace codeeingabe {

// A label of a guest window: no window of its own, painted by its form at its place in twips,
// with a transparent background unless it has a back colour.
struct PaintedLabel {
    TwipsRect place;
    COLORREF textColour;
    std::optional<COLORREF> backColour;
    UINT alignment;  // DT_LEFT or DT_CENTER
};

void PaintLabel(HDC dc, const PaintedLabel& label, std::wstring_view text, HFONT font);

// Whether a client point in pixels lies in the label's box.
bool LabelContains(const PaintedLabel& label, POINT point);

}  // namespace codeeingabe
