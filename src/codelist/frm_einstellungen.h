#pragma once

#include <string>

#include "codelist/code_generator.h"
#include "codelist/generation.h"
#include "codelist/journal.h"
#include "codelist/message_box_win.h"
#include "codelist/open_with_shell_win.h"
#include "codelist/process_values.h"
#include "codelist/system_random_win.h"
#include "ui/form.h"
#include "platform/win_handles.h"

namespace codeeingabe {

// Control ids of the settings window. None is IDOK or IDCANCEL: the window has no default and no
// cancel button, so Enter and Escape click nothing.
enum FrmEinstellungenControl : int {
    kTxtNrOfCodes = 101,
    kCmdCreateCodelist,
    kCmdCreateCodelistText,
    kCmdResetCodelist,
    kTxtCreditsPerCode,
    kTxtMasterCode,
    kCmdSave,
    kLabel1,
    kLabel2,
    kLabel3,
    kLabel4,
    kLabel5,
    kFrame1,
};

// The operator's settings window: generates the code list, exports it as text, sets every code
// free and saves the two settings.
class FrmEinstellungen : public Form {
public:
    // The random source and the clock feed code generation; tests give their own, and recorders of
    // the messages and of the file the export opens.
    FrmEinstellungen(FormOwner& owner, ProcessValues& values, RandomSource& random = SystemRandomSource(),
                     TimeOfDay& clock = SystemTimeOfDay(), MessageFunction showMessage = ShowMessage,
                     OpenFunction open = OpenWithShell);

    // Leaves (true) or enters (false) the busy state: hourglass pointer, every control disabled.
    void SetControlsEnabled(bool enabled);

protected:
    Layout WindowLayout() const override;
    void CreateControls() override;
    void Form_Load() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void cmdCreateCodelist_Click();
    void cmdCreateCodelistText_Click();
    void cmdResetCodelist_Click();
    void cmdSave_Click();

    void Done(const JournalEntry& entry, const std::wstring& text, const wchar_t* caption);
    void Form_Activate(bool active);
    HWND Control(int id) const { return GetDlgItem(Handle(), id); }

    ProcessValues& values_;
    CodeGenerator generator_;
    CodeListGeneration generation_;
    MessageFunction showMessage_;
    OpenFunction open_;
    UniqueFont font_;
    UniqueFont boldFont_;
    HWND lastFocus_ = nullptr;  // the control that gets the focus back when the window is active again
    bool busy_ = false;
    bool journalFailureShown_ = false;
};

}  // namespace codeeingabe
