// The text export of the code list through the settings window of Codelist.exe.
#include <gtest/gtest.h>

#include <cstdio>

#include "codelist/frm_einstellungen.h"
#include "settings_driver.h"

using namespace codeeingabe;
using namespace codeeingabe::test;

namespace {

// The export as the operator prints it: numbers as wide as m - 1 is long, the last may be wider.
std::string ExpectedExport(const std::vector<std::string>& codes) {
    const int m = static_cast<int>(codes.size());
    const int width = static_cast<int>(std::to_string(m > 0 ? m - 1 : 0).size());
    std::string text = "CodeNr.: \tCode:\r\n\r\n";
    for (int i = 1; i <= m; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%0*d", width, i);
        text += std::string(number) + ":\t\t" + codes[static_cast<std::size_t>(i - 1)] + "\r\n";
    }
    return text;
}

}  // namespace

TEST(SettingsExport, ListsOf1000_250_10_1And0CodesAreWrittenNumberedAndOpened) {
    const auto folder = FreshModuleFolder();
    const std::wstring textFile = (folder / "Codelist.txt").wstring();
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    struct Case {
        int m;
        const char* firstNumber;  // as the operator reads them
        const char* lastNumber;
    };
    // Largest first: every export must replace the longer one before it completely.
    for (const Case& c : {Case{1000, "001", "1000"}, Case{250, "001", "250"}, Case{10, "1", "10"}, Case{1, "1", "1"},
                          Case{0, nullptr, nullptr}}) {
        const int m = c.m;
        SCOPED_TRACE(m);
        const std::vector<std::string> codes = SampleCodes(m);
        std::vector<std::pair<std::string, std::string>> entries;
        for (std::size_t i = 0; i < codes.size(); ++i) entries.emplace_back(codes[i], i % 3 == 0 ? "USED" : "UNUSED");
        WriteBytes(folder / "Codelist.ini", CodeListBytes("2", "", entries));

        settings.Click(kCmdCreateCodelistText);
        const auto box = settings.WaitForMessageBox();
        ExpectMessage(box, L"Codeliste wurde in folgende Datei geschrieben:\r\n\r\n" + textFile, L"Fertig", 64);
        ASSERT_TRUE(box.has_value());
        EXPECT_TRUE(settings.AllControlsEnabled(false)) << "busy while the message shows";
        const std::string text = ReadBytes(folder / "Codelist.txt");
        EXPECT_EQ(text, ExpectedExport(codes)) << "written before the message";
        if (m > 0) {
            const std::string firstLine = std::string(c.firstNumber) + ":\t\t" + codes.front() + "\r\n";
            const std::string lastLine = std::string(c.lastNumber) + ":\t\t" + codes.back() + "\r\n";
            EXPECT_EQ(text.substr(19, firstLine.size()), firstLine);
            EXPECT_EQ(text.substr(text.size() - lastLine.size() - 1), std::string("\n").append(lastLine));
            EXPECT_EQ(codes.front(), "00003") << "a code with leading zeros is among them";
        }
        ASSERT_TRUE(DismissMessageBox(*box));
        EXPECT_TRUE(CloseViewerOf(L"Codelist.txt", settings.Process().ProcessId(), 20s)) << "the shell opened the file";
        EXPECT_TRUE(WaitUntil([&] { return settings.AllControlsEnabled(true); }, 5s));
    }
}

TEST(SettingsExport, WithoutACodeListNeitherExportNorResetDoesAnything) {
    const auto folder = FreshModuleFolder();
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    settings.Click(kCmdCreateCodelistText);
    settings.Click(kCmdResetCodelist);
    // The clicks are handled in order: the first message to show must be the count error after them.
    settings.SetText(kTxtNrOfCodes, L"0");
    settings.Click(kCmdCreateCodelist);
    ExpectMessage(settings.WaitForMessageBox(),
                  L"Die Anzahl der zu generierenden Codes muss zwischen 1 und 1000 liegen", L"Fehler!", 16);
    EXPECT_FALSE(std::filesystem::exists(folder / "Codelist.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Codelist.ini"));
}

TEST(SettingsExport, AnUnwritableTextFileIsReportedInsteadOfSuccess) {
    const auto folder = FreshModuleFolder();
    WriteBytes(folder / "Codelist.ini", CodeListBytes("2", "", {{"00042", "UNUSED"}, {"12345", "USED"}}));
    WriteBytes(folder / "Codelist.txt", "an older export\r\n");
    SettingsWindow settings;
    ASSERT_NE(settings.Window(), nullptr);
    {
        UnwritableFile locked(folder / "Codelist.txt");
        ASSERT_TRUE(locked.Held());
        settings.Click(kCmdCreateCodelistText);
        const auto box = settings.WaitForMessageBox();
        ExpectMessage(box, L"Die Textdatei konnte nicht geschrieben werden:\r\n\r\n" + (folder / "Codelist.txt").wstring(),
                      L"Textdatei nicht geschrieben", 16);
        ASSERT_TRUE(box.has_value());
        EXPECT_TRUE(settings.AllControlsEnabled(false));
        ASSERT_TRUE(DismissMessageBox(*box));
        EXPECT_TRUE(WaitUntil([&] { return settings.AllControlsEnabled(true); }, 5s));
    }
    EXPECT_EQ(ReadBytes(folder / "Codelist.txt"), "an older export\r\n");
}
