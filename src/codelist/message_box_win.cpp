#include "codelist/message_box_win.h"

namespace codeeingabe {

void ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, MessageStyle style) {
    MessageBoxW(owner, text.c_str(), title.c_str(), static_cast<UINT>(style));
}

}  // namespace codeeingabe
