#include "codelist/frm_einstellungen.h"

#include "ui/res/resource.h"

namespace codeeingabe {

Form::Layout FrmEinstellungen::WindowLayout() const {
    return Layout{L"Codeeingabe.frmEinstellungen",
                  L"Einstellungen - Codelist",
                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME,
                  WS_EX_DLGMODALFRAME,
                  4680,
                  2745,
                  GetSysColorBrush(COLOR_BTNFACE),
                  LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM))};
}

std::optional<LRESULT> FrmEinstellungen::OnMessage(UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) {
        Unload();
        return 0;
    }
    return std::nullopt;
}

}  // namespace codeeingabe
