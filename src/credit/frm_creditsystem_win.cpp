#include "credit/frm_creditsystem.h"

#include "codelist/codelist_file.h"
#include "codelist/frm_master.h"
#include "codelist/journal_win.h"
#include "credit/code_booking.h"
#include "credit/host_link.h"
#include "platform/profile.h"
#include "ui/ansi_text.h"
#include "ui/buffered_paint.h"
#include "ui/colour_button.h"
#include "ui/font_fallback.h"
#include "ui/frm_info.h"
#include "ui/guest_colours.h"
#include "ui/painted_label.h"
#include "ui/res/resource.h"
#include "ui/window_text.h"

namespace codeeingabe {
namespace {

// Control ids far from IDOK and IDCANCEL, which dialog keys send.
constexpr int kFirstDigitId = 100;
constexpr int kAbbruchId = 110;
constexpr int kLblCodeId = 111;
constexpr int kAppCommId = 116;

// Hides the keypad after a check, unless it was shown again since (wParam: the showing's count).
constexpr UINT kHideAfterCheck = WM_APP + 1;

constexpr UINT_PTR kCheckWindowPresentTimer = 1;
constexpr UINT kCheckWindowPresentInterval = 5000;
constexpr UINT_PTR kFehleingabeTimer = 2;
constexpr UINT kFehleingabeInterval = 10000;

constexpr PaintedLabel kLabel4{{3495, 105, 330, 240}, kWhite, std::nullopt, DT_CENTER};
constexpr PaintedLabel kLabel1{{735, 135, 2445, 615}, kWhite, std::nullopt, DT_LEFT};
constexpr PaintedLabel kLabel2{{990, 690, 1995, 360}, kWhite, std::nullopt, DT_LEFT};
constexpr TwipsRect kLblCodePlace{345, 1245, 3255, 735};
constexpr PaintedLabel kLabel3{{390, 2025, 3180, 360}, kYellow, std::nullopt, DT_CENTER};

constexpr int kKeyWidth = 1095;
constexpr int kKeyHeight = 975;
// Left and top of the keys by index; the keypad is not quite regular.
constexpr std::array<POINT, 10> kKeyPlaces{{
    {240, 5760},
    {225, 2520},
    {1425, 2505},
    {2640, 2520},
    {240, 3600},
    {1440, 3600},
    {2640, 3600},
    {240, 4680},
    {1440, 4680},
    {2640, 4680},
}};
constexpr TwipsRect kAbbruchPlace{1440, 5760, 2295, 975};
constexpr TwipsRect kAppCommPlace{3240, 720, 615, 315};

}  // namespace

Form::Layout FrmCreditsystem::WindowLayout() const {
    return Layout{L"Codeeingabe.frmCreditsystem",
                  L"Creditsystem",
                  WS_POPUP,
                  0,
                  3945,
                  6960,
                  nullptr,
                  LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM))};
}

void FrmCreditsystem::CreateControls() {
    windowFont_ = CreateFontWithFallback({L"Arial", L"Liberation Sans"}, 8.25, FW_NORMAL);
    eccFont_ = CreateFontWithFallback({L"Courier New", L"Liberation Mono"}, 9, FW_BOLD);
    cashcodeFont_ = CreateFontWithFallback({L"Arial", L"Liberation Sans"}, 26.25, FW_BOLD);
    headingFont_ = CreateFontWithFallback({L"Arial", L"Liberation Sans"}, 15.75, FW_BOLD);
    codeFont_ = CreateFontWithFallback({L"Arial", L"Liberation Sans"}, 27.75, FW_BOLD);
    keyFont_ = CreateFontWithFallback({L"Arial", L"Liberation Sans"}, 36, FW_BOLD);
    abbruchFont_ = CreateFontWithFallback({L"Arial", L"Liberation Sans"}, 24, FW_BOLD);

    codeBackground_.reset(CreateSolidBrush(kBlack));
    lblCode_.clear();
    lastFocus_ = nullptr;
    tmrCheckWindowPresentOn_ = false;
    timerFehleingabeOn_ = false;
    // The one label with changing text is a window of its own, so that its text can be read.
    lblCodeWindow_ =
        CreateControl(L"STATIC", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, kLblCodePlace, kLblCodeId, codeFont_.get());
    // Created in tab order: the keys by index, the cancel key, the inbox.
    for (int index = 0; index < 10; ++index) {
        const wchar_t caption[2] = {static_cast<wchar_t>(L'0' + index), L'\0'};
        const TwipsRect place{kKeyPlaces[index].x, kKeyPlaces[index].y, kKeyWidth, kKeyHeight};
        cmdCode_[index] =
            CreateControl(L"BUTTON", caption, kColourButtonStyle, 0, place, kFirstDigitId + index, keyFont_.get());
    }
    cmdAbbruch_ = CreateControl(L"BUTTON", L"Abbruch", kColourButtonStyle, 0, kAbbruchPlace, kAbbruchId, abbruchFont_.get());
    // Never shown: the module's inbox, whose window handle is the return address.
    appComm_ = CreateControl(L"EDIT", L"", ES_AUTOHSCROLL, 0, kAppCommPlace, kAppCommId, windowFont_.get());
}

