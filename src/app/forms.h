#pragma once

#include <windows.h>

#include <memory>

#include "codelist/process_values.h"
#include "credit/frm_creditsystem.h"
#include "platform/win_handles.h"

namespace codeeingabe {

class FrmEinstellungen;

// The program's windows, each existing at most once, and the life of the process: when the last
// loaded window is unloaded, the message loop ends. The windows share the values start-up owns.
class Forms : public KeypadForms {
public:
    explicit Forms(ProcessValues& values);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    FrmEinstellungen& frmEinstellungen();
    FrmCreditsystem& frmCreditsystem();
    FrmMaster& frmMaster() override;
    FrmInfo& frmInfo() override;
    void UnloadAllForms() override;

    HWND Owner() const override { return owner_.get(); }
    void FormLoaded() override { ++loadedCount_; }
    void FormUnloaded() override;

    bool AnotherCopyRunning() const override { return anotherCopyRunning_; }

    // Runs the message loop until the last window is unloaded.
    int RunMessageLoop();

private:
    ProcessValues& values_;
    UniqueHandle instanceMarker_;
    bool anotherCopyRunning_ = false;
    UniqueWindow owner_;
    int loadedCount_ = 0;
    std::unique_ptr<FrmEinstellungen> frmEinstellungen_;
    std::unique_ptr<FrmCreditsystem> frmCreditsystem_;
    std::unique_ptr<FrmMaster> frmMaster_;
    std::unique_ptr<FrmInfo> frmInfo_;
};

}  // namespace codeeingabe
