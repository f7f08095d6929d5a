#include "ui/buffered_paint.h"

namespace codeeingabe {

BufferedPaint::BufferedPaint(HWND window, HDC printDc)
    : window_(window), ownPaint_(printDc == nullptr), targetDc_(ownPaint_ ? BeginPaint(window, &paint_) : printDc) {
    GetClientRect(window_, &client_);
    memoryDc_.reset(CreateCompatibleDC(targetDc_));
    bitmap_.reset(CreateCompatibleBitmap(targetDc_, client_.right, client_.bottom));
    selection_ = std::make_unique<SelectGuard>(memoryDc_.get(), bitmap_.get());
}

BufferedPaint::~BufferedPaint() {
    BitBlt(targetDc_, 0, 0, client_.right, client_.bottom, memoryDc_.get(), 0, 0, SRCCOPY);
    if (ownPaint_) EndPaint(window_, &paint_);
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
    UniqueMemoryDc source(CreateCompatibleDC(dc));
    SelectGuard selection(source.get(), bitmap);
    BITMAP size{};
    GetObjectW(bitmap, sizeof size, &size);
    if (size.bmWidth == width && size.bmHeight == height) {
        BitBlt(dc, 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
        return;
    }
    // At a display scale above 100 % the window is larger than the picture.
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, width, height, source.get(), 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
}

}  // namespace codeeingabe
