#include "ui/form.h"

namespace codeeingabe {

Form::~Form() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void Form::Load() {
    if (window_ != nullptr) return;
    const Layout layout = WindowLayout();

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &Form::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = layout.background;
    windowClass.hIcon = layout.icon;
    windowClass.lpszClassName = layout.className;
    RegisterClassExW(&windowClass);  // fails harmlessly when the class exists from an earlier load

    RECT frame{0, 0, TwipsToPixelsX(layout.clientWidthTwips), TwipsToPixelsY(layout.clientHeightTwips)};
    AdjustWindowRectEx(&frame, layout.style, FALSE, layout.exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    unloadPending_ = false;
    // Owned by the hidden owner window: no taskbar button of its own.
    CreateWindowExW(layout.exStyle, layout.className, layout.text, layout.style & ~WS_VISIBLE, left, top, width, height,
                    owner_.Owner(), nullptr, GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) return;
    if (layout.icon != nullptr) {
        SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(layout.icon));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(layout.icon));
    }
    owner_.FormLoaded();
    ++handlerDepth_;
    CreateControls();
    Form_Load();
    --handlerDepth_;
    if (handlerDepth_ == 0 && unloadPending_) DestroyNow();
}

void Form::Show() {
    Load();
    if (window_ == nullptr || unloadPending_) return;
    ShowWindow(window_, SW_SHOW);
}

void Form::Hide() {
    if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
}

void Form::Unload() {
    if (window_ == nullptr) return;
    if (handlerDepth_ > 0) {
        unloadPending_ = true;
        ShowWindow(window_, SW_HIDE);
        return;
    }
    DestroyNow();
}

void Form::DestroyNow() {
    HWND window = window_;
    // Destroying sends messages to this window; none of their handlers may destroy it again.
    unloadPending_ = false;
    if (window != nullptr) DestroyWindow(window);
}

HWND Form::CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, const TwipsRect& place,
                         int id, HFONT font) {
    const RECT pixels = ToPixels(place);
    HWND control = CreateWindowExW(exStyle, className, text, style | WS_CHILD, pixels.left, pixels.top,
                                   pixels.right - pixels.left, pixels.bottom - pixels.top, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (control != nullptr && font != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->window_ = nullptr;
        form->unloadPending_ = false;
        form->handlerDepth_ = 0;
        form->owner_.FormUnloaded();
        return DefWindowProcW(window, message, wParam, lParam);
    }

    ++form->handlerDepth_;
    const std::optional<LRESULT> handled = form->OnMessage(message, wParam, lParam);
    --form->handlerDepth_;
    const LRESULT result = handled ? *handled : DefWindowProcW(window, message, wParam, lParam);
    if (form->handlerDepth_ == 0 && form->unloadPending_ && form->window_ == window) form->DestroyNow();
    return result;
}

}  // namespace codeeingabe
