// Resetting the codes and saving the settings through the settings window of Codelist.exe.
#include <gtest/gtest.h>

#include "codelist/frm_einstellungen.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

const std::wstring kCreditsRefused = L"Bitte gültigen Wert für den Kreditwert eingeben!";
const std::wstring kMasterCodeRefused = L"Der Mastercode darf ausschließlich aus Zahlen bestehen!";

std::vector<std::pair<std::string, std::string>> ListWithEveryThirdUsed(int n) {
    std::vector<std::pair<std::string, std::string>> entries;
    const auto codes = SampleCodes(n);
    for (std::size_t i = 0; i < codes.size(); ++i) entries.emplace_back(codes[i], i % 3 == 1 ? "USED" : "UNUSED");
    return entries;
}

std::vector<std::pair<std::string, std::string>> AllFree(std::vector<std::pair<std::string, std::string>> entries) {
    for (auto& entry : entries) entry.second = "UNUSED";
    return entries;
}

// The user's regional number format for as long as it lives, as the Control Panel sets it.
class UserNumberFormat {
public:
    UserNumberFormat(const wchar_t* decimal, const wchar_t* grouping) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\International", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key_, nullptr);
        oldDecimal_ = Read(L"sDecimal");
        oldGrouping_ = Read(L"sThousand");
        Write(L"sDecimal", decimal);
        Write(L"sThousand", grouping);
    }
    ~UserNumberFormat() {
        Write(L"sDecimal", oldDecimal_.c_str());
        Write(L"sThousand", oldGrouping_.c_str());
        RegCloseKey(key_);
    }
    UserNumberFormat(const UserNumberFormat&) = delete;
    UserNumberFormat& operator=(const UserNumberFormat&) = delete;

private:
    std::wstring Read(const wchar_t* name) const {
        wchar_t value[16] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        RegQueryValueExW(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        return value;
    }
    void Write(const wchar_t* name, const wchar_t* value) const {
        RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    }

    HKEY key_ = nullptr;
    std::wstring oldDecimal_;
    std::wstring oldGrouping_;
};

// Saves the two texts in a new process of the program, which then closes its window and ends.
void ExpectSaved(const std::wstring& credits, const std::wstring& masterCode) {
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    settings.SetText(kTxtCreditsPerCode, credits);
    settings.SetText(kTxtMasterCode, masterCode);
    settings.ClickAndExpectMessage(kCmdSave, L"Einstellungen wurden gesichert!", L"Einstellungen gesichert", 64);
    EXPECT_TRUE(settings.Process().WaitForExit(10s)) << "saving closes the window and ends the program";
}

void ExpectRefused(SettingsWindow& settings, const std::wstring& credits, const std::wstring& masterCode,
                   const std::wstring& message) {
    settings.SetText(kTxtCreditsPerCode, credits);
    settings.SetText(kTxtMasterCode, masterCode);
    settings.ClickAndExpectMessage(kCmdSave, message, L"Codeeingabe Liste", 48);
    EXPECT_TRUE(IsWindowVisible(settings.Window())) << "the window stays open";
    EXPECT_EQ(settings.Text(kTxtCreditsPerCode), credits);
    EXPECT_EQ(settings.Text(kTxtMasterCode), masterCode);
}

}  // namespace

TEST(SettingsReset, EveryCodeOfTheListIsFreeAgain) {
    const auto folder = FreshModuleFolder();
    // Settings as a save leaves them: the reset touches the codes only.
    const auto entries = ListWithEveryThirdUsed(1000);
    WriteBytes(folder / "Codelist.ini", CodeListBytes("+5", "00777", entries));
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    settings.Click(kCmdResetCodelist);
    const auto box = settings.WaitForMessageBox();
    ExpectMessage(box, L"Codes wurden zurückgesetzt", L"Fertig", 64);
    ASSERT_TRUE(box.has_value());
    EXPECT_TRUE(settings.AllControlsEnabled(false)) << "busy while the message shows";
    EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), CodeListBytes("+5", "00777", AllFree(entries)));
    ASSERT_TRUE(DismissMessageBox(*box));
    EXPECT_TRUE(WaitUntil([&] { return settings.AllControlsEnabled(true); }, 5s));

    // A list without used codes stays byte for byte as it is.
    settings.ClickAndExpectMessage(kCmdResetCodelist, L"Codes wurden zurückgesetzt", L"Fertig", 64);
    EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), CodeListBytes("+5", "00777", AllFree(entries)));
}

