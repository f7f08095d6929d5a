// A full disk in the module folder (tests/win/full_disk_shim.c, preloaded by CTest): the old
// files stay byte for byte, the operator is told, the guest gets no credit and the code stays free;
// once there is room the same action works.
#include <gtest/gtest.h>

#include "codelist/frm_einstellungen.h"
#include "host_test_support.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

// The shim lets no file of the folder grow past 4 KB, far less than a list of 1000 codes (14 KB) or
// its export: the disk fills in mid-write.
void FillDisk(const std::filesystem::path& folder) { WriteBytes(folder / ".full-disk", "4096"); }
void FreeDisk(const std::filesystem::path& folder) { std::filesystem::remove(folder / ".full-disk"); }

std::string ThousandCodes() {
    std::vector<std::pair<std::string, std::string>> codes;
    for (const std::string& code : SampleCodes(1000)) codes.emplace_back(code, codes.size() % 3 == 0 ? "USED" : "UNUSED");
    return CodeListBytes("2", "99999", codes);
}

// A button, the file it writes, and its stop message around that file's path; then its message
// once there is room.
struct SettingsCase {
    int button;
    const char* file;
    const wchar_t* failure;
    const wchar_t* failureEnd;
    const wchar_t* failureTitle;
    const wchar_t* success;
};

const wchar_t kListUnchanged[] = L"\r\n\r\nDie bisherige Codeliste ist unverändert geblieben.";
const SettingsCase kSettingsCases[] = {
    {kCmdCreateCodelist, "Codelist.ini", L"Die neue Codeliste konnte nicht gespeichert werden:", kListUnchanged,
     L"Codeliste nicht erstellt", L"Codeliste wurde erstellt"},
    {kCmdResetCodelist, "Codelist.ini", L"Die Codes konnten nicht freigegeben werden:",
     L"\r\n\r\nDie Codeliste ist unverändert geblieben.", L"Codes nicht freigegeben", L"Codes wurden zurückgesetzt"},
    {kCmdCreateCodelistText, "Codelist.txt", L"Die Textdatei konnte nicht geschrieben werden:", L"",
     L"Textdatei nicht geschrieben", L"Codeliste wurde in folgende Datei geschrieben:\r\n\r\n"},
    {kCmdSave, "Codelist.ini", L"Die Einstellungen konnten nicht gesichert werden:", L"", L"Einstellungen nicht gesichert",
     L"Einstellungen wurden gesichert!"},
};

}  // namespace

TEST(FullDisk, SettingsActionsKeepTheOldFileAndTellTheOperator) {
    for (const SettingsCase& row : kSettingsCases) {
        SCOPED_TRACE(row.button);
        const auto folder = FreshModuleFolder();
        WriteBytes(folder / "Codelist.ini", ThousandCodes());
        WriteBytes(folder / "Codelist.txt", "the old export\r\n");
        const std::string before = ReadBytes(folder / row.file);
        FillDisk(folder);
        SettingsWindow settings;
        settings.SetText(kTxtNrOfCodes, L"1000");
        settings.SetText(kTxtCreditsPerCode, L"5");
        settings.SetText(kTxtMasterCode, L"54321");
        const std::wstring path = (folder / row.file).wstring();
        settings.ClickAndExpectMessage(row.button, row.failure + (L"\r\n\r\n" + path) + row.failureEnd, row.failureTitle, 16);
        EXPECT_EQ(ReadBytes(folder / row.file), before);
        EXPECT_FALSE(std::filesystem::exists(path + L".tmp")) << "a temporary file stayed";

        FreeDisk(folder);
        ASSERT_TRUE(WaitUntil([&] { return settings.AllControlsEnabled(true); }, std::chrono::seconds(5)));
        settings.Click(row.button);
        const auto done = settings.WaitForMessageBox();
        ASSERT_TRUE(done.has_value()) << "no message with room again";
        EXPECT_EQ(done->text.rfind(row.success, 0), 0u) << std::string(done->text.begin(), done->text.end());
        DismissMessageBox(*done);
        EXPECT_NE(ReadBytes(folder / row.file), before);
        if (row.button == kCmdCreateCodelistText) CloseViewerOf(L"codelist.txt", settings.Process().ProcessId(), std::chrono::seconds(10));
    }
}

TEST(FullDisk, ABookingGivesNoCreditAndLeavesTheCodeFree) {
    HostSession session;
    session.WriteCodeListBytes(ThousandCodes());
    const std::string before = session.CodeListBytes();
    const std::string code = SampleCodes(1000)[1];
    FillDisk(session.Folder());
    session.StartModule();
    for (int attempt = 0; attempt < 2; ++attempt) {  // a second wrong entry would lock
        ASSERT_TRUE(session.OpenKeypad());
        session.TypeDigits(code);
        EXPECT_TRUE(session.KeypadHides());
    }
    EXPECT_EQ(session.CommandCount("AddCredit| 2"), 0u);
    EXPECT_EQ(session.CodeListBytes(), before);
    EXPECT_EQ(session.Module().Window(L"Info", true), nullptr) << "a valid code counted as a wrong entry";

    FreeDisk(session.Folder());
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits(code);
    EXPECT_EQ(session.CommandCount("AddCredit| 2"), 1u);
    EXPECT_EQ(session.CodeState(code), "USED");
    session.CloseModule();
}
