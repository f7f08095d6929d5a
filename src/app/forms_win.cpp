#include "app/forms.h"

#include "codelist/frm_einstellungen.h"
#include "codelist/frm_master.h"
#include "codelist/journal_win.h"
#include "platform/waitable_timer.h"
#include "ui/frm_info.h"

namespace codeeingabe {
namespace {

// How often journal lines that wait beside a held journal try again.
constexpr UINT_PTR kWaitingJournalTimer = 1;
constexpr UINT kWaitingJournalInterval = 2000;

}  // namespace

Forms::Forms(ProcessValues& values)
    // Every process of the program, in either mode, makes itself known by this name.
    : values_(values),
      instanceMarker_(CreateMutexW(nullptr, FALSE, L"Local\\Codeeingabe.Codelist.Instance")),
      anotherCopyRunning_(GetLastError() == ERROR_ALREADY_EXISTS),
      owner_(CreateWindowExW(0, L"STATIC", L"Codeeingabe", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr),
                             nullptr)) {
    SetTimer(owner_.get(), kWaitingJournalTimer, kWaitingJournalInterval, nullptr);
}

Forms::~Forms() = default;

FrmEinstellungen& Forms::frmEinstellungen() {
    if (!frmEinstellungen_) frmEinstellungen_ = std::make_unique<FrmEinstellungen>(*this, values_);
    return *frmEinstellungen_;
}

FrmCreditsystem& Forms::frmCreditsystem() {
    if (!frmCreditsystem_) frmCreditsystem_ = std::make_unique<FrmCreditsystem>(*this, values_);
    return *frmCreditsystem_;
}

FrmMaster& Forms::frmMaster() {
    if (!frmMaster_) frmMaster_ = std::make_unique<FrmMaster>(*this, values_);
    return *frmMaster_;
}

FrmInfo& Forms::frmInfo() {
    if (!frmInfo_) frmInfo_ = std::make_unique<FrmInfo>(*this);
    return *frmInfo_;
}

void Forms::UnloadAllForms() {
    if (frmInfo_) frmInfo_->Unload();
    if (frmMaster_) frmMaster_->Unload();
    if (frmEinstellungen_) frmEinstellungen_->Unload();
    if (frmCreditsystem_) frmCreditsystem_->Unload();
}

void Forms::FormUnloaded() {
    if (--loadedCount_ <= 0) PostQuitMessage(0);
}

int Forms::RunMessageLoop() {
    MSG message{};
    while (loadedCount_ > 0) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) break;  // WM_QUIT
        // A message that cannot be taken (Wine refuses a text of a megabyte sent by another
        // process) is lost, not the program: the loop goes on with the next one.
        if (got > 0 && message.hwnd == owner_.get() && message.message == WM_TIMER) {
            AppendWaitingJournalLines(values_);
        } else if (got > 0) {
            DispatchProgramMessage(message);
        }
    }
    return 0;
}

}  // namespace codeeingabe
