#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "codelist/journal.h"
#include "codelist/process_values.h"
#include "credit/code_entry.h"
#include "ui/form.h"
#include "platform/win_handles.h"

namespace codeeingabe {

class FrmMaster;
class FrmInfo;

// What the keypad needs of the program's set of windows.
class KeypadForms : public FormOwner {
public:
    // Whether another process of the program was running when this one started (either mode).
    virtual bool AnotherCopyRunning() const = 0;
    // Unloads every loaded window; windows with a handler still running go when it returns.
    virtual void UnloadAllForms() = 0;
    virtual FrmMaster& frmMaster() = 0;
    virtual FrmInfo& frmInfo() = 0;

protected:
    ~KeypadForms() = default;
};

// The guest's code entry window and the module's end of the host link. Hidden until the host
// asks for it; its invisible text box AppComm is the module's inbox for host messages.
class FrmCreditsystem : public Form, private CodeEntryPort {
public:
    FrmCreditsystem(KeypadForms& forms, const ProcessValues& values) : Form(forms), forms_(forms), values_(values) {}

protected:
    Layout WindowLayout() const override;
    void CreateControls() override;
    void Form_Load() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Form_Activate();
    void cmdCode_Click(int index);
    void cmdAbbruch_Click();
    void AppComm_Change();
    void tmrCheckWindowPresent_Timer();
    void TimerFehleingabe_Timer();

    void Connect();
    SendResult SendToHost(std::string_view command);
    void SetTimerOn(UINT_PTR timer, bool on);
    bool TimerOn(UINT_PTR timer) const;
    void SetCodeText(const std::wstring& text);
    void ShowCode();  // the entry into the label window
    void Paint(HDC printDc);
    void Journal(JournalEvent event, const std::string& code = "", std::string remark = "");

    // CodeEntryPort
    std::optional<std::string> CodeState(const std::string& code) override;
    bool BookCodeUsed(const std::string& code) override;
    void ReturnCode(const std::string& code) override;
    SendResult SendCredit(const std::string& code) override;
    void OpenMasterWindow() override;
    void StartLock() override;

    KeypadForms& forms_;
    const ProcessValues& values_;
    std::int32_t hostWindowHandle_ = 0;  // the host's inbox, from Module.ini
    std::wstring lblCode_;               // the entry; also shown by the label window lblCodeWindow_
    HWND lblCodeWindow_ = nullptr;
    HWND appComm_ = nullptr;
    std::array<HWND, 10> cmdCode_{};
    HWND cmdAbbruch_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool tmrCheckWindowPresentOn_ = false;
    bool timerFehleingabeOn_ = false;
    std::uint8_t wrongEntryCount_ = 0;  // wrong five-digit entries since the last accepted one
    unsigned showCount_ = 0;            // raised by each showing for a guest; a hide posted before it lapses

    UniqueFont windowFont_;
    UniqueFont eccFont_;
    UniqueFont cashcodeFont_;
    UniqueFont headingFont_;  // Label2 and Label3
    UniqueFont codeFont_;
    UniqueFont keyFont_;
    UniqueFont abbruchFont_;
    UniqueBrush codeBackground_;
};

}  // namespace codeeingabe
