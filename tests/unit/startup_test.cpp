#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

using namespace codeeingabe;
namespace fs = std::filesystem;

TEST(Startup, ArgumentTextIsWhatFollowsTheProgramName) {
    struct Case {
        const wchar_t* commandLine;
        const wchar_t* argumentText;
    };
    const Case cases[] = {
        {L"Codelist.exe /Mod", L"/Mod"},
        {L"\"C:\\Program Files\\Jukebox\\Codelist.exe\" /Mod", L"/Mod"},
        {L"\"C:\\Program Files\\Jukebox\\Codelist.exe\"/Mod", L"/Mod"},
        {L"Codelist.exe    /Mod ", L"/Mod "},
        {L"Codelist.exe /Mod x", L"/Mod x"},
        {L"Codelist.exe\t/Mod", L"/Mod"},
        {L"Codelist.exe", L""},
        {L"\"Codelist.exe\"", L""},
        {L"", L""},
        {L"\"unclosed quote /Mod", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ArgumentText(c.commandLine), c.argumentText) << fs::path(c.commandLine).string();
    }
}

TEST(Startup, OnlyExactlySlashModIsHostMode) {
    EXPECT_TRUE(IsHostMode(L"/Mod"));
    for (const wchar_t* other : {L"", L"/mod", L"/MOD", L"/Mod ", L" /Mod", L"/Mod x", L"Mod", L"-Mod", L"/Mo"}) {
        EXPECT_FALSE(IsHostMode(other)) << fs::path(other).string();
    }
}

TEST(Startup, SettingsComeFromTheCodeListWithTheirDefaults) {
    const fs::path file = fs::temp_directory_path() / ("codeeingabe-startup-" + std::to_string(std::random_device{}()) + ".ini");
    auto settingsFor = [&](const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
        return ReadSettings(file);
    };
    fs::remove(file);
    const Settings missing = ReadSettings(file);
    EXPECT_EQ(missing.creditsPerCode, 2);
    EXPECT_EQ(missing.masterCode, "");

    struct Case {
        const char* credits;
        std::int16_t expected;
    };
    for (const Case c : {Case{"3.5", 4}, {"2.5", 2}, {"007", 7}, {"-3", -3}, {"abc", 0}, {"", 0}, {"+5", 5},
                         {"32767", 32767}, {"32768", 0}, {"9e99", 0}, {"-32768", -32768}}) {
        EXPECT_EQ(settingsFor(std::string("[Einstellungen]\r\nCreditsPerCode=") + c.credits + "\r\n").creditsPerCode, c.expected)
            << c.credits;
    }
    const Settings kept = settingsFor("[Einstellungen]\r\nMasterCode= 0042 \r\n");
    EXPECT_EQ(kept.creditsPerCode, 2) << "a missing key reads as its default";
    EXPECT_EQ(kept.masterCode, "0042");
    fs::remove(file);
}
