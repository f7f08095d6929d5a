// The program's entry: Main of the module Start.
#include <windows.h>
#include <commctrl.h>

#include "app/forms.h"
#include "app/startup.h"
#include "codelist/frm_einstellungen.h"
#include "platform/special_folder.h"

namespace codeeingabe {
namespace {

void Main(Forms& forms, ProcessValues& values) {
    InitCommonControls();
    values.moduleFolder = FindModuleFolder();
    const Settings settings = ReadSettings(values.CodeListFile());
    values.creditsPerCode = settings.creditsPerCode;
    values.masterCode = settings.masterCode;
    if (IsHostMode(ArgumentText(GetCommandLineW()))) {
        forms.frmCreditsystem().Load();
    } else {
        forms.frmEinstellungen().Show();
    }
}

}  // namespace
}  // namespace codeeingabe

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    codeeingabe::ProcessValues values;
    codeeingabe::Forms forms(values);
    codeeingabe::Main(forms, values);
    return forms.RunMessageLoop();
}
