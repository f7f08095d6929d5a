// The settings window's events: generation, text export, reset and saving.
#include "codelist/codelist_export.h"
#include "codelist/codelist_file.h"
#include "codelist/frm_einstellungen.h"
#include "codelist/journal_win.h"
#include "codelist/message_box_win.h"
#include "codelist/settings_logic.h"
#include "codelist/user_number_format_win.h"
#include "platform/profile.h"
#include "platform/profile_document.h"
#include "ui/ansi_text.h"
#include "ui/window_text.h"

namespace codeeingabe {
namespace {

constexpr wchar_t kLineBreak[] = L"\r\n";

std::wstring WithPath(const wchar_t* text, const FilePath& file, const wchar_t* after = L"") {
    return std::wstring(text) + kLineBreak + kLineBreak + file + after;
}

}  // namespace

FrmEinstellungen::FrmEinstellungen(FormOwner& owner, ProcessValues& values, RandomSource& random, TimeOfDay& clock,
                                   MessageFunction showMessage, OpenFunction open)
    : Form(owner),
      values_(values),
      generator_(random, clock),
      generation_(generator_),
      showMessage_(std::move(showMessage)),
      open_(std::move(open)) {}

// The action is done: its line goes to the journal before the operator is told. A journal that
// cannot be written changes nothing of the action; the operator hears of it once.
void FrmEinstellungen::Done(const JournalEntry& entry, const std::wstring& text, const wchar_t* caption) {
    const bool journaled = WriteJournal(values_, entry);
    showMessage_(Handle(), text, caption, MessageStyle::information);
    if (journaled || journalFailureShown_) return;
    journalFailureShown_ = true;
    showMessage_(
        Handle(),
        WithPath(L"Das Journal konnte nicht geschrieben werden:", JournalFile(values_),
                 L"\r\n\r\nCodeliste und Einstellungen sind davon nicht betroffen. Diese Meldung erscheint nur einmal."),
        L"Journal nicht geschrieben", MessageStyle::exclamation);
}

// A setting longer than its box's limit (a file edited by hand) is shown whole: saving must never
// cut it without the operator seeing it.
void FrmEinstellungen::Form_Load() {
    SetWindowTextW(Control(kTxtCreditsPerCode), std::to_wstring(values_.creditsPerCode).c_str());
    SetWindowTextW(Control(kTxtMasterCode), FromAnsi(values_.masterCode).c_str());
}

std::optional<LRESULT> FrmEinstellungen::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0 && HIWORD(wParam) == BN_CLICKED) {
                switch (LOWORD(wParam)) {
                    case kCmdCreateCodelist:
                        cmdCreateCodelist_Click();
                        break;
                    case kCmdCreateCodelistText:
                        cmdCreateCodelistText_Click();
                        break;
                    case kCmdResetCodelist:
                        cmdResetCodelist_Click();
                        break;
                    case kCmdSave:
                        cmdSave_Click();
                        break;
                    default:
                        break;
                }
            }
            return 0;  // Enter and Escape arrive as IDOK and IDCANCEL: no button answers them
        case WM_ACTIVATE:
            Form_Activate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_SETCURSOR:
            if (!busy_) return std::nullopt;
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        case WM_CLOSE:
            Unload();
            return 0;
        default:
            return std::nullopt;
    }
}

// Like a dialog: the focus goes back to the control that had it when the window was last active.
void FrmEinstellungen::Form_Activate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Handle(), focus)) lastFocus_ = focus;
    } else if (!IsIconic(Handle()) && lastFocus_ != nullptr && IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
    }
}

