#include "credit/frm_creditsystem.h"

#include "app/forms.h"
#include "app/credits_from_text.h"
#include "app/process_values.h"
#include "codelist/codelist_file.h"
#include "platform/profile.h"
#include "ui/res/resource.h"

namespace codeeingabe {

Form::Layout FrmCreditsystem::WindowLayout() const {
    return Layout{L"Codeeingabe.frmCreditsystem",
                  L"Creditsystem",
                  WS_POPUP,
                  0,
                  3945,
                  6960,
                  nullptr,
                  LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM))};
}

void FrmCreditsystem::Form_Load() {
    if (forms_.AnotherCopyRunning()) ExitProcess(0);
    const std::string port = ReadProfile(ModuleFile(kModuleFileName), kSettingsSection, "AppCommPort", "");
    const auto handle = static_cast<std::int32_t>(LeadingNumber(port));
    if (IsWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(handle))) != TRUE) ExitProcess(0);
}

std::optional<LRESULT> FrmCreditsystem::OnMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }

}  // namespace codeeingabe
