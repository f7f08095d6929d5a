#include "codelist/frm_master.h"

#include <algorithm>
#include <vector>

#include "codelist/codelist_file.h"
#include "codelist/journal_win.h"
#include "platform/profile.h"
#include "platform/waitable_timer.h"
#include "ui/buffered_paint.h"
#include "ui/colour_button.h"
#include "ui/font_fallback.h"
#include "ui/guest_colours.h"
#include "ui/painted_label.h"

namespace codeeingabe {
namespace {

constexpr int kSetCodesFreeId = 100;
constexpr int kLblCodesLeftId = 101;

// The title band: a blue rectangle with an oval at its right end, the title over both.
constexpr PaintedLabel kLabel4{{0, 0, 4215, 615}, kWhite, kBlue, DT_LEFT};
constexpr TwipsRect kShape1{3930, 0, 615, 645};
constexpr PaintedLabel kLabel5{{0, 0, 4575, 615}, kWhite, std::nullopt, DT_CENTER};
constexpr PaintedLabel kLblClose{{5400, 0, 720, 720}, kWhite, std::nullopt, DT_LEFT};
constexpr PaintedLabel kLabel2{{120, 1320, 4455, 555}, kWhite, std::nullopt, DT_LEFT};
constexpr TwipsRect kLblCodesLeftPlace{4935, 1320, 810, 555};
constexpr TwipsRect kSetCodesFreePlace{840, 2160, 4455, 1455};

// Drag steps: one every 10 ms while the left button is down.
constexpr int kDragStepMs = 10;

}  // namespace

Form::Layout FrmMaster::WindowLayout() const {
    return Layout{L"Codeeingabe.frmMaster", L"Form1", WS_POPUP, 0, 6105, 3720, nullptr, nullptr};
}

void FrmMaster::CreateControls() {
    textFont_ = CreateFontWithFallback({L"MS Sans Serif", L"Microsoft Sans Serif", L"Arial", L"Liberation Sans"}, 24,
                                       FW_NORMAL, DEFAULT_CHARSET, FontKind::scalable);
    closeFont_ = CreateFontWithFallback({L"Marlett"}, 36, 500, SYMBOL_CHARSET);
    closeFontAvailable_ = FontFaceAvailable(closeFont_.get(), L"Marlett");
    background_.reset(CreateSolidBrush(kDarkRed));
    closePressed_ = false;
    lastFocus_ = nullptr;
    lblCodesLeft_ = CreateControl(L"STATIC", L"-", WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, kLblCodesLeftPlace,
                                  kLblCodesLeftId, textFont_.get());
    cmdSetCodesFree_ = CreateControl(L"BUTTON", L"Alle Codes freigeben", kColourButtonStyle, 0, kSetCodesFreePlace,
                                     kSetCodesFreeId, textFont_.get());
}

void FrmMaster::Form_Load() {
    const std::vector<std::string> entries = ReadSection(values_.CodeListFile(), kCodesSection);
    codesTotal_ = entries.size();
    SetCodesLeft(std::to_wstring(CountFreeCodes(entries)));
}

void FrmMaster::cmdSetCodesFree_Click() {
    const FilePath file = values_.CodeListFile();
    if (!FileExists(file)) return;
    // One durable write for the whole list, with the bytes of one write per code.
    if (WriteSectionValues(file, kCodesSection, kUnused)) {
        SetCodesLeft(std::to_wstring(codesTotal_));
        WriteJournal(values_,
                     {JournalEvent::codesSetFree, "", std::nullopt, std::to_string(codesTotal_) + " Codes, im Mastermenü"});
    } else {
        // Not the total as if it had worked: what the list really holds now.
        SetCodesLeft(std::to_wstring(CountFreeCodes(ReadSection(file, kCodesSection))));
    }
}

void FrmMaster::Label5_MouseDown(POINT pressedAt) {
    HWND window = Handle();
    // The offset where the button went down, not where the cursor is by the time this runs: a
    // quick hand is already further, and the window must not jump under it.
    POINT cursor = pressedAt;
    ClientToScreen(window, &cursor);
    RECT place{};
    GetWindowRect(window, &place);
    const POINT offset{cursor.x - place.left, cursor.y - place.top};
    const auto dragEnded = [this] { return !IsLoaded() || UnloadPending(); };
    do {
        GetCursorPos(&cursor);
        SetWindowPos(window, nullptr, cursor.x - offset.x, cursor.y - offset.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!DispatchWaitingMessages() || dragEnded()) return;
        Wait(kDragStepMs);
        if (dragEnded()) return;
    } while (GetAsyncKeyState(VK_LBUTTON) != 0);
}

void FrmMaster::lblClose_Click() { Unload(); }

std::optional<LRESULT> FrmMaster::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kSetCodesFreeId && IsButtonClick(wParam)) cmdSetCodesFree_Click();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            return OnMouseDown(message, point);
        case WM_LBUTTONUP:
            return OnMouseUp(point);
        case WM_CAPTURECHANGED:
            closePressed_ = false;
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                lastFocus_ = GetFocus();
                return std::nullopt;
            }
            SetFocus(IsChild(Handle(), lastFocus_) ? lastFocus_ : cmdSetCodesFree_);
            return 0;
        case WM_CTLCOLORSTATIC: {
            // On the plain background, an opaque label in its colour looks transparent.
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, kWhite);
            SetBkColor(dc, kDarkRed);
            return reinterpret_cast<LRESULT>(background_.get());
        }
        case WM_DRAWITEM:
            DrawColourButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), kYellow);
            return TRUE;
        default:
            return WholeClientPaintMessage(message, wParam, [this](HDC printDc) { Paint(printDc); });
    }
}

