#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "platform/win_handles.h"

namespace codeeingabe {

// WM_PAINT (or WM_PRINTCLIENT, given its DC) into an off-screen bitmap that is copied to the
// window at the end: background and labels appear at once, without flicker.
class BufferedPaint {
public:
    BufferedPaint(HWND window, HDC printDc);
    ~BufferedPaint();
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;

    HDC Dc() const { return memoryDc_.get(); }
    const RECT& Client() const { return client_; }

private:
    HWND window_;
    bool ownPaint_;
    PAINTSTRUCT paint_{};
    HDC targetDc_;
    RECT client_{};
    UniqueMemoryDc memoryDc_;
    UniqueBitmap bitmap_;
    std::unique_ptr<SelectGuard> selection_;
};

// The painting messages of a window that paints its whole client area through BufferedPaint: no
// background erase (it would flicker), and paint(printDc) for WM_PAINT (nullptr) and WM_PRINTCLIENT.
template <typename Paint>
std::optional<LRESULT> WholeClientPaintMessage(UINT message, WPARAM wParam, Paint paint) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint(nullptr);
            return 0;
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            return std::nullopt;
    }
}

// Copies a bitmap to a DC at (0, 0), stretched to the given size where that is not its own.
void DrawBitmap(HDC dc, HBITMAP bitmap, int width, int height);

}  // namespace codeeingabe