void FrmCreditsystem::Form_Load() {
    // A second copy must not register with the host.
    if (forms_.AnotherCopyRunning()) ExitProcess(0);
    Connect();
}

void FrmCreditsystem::Connect() {
    const std::string port = ReadProfile(values_.ModuleFile(kModuleFileName), kSettingsSection, kAppCommPortKey, "");
    hostWindowHandle_ = HostWindowHandleFromText(port);
    if (IsWindow(HostWindow(hostWindowHandle_)) != TRUE) ExitProcess(0);
    Journal(JournalEvent::hostModeStarted);
    SendToHost(kRegisterCommand);
    if (UnloadPending()) return;  // the host closed the module while it registered
    SendToHost(kSetCreditSysEnabledCommand);
    if (UnloadPending()) return;
    SetTimerOn(kCheckWindowPresentTimer, true);
}

SendResult FrmCreditsystem::SendToHost(std::string_view command) {
    return codeeingabe::SendToHost(hostWindowHandle_, appComm_, command);
}

std::optional<LRESULT> FrmCreditsystem::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == kAppCommId && HIWORD(wParam) == EN_CHANGE) {
                AppComm_Change();
            } else if (id >= kFirstDigitId && id < kFirstDigitId + 10 && IsButtonClick(wParam)) {
                cmdCode_Click(id - kFirstDigitId);
            } else if (id == kAbbruchId && IsButtonClick(wParam)) {
                cmdAbbruch_Click();
            }
            return 0;
        }
        case WM_TIMER:
            if (wParam == kCheckWindowPresentTimer) tmrCheckWindowPresent_Timer();
            if (wParam == kFehleingabeTimer) TimerFehleingabe_Timer();
            return 0;
        case kHideAfterCheck:
            ShowCode();
            if (wParam == showCount_) Hide();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                lastFocus_ = GetFocus();
                return std::nullopt;
            }
            Form_Activate();
            // Only the keys hold the focus, the first by tab order at first.
            SetFocus(IsChild(Handle(), lastFocus_) ? lastFocus_ : cmdCode_[0]);
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, kWhite);
            SetBkColor(dc, kBlack);
            return reinterpret_cast<LRESULT>(codeBackground_.get());
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            DrawColourButton(item, item.CtlID == kAbbruchId ? kOrange : kYellow);
            return TRUE;
        }
        default:
            return WholeClientPaintMessage(message, wParam, [this](HDC printDc) { Paint(printDc); });
    }
}

void FrmCreditsystem::Paint(HDC printDc) {
    BufferedPaint paint(Handle(), printDc);
    UniqueBrush background(CreateSolidBrush(kDarkRed));
    FillRect(paint.Dc(), &paint.Client(), background.get());
    PaintLabel(paint.Dc(), kLabel4, L"ECC", eccFont_.get());
    PaintLabel(paint.Dc(), kLabel1, L"Cashcode", cashcodeFont_.get());
    PaintLabel(paint.Dc(), kLabel2, L"Kreditsystem", headingFont_.get());
    PaintLabel(paint.Dc(), kLabel3, L"Bitte Code eingeben!", headingFont_.get());
}

