// Code list generation through the settings window of Codelist.exe.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "codelist/frm_einstellungen.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

const std::wstring kCountError = L"Die Anzahl der zu generierenden Codes muss zwischen 1 und 1000 liegen";

// The codes of a generated file, after checking that the file is the heading and code lines only.
std::vector<std::string> CodesOfGeneratedFile(const std::string& bytes, const std::string& heading) {
    EXPECT_EQ(bytes.substr(0, heading.size()), heading);
    std::vector<std::string> codes;
    std::size_t at = heading.size();
    while (at < bytes.size()) {
        const std::string line = bytes.substr(at, 14);
        const bool wellFormed = line.size() == 14 && line.substr(5) == "=UNUSED\r\n" &&
                                line.find_first_not_of("0123456789") == 5;
        EXPECT_TRUE(wellFormed) << "line at byte " << at << ": " << line;
        if (!wellFormed) break;
        codes.push_back(line.substr(0, 5));
        at += 14;
    }
    return codes;
}

// Runs a generation from the window and checks the busy state around its closing message.
void GenerateThroughTheWindow(SettingsWindow& settings, const std::wstring& count) {
    settings.SetText(kTxtNrOfCodes, count);
    settings.Click(kCmdCreateCodelist);
    const auto box = settings.WaitForMessageBox();
    ExpectMessage(box, L"Codeliste wurde erstellt", L"Fertig", 64);
    ASSERT_TRUE(box.has_value());
    EXPECT_TRUE(settings.AllControlsEnabled(false)) << "busy while the closing message shows";
    ASSERT_TRUE(DismissMessageBox(*box));
    EXPECT_TRUE(WaitUntil([&] { return settings.AllControlsEnabled(true); }, 5s)) << "enabled again after the message";
}

double ChiSquare(const std::array<long, 10>& counts) {
    long total = 0;
    for (long count : counts) total += count;
    const double expected = static_cast<double>(total) / 10.0;
    double statistic = 0.0;
    for (long count : counts) statistic += (count - expected) * (count - expected) / expected;
    return statistic;
}

}  // namespace

TEST(SettingsGeneration, ListsOf1_250And1000CodesReplaceTheOldListWhole) {
    for (int n : {1, 250, 1000}) {
        SCOPED_TRACE(n);
        const auto folder = FreshModuleFolder();
        std::vector<std::pair<std::string, std::string>> old;
        for (const std::string& code : SampleCodes(20)) old.emplace_back(code, "USED");
        WriteBytes(folder / "Codelist.ini", CodeListBytes("7", "24680", old));

        SettingsWindow settings;
        ASSERT_NE(settings.Window(), nullptr);
        GenerateThroughTheWindow(settings, std::to_wstring(n));

        const std::string bytes = ReadBytes(folder / "Codelist.ini");
        const auto codes =
            CodesOfGeneratedFile(bytes, "[Einstellungen]\r\nCreditsPerCode=7\r\nMasterCode=24680\r\n\r\n[Codes]\r\n");
        EXPECT_EQ(codes.size(), static_cast<std::size_t>(n));
        EXPECT_EQ(std::set<std::string>(codes.begin(), codes.end()).size(), codes.size()) << "all different";
        EXPECT_EQ(bytes.find("=USED"), std::string::npos) << "the old list is gone";
        EXPECT_FALSE(std::filesystem::exists(folder / "Codelist.ini.tmp"));

        if (n == 1000) {
            // The system's generator, through the window: 5000 digits, equally frequent. A uniform
            // source exceeds the limit less than once in a million runs.
            std::array<long, 10> counts{};
            for (const std::string& code : codes) {
                for (char digit : code) ++counts[static_cast<std::size_t>(digit - '0')];
            }
            EXPECT_LT(ChiSquare(counts), 45.0);
        }
    }
}

TEST(SettingsGeneration, CountsOutsideOneToThousandShowTheErrorAndChangeNothing) {
    const auto folder = FreshModuleFolder();
    const std::string old = CodeListBytes("2", "", {{"00042", "USED"}, {"12345", "UNUSED"}});
    WriteBytes(folder / "Codelist.ini", old);
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    for (const wchar_t* count : {L"1001", L"0", L"-3", L"", L"9e99", L"abc", L"0.4"}) {
        SCOPED_TRACE(std::wstring(L"count ") + count);
        settings.SetText(kTxtNrOfCodes, count);
        settings.Click(kCmdCreateCodelist);
        const auto box = settings.WaitForMessageBox();
        ExpectMessage(box, kCountError, L"Fehler!", 16);
        ASSERT_TRUE(box.has_value());
        EXPECT_TRUE(settings.AllControlsEnabled(true)) << "no busy state";
        ASSERT_TRUE(DismissMessageBox(*box));
        EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), old);
    }
}

