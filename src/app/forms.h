#pragma once

#include <windows.h>

#include <memory>

#include "ui/win_handles.h"

namespace codeeingabe {

class Form;
class FrmEinstellungen;
class FrmCreditsystem;
class FrmMaster;
class FrmInfo;

// The program's windows, each existing at most once, and the life of the process: when the last
// loaded window is unloaded, the message loop ends.
class Forms {
public:
    Forms();
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    FrmEinstellungen& frmEinstellungen();
    FrmCreditsystem& frmCreditsystem();
    FrmMaster& frmMaster();
    FrmInfo& frmInfo();

    // Unloads every loaded window; windows with a handler still running go when it returns.
    void UnloadAllForms();

    // The hidden window that owns all forms, so that none gets a taskbar button of its own.
    HWND Owner() const { return owner_.get(); }

    void FormLoaded() { ++loadedCount_; }
    void FormUnloaded();
    int LoadedCount() const { return loadedCount_; }

    // Whether another process of the program was running when this one started (either mode).
    bool AnotherCopyRunning() const { return anotherCopyRunning_; }

    // Handles one message as the program's message loop does (dialog keys, then dispatch).
    static void DispatchProgramMessage(MSG& message);
    // Runs the message loop until the last window is unloaded.
    int RunMessageLoop();

private:
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
