// The program's entry: Main of the module Start.
#include <windows.h>
#include <commctrl.h>

#include "app/forms.h"
#include "app/process_values.h"
#include "app/startup.h"
#include "codelist/codelist_file.h"
#include "codelist/frm_einstellungen.h"
#include "credit/frm_creditsystem.h"
#include "platform/special_folder.h"

namespace codeeingabe {
namespace {

void Main(Forms& forms) {
    InitCommonControls();
    InitModuleFolder();
    const Settings settings = ReadSettings(ModuleFile(kCodeListFileName));
    CreditsPerCode = settings.creditsPerCode;
    MasterCode = settings.masterCode;
    if (IsHostMode(ArgumentText(GetCommandLineW()))) {
        forms.frmCreditsystem().Load();
    } else {
        forms.frmEinstellungen().Show();
    }
}

}  // namespace
}  // namespace codeeingabe

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    codeeingabe::Forms forms;
    codeeingabe::Main(forms);
    return forms.RunMessageLoop();
}
