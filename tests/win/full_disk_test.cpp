// A full disk under the module folder: every write of the program fails there, the old files stay
// byte for byte, and the operator is told (settings mode) or the guest gets no credit and the code
// stays free (host mode). The disk fills through tests/win/full_disk_shim.c, which CTest preloads.
#include <gtest/gtest.h>

#include <cstring>

#include "codelist/frm_einstellungen.h"
#include "fault_support.h"
#include "host_test_support.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

// Far less than a list of 1000 codes (14 KB) and its text export: the disk fills in mid-write.
constexpr const char* kFreeBytes = "4096";

class FullDisk {
public:
    explicit FullDisk(const std::filesystem::path& folder) : marker_(folder / ".full-disk") {
        WriteBytes(marker_, kFreeBytes);
    }
    ~FullDisk() { Free(); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
    void Free() const {
        std::error_code ignored;
        std::filesystem::remove(marker_, ignored);
    }

private:
    std::filesystem::path marker_;
};

// Without the preloaded shim nothing fills up, and every case below would fail for that reason.
void ExpectShimPreloaded() {
    wchar_t preload[1024] = {};
    GetEnvironmentVariableW(L"LD_PRELOAD", preload, 1024);
    ASSERT_NE(std::wstring(preload).find(L"full_disk"), std::wstring::npos)
        << "run through ctest, which preloads full_disk.so into the Wine processes";
}

std::string ThousandCodes() {
    std::vector<std::pair<std::string, std::string>> codes;
    const auto sample = SampleCodes(1000);
    for (std::size_t i = 0; i < sample.size(); ++i) codes.emplace_back(sample[i], i % 3 == 0 ? "USED" : "UNUSED");
    return CodeListBytes("2", "99999", codes);
}

struct FullDiskCase {
    const char* name;
    int button;
    const wchar_t* failure;  // the stop message begins with it
    const wchar_t* failureTitle;
    const wchar_t* success;  // the message once there is room again
    const char* file;        // the file the action writes
};

const FullDiskCase kSettingsCases[] = {
    {"generation", kCmdCreateCodelist, L"Die neue Codeliste konnte nicht gespeichert werden:", L"Codeliste nicht erstellt",
     L"Codeliste wurde erstellt", "Codelist.ini"},
    {"reset", kCmdResetCodelist, L"Die Codes konnten nicht freigegeben werden:", L"Codes nicht freigegeben",
     L"Codes wurden zurückgesetzt", "Codelist.ini"},
    {"export", kCmdCreateCodelistText, L"Die Textdatei konnte nicht geschrieben werden:", L"Textdatei nicht geschrieben",
     L"Codeliste wurde in folgende Datei geschrieben:", "Codelist.txt"},
    {"save", kCmdSave, L"Die Einstellungen konnten nicht gesichert werden:", L"Einstellungen nicht gesichert",
     L"Einstellungen wurden gesichert!", "Codelist.ini"},
};

}  // namespace

TEST(FullDisk, SettingsActionsKeepTheOldFileAndTellTheOperator) {
    ExpectShimPreloaded();
    for (const FullDiskCase& c : kSettingsCases) {
        SCOPED_TRACE(c.name);
        const auto folder = FreshModuleFolder();
        WriteBytes(folder / "Codelist.ini", ThousandCodes());
        WriteBytes(folder / "Codelist.txt", "the old export\r\n");
        const std::string before = ReadBytes(folder / c.file);
        FullDisk disk(folder);
        SettingsWindow settings;
        ASSERT_NE(settings.Window(), nullptr);
        settings.SetText(kTxtNrOfCodes, L"1000");
        settings.SetText(kTxtCreditsPerCode, L"5");
        settings.SetText(kTxtMasterCode, L"54321");

        settings.Click(c.button);
        const auto box = settings.WaitForMessageBox();
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->text.rfind(c.failure, 0), 0u) << "the message shown: " << std::string(box->text.begin(), box->text.end());
        EXPECT_NE(box->text.find(std::wstring(c.file, c.file + std::strlen(c.file))), std::wstring::npos);
        EXPECT_EQ(box->title, c.failureTitle);
        EXPECT_EQ(box->iconStyle, 16);
        ASSERT_TRUE(DismissMessageBox(*box));
        EXPECT_EQ(ReadBytes(folder / c.file), before);
        EXPECT_FALSE(std::filesystem::exists(folder / (std::string(c.file) + ".tmp")));

        // With room again the same click works: nothing was left half done.
        disk.Free();
        ASSERT_TRUE(WaitUntil([&] { return settings.AllControlsEnabled(true); }, std::chrono::seconds(5)));
        settings.Click(c.button);
        const auto again = settings.WaitForMessageBox();
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->text.rfind(c.success, 0), 0u);
        DismissMessageBox(*again);
        EXPECT_NE(ReadBytes(folder / c.file), before);
        if (c.button == kCmdCreateCodelistText) CloseViewerOf(L"codelist.txt", settings.Process().ProcessId(), std::chrono::seconds(10));
    }
}

TEST(FullDisk, ABookingGivesNoCreditAndLeavesTheCodeFree) {
    ExpectShimPreloaded();
    HostSession session;
    session.WriteCodeListBytes(ThousandCodes());
    const std::string before = session.CodeListBytes();
    const std::string code = SampleCodes(1000)[1];
    ASSERT_EQ(session.CodeState(code), "UNUSED");
    FullDisk disk(session.Folder());
    session.StartModule();
    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_TRUE(session.OpenKeypad());
        session.TypeDigits(code);
        EXPECT_TRUE(session.KeypadHides());
    }
    EXPECT_EQ(session.CommandCount("AddCredit| 2"), 0u);
    EXPECT_EQ(session.CodeListBytes(), before);
    EXPECT_EQ(session.Module().Window(L"Info", true), nullptr) << "a valid code is no wrong entry";

    disk.Free();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits(code);
    EXPECT_TRUE(session.WaitForCommand("AddCredit| 2"));
    EXPECT_EQ(session.CodeState(code), "USED");
    session.Send("AppClose");
    EXPECT_TRUE(session.Module().WaitForExit(kTimeout));
    EXPECT_EQ(session.Module().ExceptionReports(), "");
}