void FrmCreditsystem::Form_Activate() {
    // Above every window that is not topmost, each time a guest gets the keypad.
    if (IsVisible())
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void FrmCreditsystem::SetCodeText(const std::wstring& text) {
    lblCode_ = text;
    ShowCode();
}

void FrmCreditsystem::ShowCode() { SetWindowTextW(lblCodeWindow_, lblCode_.c_str()); }

void FrmCreditsystem::cmdCode_Click(int index) {
    lblCode_ += static_cast<wchar_t>(L'0' + index);
    if (lblCode_.size() != kCodeLength) {
        ShowCode();
        return;
    }
    // The entry is cleared before the check; the display follows, and the window hides, by a
    // posted message once the check is done, so that the credit waits for no drawing. A
    // "CreditClick" handled meanwhile (inside the send) shows the keypad to the next guest,
    // empty, and the posted hide then lapses.
    const std::string entry = ToAnsi(lblCode_);
    lblCode_.clear();
    PostMessageW(Handle(), kHideAfterCheck, showCount_, 0);
    switch (CheckCode(entry, values_.masterCode, wrongEntryCount_, *this)) {
        case EntryOutcome::masterWindow:
            Journal(JournalEvent::masterWindowOpened);
            break;
        case EntryOutcome::wrongEntry:
            Journal(JournalEvent::wrongEntry);
            break;
        case EntryOutcome::lockStarted:
            Journal(JournalEvent::wrongEntry);
            Journal(JournalEvent::lockStarted, "", "10 Sekunden");
            break;
        default:
            break;
    }
}

void FrmCreditsystem::cmdAbbruch_Click() {
    SetCodeText(L"");
    Hide();
}

void FrmCreditsystem::AppComm_Change() {
    if (UnloadPending()) return;  // closing: the inbox is not touched again
    const std::string text = ToAnsi(WindowText(appComm_));
    SetWindowTextW(appComm_, L"");  // raises a nested change, which finds the box empty
    if (text.empty()) return;
    switch (ParseHostCommand(text)) {
        case HostCommand::appClose:
            Journal(JournalEvent::hostModeEnded, "", "AppClose vom Jukebox-Programm");
            forms_.UnloadAllForms();
            return;
        case HostCommand::creditClick:
            if (!TimerOn(kFehleingabeTimer)) {
                ++showCount_;
                ShowCode();
                Show();
            } else {
                forms_.frmInfo().Show();
            }
            break;
        case HostCommand::none:
            break;
    }
    SetWindowTextW(appComm_, L"");
}

void FrmCreditsystem::tmrCheckWindowPresent_Timer() {
    if (IsWindow(HostWindow(hostWindowHandle_)) != FALSE) return;
    SetTimerOn(kCheckWindowPresentTimer, false);
    Journal(JournalEvent::hostModeEnded, "", "Jukebox-Programm nicht mehr da");
    Unload();
}

void FrmCreditsystem::TimerFehleingabe_Timer() {
    SetTimerOn(kFehleingabeTimer, false);
    wrongEntryCount_ = 0;
    forms_.frmInfo().Unload();
}

void FrmCreditsystem::SetTimerOn(UINT_PTR timer, bool on) {
    bool& state = timer == kCheckWindowPresentTimer ? tmrCheckWindowPresentOn_ : timerFehleingabeOn_;
    const UINT interval = timer == kCheckWindowPresentTimer ? kCheckWindowPresentInterval : kFehleingabeInterval;
    if (on) {
        state = SetTimer(Handle(), timer, interval, nullptr) != 0;
    } else {
        KillTimer(Handle(), timer);
        state = false;
    }
}

bool FrmCreditsystem::TimerOn(UINT_PTR timer) const {
    return timer == kCheckWindowPresentTimer ? tmrCheckWindowPresentOn_ : timerFehleingabeOn_;
}

std::optional<std::string> FrmCreditsystem::CodeState(const std::string& code) {
    return codeeingabe::CodeState(values_.CodeListFile(), code);
}

// The line comes first: a crash between the booking and the credit must leave the operator the
// evidence for a refund.
bool FrmCreditsystem::BookCodeUsed(const std::string& code) {
    Journal(JournalEvent::codeBooked, code);
    if (codeeingabe::BookCodeUsed(values_.CodeListFile(), code)) return true;
    Journal(JournalEvent::bookingFailed, code, "keine Credits");
    return false;
}

// A code whose return fails stays booked without its credit, which the journal already shows.
void FrmCreditsystem::ReturnCode(const std::string& code) {
    if (codeeingabe::ReturnCode(values_.CodeListFile(), code))
        Journal(JournalEvent::codeReturned, code, "Jukebox-Programm nicht mehr da, Code wieder frei");
}

SendResult FrmCreditsystem::SendCredit(const std::string& code) {
    const SendResult result = SendToHost(AddCreditCommand(values_.creditsPerCode));
    if (result != SendResult::hostGone)
        Journal(JournalEvent::creditSent, code,
                result == SendResult::unanswered ? "Jukebox-Programm hat nicht rechtzeitig geantwortet" : "");
    return result;
}

// Silent at the keypad: a journal that cannot be written never stops a guest.
void FrmCreditsystem::Journal(JournalEvent event, const std::string& code, std::string remark) {
    WriteJournal(values_, {event, code, code.empty() ? std::nullopt : std::optional<long>(values_.creditsPerCode),
                           std::move(remark)});
}

void FrmCreditsystem::OpenMasterWindow() { forms_.frmMaster().Show(); }

void FrmCreditsystem::StartLock() {
    forms_.frmInfo().Show();
    SetTimerOn(kFehleingabeTimer, true);
}

}  // namespace codeeingabe