void FrmEinstellungen::SetControlsEnabled(bool enabled) {
    if (!enabled) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Handle(), focus)) lastFocus_ = focus;
    }
    busy_ = !enabled;
    POINT pointer{};
    GetCursorPos(&pointer);
    HWND under = WindowFromPoint(pointer);
    if (under == Handle() || IsChild(Handle(), under)) SetCursor(LoadCursorW(nullptr, enabled ? IDC_ARROW : IDC_WAIT));
    for (HWND child = GetWindow(Handle(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        EnableWindow(child, enabled ? TRUE : FALSE);
    }
    if (enabled && GetActiveWindow() == Handle() && lastFocus_ != nullptr) SetFocus(lastFocus_);
}

void FrmEinstellungen::cmdCreateCodelist_Click() {
    const std::optional<std::size_t> count = RequestedCodeCount(ToAnsi(WindowText(Control(kTxtNrOfCodes))));
    if (!count) {
        showMessage_(Handle(), L"Die Anzahl der zu generierenden Codes muss zwischen 1 und 1000 liegen", L"Fehler!",
                     MessageStyle::stop);
        return;
    }
    SetControlsEnabled(false);
    const FilePath file = values_.CodeListFile();
    // The new list replaces the old one whole or not at all: until it is complete on the disk,
    // the old list with its "USED" marks stays as it was.
    try {
        if (ReplaceFileContent(file, generation_.CreateCodeList(*count, values_.creditsPerCode, values_.masterCode))) {
            Done({JournalEvent::listGenerated, "", values_.creditsPerCode, std::to_string(*count) + " Codes"},
                 L"Codeliste wurde erstellt", L"Fertig");
        } else {
            showMessage_(Handle(),
                         WithPath(L"Die neue Codeliste konnte nicht gespeichert werden:", file,
                                  L"\r\n\r\nDie bisherige Codeliste ist unverändert geblieben."),
                         L"Codeliste nicht erstellt", MessageStyle::stop);
        }
    } catch (const RandomSourceFailure&) {
        showMessage_(Handle(),
                     L"Windows hat keine Zufallszahlen geliefert, daher wurde keine Codeliste erstellt.\r\n\r\n"
                     L"Die bisherige Codeliste ist unverändert geblieben.",
                     L"Codeliste nicht erstellt", MessageStyle::stop);
    }
    SetControlsEnabled(true);
}

void FrmEinstellungen::cmdCreateCodelistText_Click() {
    const FilePath codeList = values_.CodeListFile();
    if (!FileExists(codeList)) return;
    SetControlsEnabled(false);
    const FilePath textFile = values_.ModuleFile(kCodeListExportFileName);
    // A list that cannot be read must not be exported as an empty one.
    const FileRead read = ReadProfileBytes(codeList);
    if (read.status == FileRead::Status::failed) {
        showMessage_(Handle(), WithPath(L"Die Codeliste konnte nicht gelesen werden:", codeList),
                     L"Textdatei nicht geschrieben", MessageStyle::stop);
    } else if (const std::vector<std::string> codes = ProfileSectionLines(read.bytes, kCodesSection);
               !ReplaceFileContent(textFile, CodeListExportText(codes))) {
        showMessage_(Handle(), WithPath(L"Die Textdatei konnte nicht geschrieben werden:", textFile),
                     L"Textdatei nicht geschrieben", MessageStyle::stop);
    } else {
        Done({JournalEvent::listExported, "", std::nullopt, std::to_string(codes.size()) + " Codes"},
             WithPath(L"Codeliste wurde in folgende Datei geschrieben:", textFile), L"Fertig");
        open_(Handle(), textFile);
    }
    SetControlsEnabled(true);
}

void FrmEinstellungen::cmdResetCodelist_Click() {
    const FilePath codeList = values_.CodeListFile();
    if (!FileExists(codeList)) return;
    SetControlsEnabled(false);
    // One write for all codes, with the bytes that one write per code would leave.
    if (WriteSectionValues(codeList, kCodesSection, kUnused)) {
        const std::size_t codes = ReadSection(codeList, kCodesSection).size();
        Done({JournalEvent::codesSetFree, "", std::nullopt, std::to_string(codes) + " Codes, in den Einstellungen"},
             L"Codes wurden zurückgesetzt", L"Fertig");
    } else {
        showMessage_(Handle(),
                     WithPath(L"Die Codes konnten nicht freigegeben werden:", codeList,
                              L"\r\n\r\nDie Codeliste ist unverändert geblieben."),
                     L"Codes nicht freigegeben", MessageStyle::stop);
    }
    SetControlsEnabled(true);
}

void FrmEinstellungen::cmdSave_Click() {
    const std::string credits = ToAnsi(WindowText(Control(kTxtCreditsPerCode)));
    const std::string masterCode = ToAnsi(WindowText(Control(kTxtMasterCode)));
    const FilePath codeList = values_.CodeListFile();
    const SettingsCheck check = CheckSettings(credits, masterCode, UserNumberFormat(), ReadProfileBytes(codeList).bytes);
    if (check.verdict == SettingsVerdict::creditsNotNumeric) {
        showMessage_(Handle(), L"Bitte gültigen Wert für den Kreditwert eingeben!", kApplicationTitle,
                     MessageStyle::exclamation);
        return;
    }
    if (check.verdict == SettingsVerdict::masterCodeNotNumeric) {
        showMessage_(Handle(), L"Der Mastercode darf ausschließlich aus Zahlen bestehen!", kApplicationTitle,
                     MessageStyle::exclamation);
        return;
    }
    if (check.verdict == SettingsVerdict::masterCodeListed) {
        showMessage_(Handle(),
                     L"Der Mastercode ist zugleich ein Code der Codeliste! Bitte einen anderen Mastercode eingeben.",
                     kApplicationTitle, MessageStyle::exclamation);
        return;
    }
    // Both texts exactly as typed, in one write, so that a failure or a crash never leaves one of
    // them saved and the other not; the effective number is written by the next generation.
    if (!WriteProfileValues(codeList, kSettingsSection,
                            {{std::string(kCreditsPerCodeKey), credits}, {std::string(kMasterCodeKey), masterCode}})) {
        showMessage_(Handle(), WithPath(L"Die Einstellungen konnten nicht gesichert werden:", codeList),
                     L"Einstellungen nicht gesichert", MessageStyle::stop);
        return;
    }
    values_.creditsPerCode = check.creditsPerCode;
    values_.masterCode = masterCode;
    Done({JournalEvent::settingsSaved, "", check.creditsPerCode, ""}, L"Einstellungen wurden gesichert!",
         L"Einstellungen gesichert");
    Unload();
}

}  // namespace codeeingabe