std::optional<LRESULT> FrmMaster::OnMouseDown(UINT message, POINT point) {
    const bool left = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
    if (left && LabelContains(kLblClose, point)) {
        closePressed_ = true;
        SetCapture(Handle());
    } else if (LabelContains(kLabel5, point)) {
        Label5_MouseDown(point);
    }
    return 0;
}

std::optional<LRESULT> FrmMaster::OnMouseUp(POINT point) {
    if (!closePressed_) return 0;
    closePressed_ = false;
    ReleaseCapture();
    // A click is a press and a release both on the glyph's box.
    if (LabelContains(kLblClose, point)) lblClose_Click();
    return 0;
}

void FrmMaster::SetCodesLeft(const std::wstring& text) { SetWindowTextW(lblCodesLeft_, text.c_str()); }

void FrmMaster::Paint(HDC printDc) {
    BufferedPaint paint(Handle(), printDc);
    HDC dc = paint.Dc();
    UniqueBrush background(CreateSolidBrush(kDarkRed));
    FillRect(dc, &paint.Client(), background.get());

    PaintLabel(dc, kLabel4, L"", nullptr);
    {
        UniqueBrush blue(CreateSolidBrush(kBlue));
        SelectGuard brush(dc, blue.get());
        SelectGuard pen(dc, GetStockObject(NULL_PEN));
        const RECT oval = ToPixels(kShape1);
        // Without an outline, Ellipse fills one pixel less to the right and bottom.
        Ellipse(dc, oval.left, oval.top, oval.right + 1, oval.bottom + 1);
    }
    PaintLabel(dc, kLabel5, L"Code-Mastermen\u00fc", textFont_.get());
    PaintCloseGlyph(dc);
    PaintLabel(dc, kLabel2, L"Verbleibende Codes:", textFont_.get());
}

void FrmMaster::PaintCloseGlyph(HDC dc) {
    if (closeFontAvailable_) {
        PaintLabel(dc, kLblClose, L"r", closeFont_.get());  // Marlett draws "r" as the close cross
        return;
    }
    // Without Marlett: a white cross of about the glyph's size.
    RECT box = ToPixels(kLblClose.place);
    InflateRect(&box, -12, -12);
    UniquePen pen(CreatePen(PS_SOLID, 4, kWhite));
    SelectGuard selection(dc, pen.get());
    MoveToEx(dc, box.left, box.top, nullptr);
    LineTo(dc, box.right, box.bottom);
    MoveToEx(dc, box.right, box.top, nullptr);
    LineTo(dc, box.left, box.bottom);
}

}  // namespace codeeingabe
