#include <gtest/gtest.h>

#include "app/startup.h"
#include "codelist/process_values.h"
#include "credit/code_booking.h"
#include "credit/code_entry.h"
#include "test_files.h"

using namespace codeeingabe;
using namespace std::string_literals;

namespace {

TEST(Host, Messages) {
    EXPECT_EQ(AddCreditCommand(2), "AddCredit| 2");
    EXPECT_EQ(AddCreditCommand(0), "AddCredit| 0");
    EXPECT_EQ(AddCreditCommand(-32768), "AddCredit|-32768");
    EXPECT_EQ(OutgoingMessage(1234, AddCreditCommand(32767)), "1234|AddCredit| 32767");
    // A handle with the top bit set is written signed, as the host reads 32-bit handles.
    EXPECT_EQ(OutgoingMessage(INT32_MIN, kSetCreditSysEnabledCommand), "-2147483648|SetCreditSys|Enabled");
    EXPECT_EQ(ParseHostCommand("CreditClick"), HostCommand::creditClick);
    EXPECT_EQ(ParseHostCommand("AppClose"), HostCommand::appClose);
    for (const char* text : {"", "creditclick", "CreditClick ", " CreditClick", "AppClose ", "AppClos", "1|AppClose"}) {
        EXPECT_EQ(ParseHostCommand(text), HostCommand::none) << text;
    }
}

// The code 12345 in a list and a host, in memory; logs what the check did, and its outcome.
struct World {
    const char* state;
    bool readable, bookable;
    SendResult send;
};

struct FakePort : CodeEntryPort {
    explicit FakePort(const World& w) : world(w), state(w.state) {}
    World world;
    std::string state, log;

