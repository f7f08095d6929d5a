#include <gtest/gtest.h>

#include <fstream>

#include "wine_test_support.h"

using namespace codeeingabe::test;
using namespace std::chrono_literals;

namespace {

const std::wstring kSettingsTitle = L"Einstellungen - Codelist";

void ExpectSettingsMode(const std::wstring& arguments) {
    ProgramProcess program(arguments);
    ASSERT_TRUE(program.Started());
    HWND settings = program.WaitForWindow(kSettingsTitle, 10s);
    ASSERT_NE(settings, nullptr) << "no settings window for arguments [" << std::string(arguments.begin(), arguments.end()) << "]";
    PostMessageW(settings, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(10s)) << "closing the settings window ends the program";
}

}  // namespace

TEST(Startup, EveryCommandLineButExactlySlashModShowsTheSettingsWindow) {
    FreshModuleFolder();
    for (const std::wstring arguments : {L"", L"/mod", L"\"/Mod \"", L"/Mod x", L"/MOD", L"Mod"}) {
        ExpectSettingsMode(arguments);
    }
}

TEST(Startup, HostModeWithoutModuleIniEndsAtOnceShowingNothing) {
    FreshModuleFolder();
    ProgramProcess program(L"/Mod");
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(program.WaitForExit(10s));
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Startup, HostModeWithAHandleThatIsNoWindowEndsAtOnce) {
    const auto folder = FreshModuleFolder();
    std::ofstream(folder / "Module.ini", std::ios::binary) << "[Einstellungen]\r\nAppCommPort=12345678\r\n";
    ProgramProcess program(L"/Mod");
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(program.WaitForExit(10s));
    EXPECT_EQ(program.AnyVisibleWindow(), nullptr);
}