TEST(SettingsReset, AnUnwritableListIsReportedInsteadOfSuccess) {
    const auto folder = FreshModuleFolder();
    const std::string old = CodeListBytes("2", "", ListWithEveryThirdUsed(10));
    WriteBytes(folder / "Codelist.ini", old);
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    UnwritableFile locked(folder / "Codelist.ini");
    ASSERT_TRUE(locked.Held());
    settings.ClickAndExpectMessage(kCmdResetCodelist,
                                   L"Die Codes konnten nicht freigegeben werden:\r\n\r\n" + (folder / "Codelist.ini").wstring() +
                                       L"\r\n\r\nDie Codeliste ist unverändert geblieben.",
                                   L"Codes nicht freigegeben", 16);
    EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), old);
    EXPECT_TRUE(WaitUntil([&] { return settings.AllControlsEnabled(true); }, 5s));
}

TEST(SettingsSave, BothTextsAreWrittenAsTypedAndTheWindowCloses) {
    const auto folder = FreshModuleFolder();
    const auto entries = ListWithEveryThirdUsed(5);
    WriteBytes(folder / "Codelist.ini", CodeListBytes("2", "11111", entries));
    ExpectSaved(L"+5", L"00777");
    EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), CodeListBytes("+5", "00777", entries)) << "only the two values changed";
    ExpectSaved(L"-1", L"1e3");
    EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), CodeListBytes("-1", "1e3", entries));
}

TEST(SettingsSave, TextsThatAreNoNumbersAreRefusedAndNothingIsStored) {
    const auto folder = FreshModuleFolder();
    const std::string old = CodeListBytes("2", "11111", ListWithEveryThirdUsed(3));
    WriteBytes(folder / "Codelist.ini", old);
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    ExpectRefused(settings, L"", L"12345", kCreditsRefused);
    ExpectRefused(settings, L"ab", L"12345", kCreditsRefused);
    ExpectRefused(settings, L"ab", L"", kCreditsRefused);
    ExpectRefused(settings, L"5", L"", kMasterCodeRefused);
    ExpectRefused(settings, L"5", L"12a", kMasterCodeRefused);
    ExpectRefused(settings, L"5", L"1 2", kMasterCodeRefused);
    // Longer than the box lets the operator type, but a program may set it: no 16-bit number.
    ExpectRefused(settings, L"40000", L"12345", kCreditsRefused);
    EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), old);
}

TEST(SettingsSave, TheNumericTestUsesTheUsersSeparators) {
    const auto folder = FreshModuleFolder();
    {
        UserNumberFormat german(L",", L".");
        ExpectSaved(L"1,5", L"12345");
        EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), "[Einstellungen]\r\nCreditsPerCode=1,5\r\nMasterCode=12345\r\n");
        SettingsWindow settings;
        ASSERT_NE(settings.Window(), nullptr);
        ExpectRefused(settings, L"1,000.5", L"12345", kCreditsRefused);
    }
    UserNumberFormat english(L".", L",");
    ExpectSaved(L"1,000.5", L"12345");
    EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), "[Einstellungen]\r\nCreditsPerCode=1,000.5\r\nMasterCode=12345\r\n");
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    EXPECT_EQ(settings.Text(kTxtCreditsPerCode), L"1") << "the comma ends the number at start-up";
    ExpectRefused(settings, L"1.000,5", L"12345", kCreditsRefused);
}

TEST(SettingsSave, AnUnwritableListIsReportedAndTheWindowStaysOpen) {
    const auto folder = FreshModuleFolder();
    const std::string old = CodeListBytes("2", "11111", ListWithEveryThirdUsed(3));
    WriteBytes(folder / "Codelist.ini", old);
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    UnwritableFile locked(folder / "Codelist.ini");
    ASSERT_TRUE(locked.Held());
    settings.SetText(kTxtCreditsPerCode, L"5");
    settings.SetText(kTxtMasterCode, L"12345");
    settings.ClickAndExpectMessage(kCmdSave,
                                   L"Die Einstellungen konnten nicht gesichert werden:\r\n\r\n" + (folder / "Codelist.ini").wstring(),
                                   L"Einstellungen nicht gesichert", 16);
    EXPECT_TRUE(IsWindowVisible(settings.Window()));
    EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), old);
}
