#pragma once

#include <windows.h>

#include <optional>

#include "ui/twips.h"

namespace codeeingabe {

// What every window needs of the program's set of windows.
class FormOwner {
public:
    // The hidden window that owns all forms, so that none gets a taskbar button of its own.
    virtual HWND Owner() const = 0;
    virtual void FormLoaded() = 0;
    virtual void FormUnloaded() = 0;

protected:
    ~FormOwner() = default;
};

// One window of the program: created ("loaded") on first use, at most once at a time, destroyed
// ("unloaded") on request. A subclass gives the layout, creates its controls and handles its events
// in OnMessage. Handlers may run nested (inside the timed wait or a drag loop); an unload requested
// while a handler of this window runs takes effect when the outermost one returns, so no handler
// ever runs on a destroyed window.
class Form {
public:
    explicit Form(FormOwner& owner) : owner_(owner) {}
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    bool IsLoaded() const { return window_ != nullptr; }
    bool UnloadPending() const { return unloadPending_; }
    HWND Handle() const { return window_; }

    // Creates the window and its controls, then runs Form_Load; the window stays hidden.
    void Load();
    // Loads the window when needed and shows it. Does nothing once an unload is pending.
    void Show();
    void Hide();
    bool IsVisible() const { return window_ != nullptr && IsWindowVisible(window_); }
    void Unload();

protected:
    struct Layout {
        const wchar_t* className;
        const wchar_t* text;
        DWORD style;
        DWORD exStyle;
        int clientWidthTwips;
        int clientHeightTwips;
        HBRUSH background;  // a system colour brush or a brush the form owns
        HICON icon;         // nullptr: none
    };
    virtual Layout WindowLayout() const = 0;
    virtual void CreateControls() {}
    virtual void Form_Load() {}
    // The window's events; nullopt passes the message on to the default handling.
    virtual std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // A child control at a position in twips.
    HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, const TwipsRect& place,
                       int id, HFONT font);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void DestroyNow();

    FormOwner& owner_;
    HWND window_ = nullptr;
    int handlerDepth_ = 0;
    bool unloadPending_ = false;
};

}  // namespace codeeingabe
