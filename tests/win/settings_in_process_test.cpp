// The settings window created in the test process: what another process cannot see of it (fonts,
// icon handle, mouse pointer) and a random source that fails.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "../unit/fake_system.h"
#include "app/forms.h"
#include "codelist/frm_einstellungen.h"
#include "settings_driver.h"
#include "ui/res/resource.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

int IconStyle(HICON icon) {
    if (icon == LoadIconW(nullptr, IDI_HAND)) return 16;
    if (icon == LoadIconW(nullptr, IDI_EXCLAMATION)) return 48;
    if (icon == LoadIconW(nullptr, IDI_ASTERISK)) return 64;
    return 0;
}

// Records every message box this thread shows, runs the check while it is up, then clicks OK.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(std::function<void()> whileShown) : whileShown_(std::move(whileShown)) {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, &MessageBoxRecorder::Hook, nullptr, GetCurrentThreadId());
    }
    ~MessageBoxRecorder() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<MessageBoxView>& Boxes() const { return boxes_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current_ != nullptr) current_->Activated(reinterpret_cast<HWND>(wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    void Activated(HWND window) {
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (std::wstring(className) != L"#32770" || seen_.count(window) != 0) return;
        seen_[window] = true;
        MessageBoxView box;
        box.window = window;
        box.title = TextOf(window);
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            GetClassNameW(child, className, 16);
            if (std::wstring(className) == L"Button") box.buttons.push_back(TextOf(child));
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && std::wstring(className) == L"Static") {
                box.iconStyle = IconStyle(reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)));
            }
        }
        box.text = TextOf(GetDlgItem(window, 0xFFFF));
        boxes_.push_back(box);
        if (whileShown_) whileShown_();
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    }

    static inline thread_local MessageBoxRecorder* current_ = nullptr;
    HHOOK hook_ = nullptr;
    std::function<void()> whileShown_;
    std::vector<MessageBoxView> boxes_;
    std::map<HWND, bool> seen_;
};

// The settings window of this process, over a fresh module folder.
class InProcessSettings : public ::testing::Test {
protected:
    void SetUp() override {
        values_.moduleFolder = FreshModuleFolder();
        values_.creditsPerCode = 3;
        values_.masterCode = "24680";
    }
    void TearDown() override {
        if (form_) form_->Unload();
        form_.reset();
        forms_.reset();
        // The last unloaded window ends the message loop; its quit message must not reach the next box.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    FrmEinstellungen& Open(RandomSource& random, TimeOfDay& clock) {
        forms_ = std::make_unique<Forms>(values_);
        form_ = std::make_unique<FrmEinstellungen>(*forms_, values_, random, clock);
        form_->Show();
        return *form_;
    }
    HWND Control(int id) const { return GetDlgItem(form_->Handle(), id); }
    void Click(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    HCURSOR CursorOverWindow() {
        SendMessageW(form_->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form_->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }

    ProcessValues values_;
    std::unique_ptr<Forms> forms_;
    std::unique_ptr<FrmEinstellungen> form_;
};

TEST_F(InProcessSettings, FontsAndIconAreTheLayoutsOwn) {
    FakeSystem system(1, 1.0f);
    FrmEinstellungen& form = Open(system, system);
    ASSERT_TRUE(form.IsLoaded());
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(form.Handle(), WM_GETICON, ICON_BIG, 0)),
              LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM)));
    EXPECT_NE(SendMessageW(form.Handle(), WM_GETICON, ICON_SMALL, 0), 0);

    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    for (HWND control = GetWindow(form.Handle(), GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        SCOPED_TRACE(GetDlgCtrlID(control));
        auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW described{};
        ASSERT_NE(GetObjectW(font, sizeof described, &described), 0);
        EXPECT_STREQ(described.lfFaceName, L"MS Sans Serif");
        EXPECT_EQ(described.lfHeight, -MulDiv(825, pixelsPerInch, 7200));
        EXPECT_EQ(described.lfWeight, GetDlgCtrlID(control) == kCmdSave ? FW_BOLD : FW_NORMAL);
        EXPECT_FALSE(described.lfItalic);
    }
}

TEST_F(InProcessSettings, TheBusyStateShowsTheHourglassAndDisablesEveryControl) {
    FakeSystem system(2, 2.0f);
    FrmEinstellungen& form = Open(system, system);
    ASSERT_TRUE(form.IsLoaded());
    const HCURSOR hourglass = LoadCursorW(nullptr, IDC_WAIT);
    EXPECT_NE(CursorOverWindow(), hourglass);

    std::vector<HCURSOR> cursorsWhileShown;
    std::vector<bool> disabledWhileShown;
    MessageBoxRecorder recorder([&] {
        cursorsWhileShown.push_back(CursorOverWindow());
        bool allDisabled = true;
        for (HWND child = GetWindow(form.Handle(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            allDisabled = allDisabled && !IsWindowEnabled(child);
        }
        disabledWhileShown.push_back(allDisabled);
    });
    SetWindowTextW(Control(kTxtNrOfCodes), L"20");
    Click(kCmdCreateCodelist);
    ASSERT_EQ(recorder.Boxes().size(), 1u);
    EXPECT_EQ(recorder.Boxes()[0].text, L"Codeliste wurde erstellt");
    EXPECT_EQ(recorder.Boxes()[0].iconStyle, 64);
    EXPECT_EQ(cursorsWhileShown, std::vector<HCURSOR>{hourglass});
    EXPECT_EQ(disabledWhileShown, std::vector<bool>{true});
    EXPECT_NE(CursorOverWindow(), hourglass) << "the default pointer once the message is closed";
    EXPECT_TRUE(IsWindowEnabled(Control(kCmdSave)));
    EXPECT_TRUE(ReadBytes(std::filesystem::path(values_.moduleFolder) / "Codelist.ini").starts_with("[Einstellungen]\r\nCreditsPerCode=3\r\nMasterCode=24680\r\n"));
}

TEST_F(InProcessSettings, WithoutRandomnessFromTheSystemNoListIsMade) {
    const std::string old = CodeListBytes("3", "24680", {{"00042", "USED"}});
    WriteBytes(std::filesystem::path(values_.moduleFolder) / "Codelist.ini", old);
    FakeSystem system(3, 3.0f, 0);
    FrmEinstellungen& form = Open(system, system);
    ASSERT_TRUE(form.IsLoaded());
    MessageBoxRecorder recorder(nullptr);
    Click(kCmdCreateCodelist);
    ASSERT_EQ(recorder.Boxes().size(), 1u);
    const MessageBoxView& box = recorder.Boxes()[0];
    EXPECT_EQ(box.text,
              L"Windows hat keine Zufallszahlen geliefert, daher wurde keine Codeliste erstellt.\r\n\r\n"
              L"Die bisherige Codeliste ist unverändert geblieben.");
    EXPECT_EQ(box.title, L"Codeliste nicht erstellt");
    EXPECT_EQ(box.iconStyle, 16);
    EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(ReadBytes(std::filesystem::path(values_.moduleFolder) / "Codelist.ini"), old);
    EXPECT_TRUE(IsWindowEnabled(Control(kCmdCreateCodelist)));
}

}  // namespace