    std::optional<std::string> CodeState(const std::string& code) override {
        log += "lookup " + code + ";";
        if (!world.readable) return std::nullopt;
        return code == "12345" ? state : "00000";
    }
    bool BookCodeUsed(const std::string&) override {
        log += "book;";
        if (world.bookable) state = "USED";
        return world.bookable;
    }
    void ReturnCode(const std::string&) override {
        log += "return;";
        state = "UNUSED";
    }
    SendResult SendCredit() override {
        log += "credit;";
        return world.send;
    }
    void OpenMasterWindow() override { log += "master;"; }
    void StartLock() override { log += "lock;"; }
};

TEST(Host, CodeEntryDecisions) {
    const char* const outcomes[] = {"master", "credited", "bookingFailed", "unreadable", "creditLost", "wrong", "locked"};
    const auto gone = SendResult::hostGone, late = SendResult::unanswered, ok = SendResult::delivered;
    // world: the state of 12345, whether the list can be read and written, the host's answer.
    const struct {
        World world;
        const char* master;
        std::uint8_t wrongBefore;
        std::vector<std::string> entries;
        std::string log;
        std::uint8_t wrongAfter;
        const char* stateAfter;
    } cases[] = {
        {{"UNUSED", true, true, ok},
         "",
         1,
         {"12345", "12345"},
         "lookup 12345;book;credit;credited|lookup 12345;wrong|",
         1,
         "USED"},
        {{"UNUSED", true, true, late}, "", 1, {"12345"}, "lookup 12345;book;credit;credited|", 0, "USED"},
        {{"UNUSED", true, false, ok}, "", 1, {"12345"}, "lookup 12345;book;bookingFailed|", 1, "UNUSED"},
        {{"UNUSED", false, true, ok},
         "",
         1,
         {"12345", "11111"},
         "lookup 12345;unreadable|lookup 11111;unreadable|",
         1,
         "UNUSED"},
        {{"UNUSED", true, true, gone}, "", 1, {"12345"}, "lookup 12345;book;credit;return;creditLost|", 1, "UNUSED"},
        {{"UNUSED", true, true, ok}, "12345", 1, {"12345"}, "master;master|", 0, "UNUSED"},
        {{"UNUSED", true, true, ok}, "12345 ", 1, {"12345"}, "lookup 12345;book;credit;credited|", 0, "USED"},
        {{"USED", true, true, ok}, "", 0, {"12345"}, "lookup 12345;wrong|", 1, "USED"},
        {{"unused", true, true, ok}, "", 0, {"12345"}, "lookup 12345;wrong|", 1, "unused"},
        {{"UNUSED ", true, true, ok}, "", 0, {"12345"}, "lookup 12345;wrong|", 1, "UNUSED "},
        {{"UNUSED", true, true, ok}, "", 0, {"11111", "22222"}, "lookup 11111;wrong|lookup 22222;lock;locked|", 2, "UNUSED"},
        {{"UNUSED", true, true, ok},
         "",
         0,
         {"11111", "12345", "22222"},
         "lookup 11111;wrong|lookup 12345;book;credit;credited|lookup 22222;wrong|",
         1,
         "USED"},
        {{"UNUSED", true, true, ok}, "", 254, {"11111", "11111"}, "lookup 11111;wrong|lookup 11111;wrong|", 255, "UNUSED"},
    };
    for (const auto& c : cases) {
        FakePort port(c.world);
        std::uint8_t wrong = c.wrongBefore;
        for (const std::string& entry : c.entries) port.log += outcomes[int(CheckCode(entry, c.master, wrong, port))] + "|"s;
        EXPECT_EQ(port.log, c.log);
        EXPECT_EQ(wrong, c.wrongAfter) << c.log;
        EXPECT_EQ(port.state, c.stateAfter) << c.log;
    }
}

TEST(Host, BookingOnTheListFile) {
    TempFolder folder;
    const fs::path list = folder / "Codelist.ini", utf16 = folder / "Utf16.ini";
    const std::string bytes =
        "[Einstellungen]\r\nCreditsPerCode=2\r\n\r\n[Codes]\r\n12345=UNUSED\r\n00042=UNUSED\r\n77777=USED\r\n";
    WriteBytes(list, bytes);
    WriteBytes(utf16, Utf16(bytes));
    const std::pair<const char*, const char*> states[] = {
        {"12345", "UNUSED"}, {"77777", "USED"}, {"00042", "UNUSED"}, {"42", "00000"}, {"99999", "00000"},
    };
    for (const auto& [code, state] : states) EXPECT_EQ(CodeState(list, code), state) << code;
    EXPECT_EQ(CodeState(folder / "missing.ini", "12345"), "00000");
    EXPECT_EQ(CodeState(utf16, "12345"), std::nullopt);

    // Only a code still free on the disk is booked: not a used one, nor one a new list no longer holds.
    EXPECT_FALSE(BookCodeUsed(list, "77777") || BookCodeUsed(list, "99999"));
    EXPECT_FALSE(BookCodeUsed(utf16, "12345") || ReturnCode(utf16, "12345"));
    EXPECT_FALSE(BookCodeUsed(folder / "no-folder" / "Codelist.ini", "12345"));
    EXPECT_EQ(Bytes(list) + Bytes(utf16), bytes + Utf16(bytes));

    ASSERT_TRUE(BookCodeUsed(list, "00042"));
    EXPECT_EQ(Bytes(list),
              "[Einstellungen]\r\nCreditsPerCode=2\r\n\r\n[Codes]\r\n12345=UNUSED\r\n00042=USED\r\n77777=USED\r\n");
    ASSERT_TRUE(ReturnCode(list, "00042"));
    EXPECT_EQ(Bytes(list), bytes);
}

TEST(Host, StartUp) {
    // clang-format off
    const std::pair<const wchar_t*, const wchar_t*> commandLines[] = {
        {L"Codelist.exe /Mod", L"/Mod"}, {L"\"C:\\Program Files\\Codelist.exe\" /Mod", L"/Mod"},
        {L"\"C:\\Program Files\\Codelist.exe\"/Mod", L"/Mod"}, {L"Codelist.exe    /Mod ", L"/Mod "},
        {L"Codelist.exe /Mod x", L"/Mod x"}, {L"Codelist.exe \t /Mod", L"/Mod"}, {L"Codelist.exe\t", L""},
        {L"\"Codelist.exe\"", L""}, {L"", L""}, {L"\"unclosed quote /Mod", L""},
    };
    // clang-format on
    for (const auto& [commandLine, argument] : commandLines) EXPECT_EQ(ArgumentText(commandLine), argument);
    EXPECT_TRUE(IsHostMode(L"/Mod"));
    for (const wchar_t* other : {L"", L"/mod", L"/Mod ", L" /Mod", L"/Mo"}) EXPECT_FALSE(IsHostMode(other));

    TempFolder folder;
    const fs::path file = folder / "Codelist.ini";
    EXPECT_EQ(ReadSettings(file).creditsPerCode, 2) << "a missing list gives the defaults";
    EXPECT_EQ(ReadSettings(file).masterCode, "");
    // clang-format off
    const std::pair<std::string, std::int16_t> credits[] = {
        {"CreditsPerCode=3.5", 4}, {"CreditsPerCode=2.5", 2}, {"CreditsPerCode=abc", 0}, {"CreditsPerCode=", 0},
        {"CreditsPerCode=32767", 32767}, {"CreditsPerCode=32768", 0}, {"CreditsPerCode=-32768", -32768}, {"", 2},
        {"CreditsPerCode=\"3\"", 3}, {"CreditsPerCode=' 3'", 3}, {";CreditsPerCode=5", 2},
    };
    // clang-format on
    for (const auto& [line, value] : credits) {
        WriteBytes(file, "[Einstellungen]\r\n" + line + "\r\nMasterCode= 0042 \r\n");
        EXPECT_EQ(ReadSettings(file).creditsPerCode, value) << line;
        EXPECT_EQ(ReadSettings(file).masterCode, "0042");
    }

    const std::string separator(1, static_cast<char>(fs::path::preferred_separator));
    for (const auto& [name, path] : {std::pair<std::string, std::string>{"Module", "Module" + separator + "Codelist.ini"},
                                     {"Module/", "Module/Codelist.ini"}}) {
        ProcessValues values;
        values.moduleFolder = fs::path(name).native();
        EXPECT_EQ(values.ModuleFile("Codelist.ini"), fs::path(path).native());
    }
}

}  // namespace
