#include "ui/frm_info.h"

#include "ui/buffered_paint.h"
#include "ui/frm_info_picture.h"

namespace codeeingabe {

Form::Layout FrmInfo::WindowLayout() const {
    return Layout{L"Codeeingabe.frmInfo", L"Info", WS_POPUP, 0, 9600, 7200, nullptr, nullptr};
}

void FrmInfo::CreateControls() {
    if (!picture_) picture_ = LoadLockNoticePicture();
    pressed_ = false;
}

void FrmInfo::Form_Click() { Unload(); }

std::optional<LRESULT> FrmInfo::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // A click is a press and a release on the picture: the release of the tap that
            // opened the notice (the keypad's fifth digit) must not close it at once.
            pressed_ = true;
            SetCapture(Handle());
            return 0;
        case WM_LBUTTONUP:
            if (!pressed_) return 0;
            pressed_ = false;
            ReleaseCapture();
            Form_Click();
            return 0;
        case WM_CAPTURECHANGED:
            pressed_ = false;
            return 0;
        default:
            return WholeClientPaintMessage(message, wParam, [this](HDC printDc) { Paint(printDc); });
    }
}

void FrmInfo::Paint(HDC printDc) {
    BufferedPaint paint(Handle(), printDc);
    FillRect(paint.Dc(), &paint.Client(), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (picture_) DrawBitmap(paint.Dc(), picture_.get(), paint.Client().right, paint.Client().bottom);
}

}  // namespace codeeingabe
