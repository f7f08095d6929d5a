// The settings window's look: frame, controls, captions, geometry in twips, fonts, tab order.
#include <algorithm>
#include <array>

#include "codelist/frm_einstellungen.h"
#include "ui/font_fallback.h"
#include "ui/res/resource.h"

namespace codeeingabe {
namespace {

// The group box's outer top left corner; its three controls are placed relative to it.
constexpr int kFrameLeft = 120;
constexpr int kFrameTop = 120;

constexpr TwipsRect InFrame(int left, int top, int width, int height) {
    return TwipsRect{kFrameLeft + left, kFrameTop + top, width, height};
}

enum class Kind { textBox, button, label, groupBox };

struct ControlSpec {
    int id;
    Kind kind;
    const wchar_t* text;
    TwipsRect place;  // in the window's client area
    DWORD extraStyle;
    int maxLength;  // text boxes: characters the operator can type or paste
};

// In creation order, which is the tab order and the stacking order from the top: the group box
// comes last, so that the controls lying inside its rectangle show above it.
constexpr std::array<ControlSpec, 13> kControls{{
    {kTxtNrOfCodes, Kind::textBox, L"250", InFrame(1560, 300, 615, 285), 0, 4},
    {kCmdCreateCodelist, Kind::button, L"Start", {3720, 360, 735, 375}, 0, 0},
    {kCmdCreateCodelistText, Kind::button, L"Auflistung aller Codes in Textdatei", {240, 840, 2175, 495}, BS_MULTILINE, 0},
    {kCmdResetCodelist, Kind::button, L"Alles Codes freigeben", {2520, 840, 1935, 495}, 0, 0},
    {kTxtCreditsPerCode, Kind::textBox, L"2", {3360, 1530, 495, 285}, 0, 2},
    {kTxtMasterCode, Kind::textBox, L"", {3360, 1920, 1215, 285}, 0, 5},
    {kCmdSave, Kind::button, L"Übernehmen", {3240, 2280, 1335, 375}, 0, 0},
    {kLabel1, Kind::label, L"Jeder Code entspricht einem Kreditwert von:", {120, 1560, 3120, 195}, 0, 0},
    {kLabel2, Kind::label, L"Neue Codeliste mit", InFrame(135, 360, 1320, 195), 0, 0},
    {kLabel3, Kind::label, L"Codes erzeugen", InFrame(2280, 360, 1155, 195), 0, 0},
    {kLabel4, Kind::label, L"Kredit(s)", {3960, 1560, 570, 195}, 0, 0},
    {kLabel5, Kind::label, L"Mastercode (öffnet Mastermenü):", {120, 1920, 2340, 195}, 0, 0},
    {kFrame1, Kind::groupBox, L"Codeliste bearbeiten", {kFrameLeft, kFrameTop, 4455, 1335}, 0, 0},
}};

// Where "MS Sans Serif" is missing, the faces that replaced it in later Windows versions.
constexpr std::initializer_list<const wchar_t*> kFaces = {L"MS Sans Serif", L"Microsoft Sans Serif", L"Tahoma"};
constexpr double kPointSize = 8.25;

const wchar_t* ClassName(Kind kind) {
    switch (kind) {
        case Kind::textBox:
            return L"EDIT";
        case Kind::label:
            return L"STATIC";
        case Kind::button:
        case Kind::groupBox:
            return L"BUTTON";
    }
    return L"STATIC";
}

DWORD Style(Kind kind) {
    switch (kind) {
        case Kind::textBox:
            return WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
        case Kind::button:
            return WS_TABSTOP | BS_PUSHBUTTON;
        case Kind::label:
            return SS_LEFT | SS_NOPREFIX;
        case Kind::groupBox:
            return BS_GROUPBOX;
    }
    return 0;
}

// A label is one line as wide as its text: a wider substitute font widens it instead of
// wrapping or cutting the text.
int LabelWidthTwips(const ControlSpec& item, HFONT font) {
    ScreenDc screen;
    SelectGuard selection(screen.get(), font);
    SIZE extent{};
    GetTextExtentPoint32W(screen.get(), item.text, lstrlenW(item.text), &extent);
    return std::max(item.place.width, static_cast<int>(extent.cx) * TwipsPerPixelX());
}

}  // namespace

Form::Layout FrmEinstellungen::WindowLayout() const {
    return Layout{L"Codeeingabe.frmEinstellungen",
                  L"Einstellungen - Codelist",
                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME,
                  WS_EX_DLGMODALFRAME,
                  4680,
                  2745,
                  GetSysColorBrush(COLOR_BTNFACE),
                  LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM))};
}

void FrmEinstellungen::CreateControls() {
    font_ = CreateFontWithFallback(kFaces, kPointSize, FW_NORMAL);
    boldFont_ = CreateFontWithFallback(kFaces, kPointSize, FW_BOLD);
    for (const ControlSpec& item : kControls) {
        TwipsRect place = item.place;
        if (item.kind == Kind::label) place.width = LabelWidthTwips(item, font_.get());
        const DWORD exStyle = item.kind == Kind::textBox ? WS_EX_CLIENTEDGE : 0;
        HWND control =
            CreateControl(ClassName(item.kind), item.text, WS_VISIBLE | WS_CLIPSIBLINGS | Style(item.kind) | item.extraStyle,
                          exStyle, place, item.id, item.id == kCmdSave ? boldFont_.get() : font_.get());
        if (item.maxLength > 0) SendMessageW(control, EM_SETLIMITTEXT, static_cast<WPARAM>(item.maxLength), 0);
    }
    // The title bar shows the icon's own 16-pixel image rather than the big one scaled down.
    HANDLE smallIcon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    if (smallIcon != nullptr) SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    lastFocus_ = Control(kTxtNrOfCodes);
}

}  // namespace codeeingabe