TEST(SettingsGeneration, CountTextsAreReadByTheCreditsRule) {
    const auto folder = FreshModuleFolder();
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    const std::pair<const wchar_t*, std::size_t> cases[] = {{L"12ab", 12}, {L"2.5", 2}, {L"3.5", 4}, {L"1,5", 1}, {L" 1 0", 10}};
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(std::wstring(L"count ") + text);
        GenerateThroughTheWindow(settings, text);
        const auto codes =
            CodesOfGeneratedFile(ReadBytes(folder / "Codelist.ini"), "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n");
        EXPECT_EQ(codes.size(), expected);
    }
}

TEST(SettingsGeneration, TheNewListCarriesTheSavedSettingsNotTheUnsavedBoxTexts) {
    const auto folder = FreshModuleFolder();
    {
        SettingsWindow settings;
        ASSERT_NE(settings.Window(), nullptr);
        settings.SetText(kTxtCreditsPerCode, L"+5");
        settings.SetText(kTxtMasterCode, L"13579");
        settings.ClickAndExpectMessage(kCmdSave, L"Einstellungen wurden gesichert!", L"Einstellungen gesichert", 64);
        EXPECT_TRUE(settings.Process().WaitForExit(10s));
    }
    EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), "[Einstellungen]\r\nCreditsPerCode=+5\r\nMasterCode=13579\r\n")
        << "saved as typed, without a list";

    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    EXPECT_EQ(settings.Text(kTxtCreditsPerCode), L"5");
    EXPECT_EQ(settings.Text(kTxtMasterCode), L"13579");
    settings.SetText(kTxtCreditsPerCode, L"9");
    settings.SetText(kTxtMasterCode, L"22222");
    GenerateThroughTheWindow(settings, L"3");
    const auto codes = CodesOfGeneratedFile(ReadBytes(folder / "Codelist.ini"),
                                            "[Einstellungen]\r\nCreditsPerCode=5\r\nMasterCode=13579\r\n\r\n[Codes]\r\n");
    EXPECT_EQ(codes.size(), 3u);
}

TEST(SettingsGeneration, AnUnwritableListStaysWholeAndTheOperatorIsTold) {
    const auto folder = FreshModuleFolder();
    const std::string old = CodeListBytes("2", "99999", {{"00042", "USED"}, {"12345", "UNUSED"}, {"54321", "USED"}});
    WriteBytes(folder / "Codelist.ini", old);
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    {
        UnwritableFile locked(folder / "Codelist.ini");
        ASSERT_TRUE(locked.Held());
        settings.SetText(kTxtNrOfCodes, L"250");
        settings.Click(kCmdCreateCodelist);
        const auto box = settings.WaitForMessageBox();
        ExpectMessage(box,
                      L"Die neue Codeliste konnte nicht gespeichert werden:\r\n\r\n" + (folder / "Codelist.ini").wstring() +
                          L"\r\n\r\nDie bisherige Codeliste ist unverändert geblieben.",
                      L"Codeliste nicht erstellt", 16);
        ASSERT_TRUE(box.has_value());
        EXPECT_TRUE(settings.AllControlsEnabled(false));
        ASSERT_TRUE(DismissMessageBox(*box));
        EXPECT_TRUE(WaitUntil([&] { return settings.AllControlsEnabled(true); }, 5s));
    }
    EXPECT_EQ(ReadBytes(folder / "Codelist.ini"), old);
    EXPECT_FALSE(std::filesystem::exists(folder / "Codelist.ini.tmp"));

    GenerateThroughTheWindow(settings, L"2");
    EXPECT_EQ(CodesOfGeneratedFile(ReadBytes(folder / "Codelist.ini"),
                                   "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=99999\r\n\r\n[Codes]\r\n")
                  .size(),
              2u)
        << "once writable again, generation works";
}
