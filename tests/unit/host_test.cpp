#include <gtest/gtest.h>

#include "app/startup.h"
#include "codelist/process_values.h"
#include "credit/code_booking.h"
#include "credit/code_entry.h"
#include "test_files.h"

using namespace codeeingabe;

// Commands go out exactly so, and only the exact command words count; a handle with the top bit set
// is written signed, as the host reads 32-bit handles. Only exactly "/Mod" starts host mode.
TEST(Host, MessagesStartUpAndTheListFile) {
    EXPECT_EQ(AddCreditCommand(0) + "," + AddCreditCommand(-32768) + "," + OutgoingMessage(1234, AddCreditCommand(32767)),
              "AddCredit| 0,AddCredit|-32768,1234|AddCredit| 32767");
    EXPECT_EQ(OutgoingMessage(INT32_MIN, kSetCreditSysEnabledCommand), "-2147483648|SetCreditSys|Enabled");
    const auto none = HostCommand::none;
    // clang-format off
    const std::pair<const char*, HostCommand> commands[] = {
        {"CreditClick", HostCommand::creditClick}, {"AppClose", HostCommand::appClose}, {"", none}, {"creditclick", none},
        {"CreditClick ", none}, {" CreditClick", none}, {"AppClos", none}, {"1|AppClose", none},
    };
    const std::pair<const wchar_t*, const wchar_t*> commandLines[] = {
        {L"\"C:\\Program Files\\Codelist.exe\" /Mod", L"/Mod"}, {L"\"C:\\Codelist.exe\"/Mod x", L"/Mod x"}, {L"", L""},
        {L"Codelist.exe \t /Mod ", L"/Mod "}, {L"Codelist.exe\t", L""}, {L"\"unclosed quote /Mod", L""},
    };
    // clang-format on
    for (const auto& [text, command] : commands) EXPECT_EQ(ParseHostCommand(text), command) << text;
    for (const auto& [commandLine, argument] : commandLines) EXPECT_EQ(ArgumentText(commandLine), argument);
    EXPECT_TRUE(IsHostMode(L"/Mod"));
    for (const wchar_t* other : {L"", L"/mod", L"/Mod ", L" /Mod", L"/Mo"}) EXPECT_FALSE(IsHostMode(other));
    for (const char* folder : {"Module", "Module/"}) {
        const ProcessValues values{fs::path(folder).native(), 2, ""};
        EXPECT_EQ(values.ModuleFile("Codelist.ini"), (fs::path(folder) / "Codelist.ini").native());
    }

    // Only a code still free on the disk is booked: not a used one, nor one a new list no longer
    // holds. A list that cannot be read is no missing one.
    TempFolder folder;
    const fs::path list = folder / "Codelist.ini", utf16 = folder / "Utf16.ini";
    const std::string bytes = Crlf("[Einstellungen]|CreditsPerCode=2||[Codes]|12345=UNUSED|00042=UNUSED|77777=USED|");
    WriteBytes(list, bytes);
    WriteBytes(utf16, Utf16(bytes));
    const std::pair<const char*, const char*> states[] = {
        {"12345", "UNUSED"}, {"77777", "USED"}, {"42", "00000"}, {"99999", "00000"}};
    for (const auto& [code, state] : states) EXPECT_EQ(CodeState(list, code), state) << code;
    EXPECT_EQ(CodeState(folder / "missing.ini", "12345"), "00000");
    EXPECT_EQ(CodeState(utf16, "12345"), std::nullopt);
    EXPECT_FALSE(BookCodeUsed(list, "77777") || BookCodeUsed(list, "99999") || BookCodeUsed(list, ""));
    EXPECT_EQ(Bytes(list), bytes);
    ASSERT_TRUE(BookCodeUsed(list, "00042"));
    EXPECT_EQ(Bytes(list), Crlf("[Einstellungen]|CreditsPerCode=2||[Codes]|12345=UNUSED|00042=USED|77777=USED|"));
    ASSERT_TRUE(ReturnCode(list, "00042"));
    EXPECT_EQ(Bytes(list), bytes);

    // The settings, with their defaults for a missing list; credits beyond 16 bits are worth nothing.
    WriteBytes(list, "[Einstellungen]\r\nCreditsPerCode=32768\r\nMasterCode= 0042 \r\n");
    EXPECT_TRUE(ReadSettings(list).creditsPerCode == 0 && ReadSettings(list).masterCode == "0042");
    EXPECT_TRUE(ReadSettings(folder / "missing.ini").creditsPerCode == 2 &&
                ReadSettings(folder / "missing.ini").masterCode.empty());
}

// The world of one check: the state of the code 12345 in the list, whether the list can be read
// and written and how the host answers; the entries typed; what was asked of the world (a lookup
// is "?code") with each outcome after it, and the count afterwards.
// clang-format off
struct Entries { const char* state; bool readable, bookable; SendResult send; const char* master; std::uint8_t wrongBefore;
                 std::vector<std::string> typed; const char* log; std::uint8_t wrongAfter; };
// clang-format on

struct FakePort : CodeEntryPort {
    explicit FakePort(const Entries& e) : world(e) {}
    const Entries& world;
    std::string log;

    auto Log(const std::string& what, auto answer) { return log += what + " ", answer; }
    std::optional<std::string> CodeState(const std::string& code) override {
        return Log("?" + code,
                   world.readable ? std::optional<std::string>(code == "12345" ? world.state : "00000") : std::nullopt);
    }
    bool BookCodeUsed(const std::string&) override { return Log("book", world.bookable); }
    void ReturnCode(const std::string&) override { Log("return", 0); }
    SendResult SendCredit(const std::string&) override { return Log("credit", world.send); }
    void OpenMasterWindow() override { Log("master", 0); }
    void StartLock() override { Log("lock", 0); }
};

TEST(Host, CodeEntryDecisions) {
    const std::string outcomes[] = {"master", "credited", "bookingFailed", "unreadable", "creditLost", "wrong", "locked"};
    const auto gone = SendResult::hostGone, late = SendResult::unanswered, ok = SendResult::delivered;
    // clang-format off
    const Entries cases[] = {
        {"UNUSED", 1, 1, ok, "", 1, {"12345"}, "?12345 book credit credited|", 0}, {"USED", 1, 1, ok, "", 0, {"12345"}, "?12345 wrong|", 1},
        {"UNUSED", 1, 1, late, "", 1, {"12345"}, "?12345 book credit credited|", 0}, {"unused", 1, 1, ok, "", 0, {"12345"}, "?12345 wrong|", 1},
        {"UNUSED", 1, 0, ok, "", 1, {"12345"}, "?12345 book bookingFailed|", 1}, {"UNUSED ", 1, 1, ok, "", 0, {"12345"}, "?12345 wrong|", 1},
        {"UNUSED", 0, 1, ok, "", 1, {"12345", "11111"}, "?12345 unreadable|?11111 unreadable|", 1},
        {"UNUSED", 1, 1, gone, "", 1, {"12345"}, "?12345 book credit return creditLost|", 1},
        {"UNUSED", 1, 1, ok, "12345", 1, {"12345"}, "master master|", 0},
        {"UNUSED", 1, 1, ok, "12345 ", 1, {"12345"}, "?12345 book credit credited|", 0},
        {"UNUSED", 1, 1, ok, "", 0, {"11111", "22222"}, "?11111 wrong|?22222 lock locked|", 2},
        {"UNUSED", 1, 1, ok, "", 0, {"11111", "12345", "22222"}, "?11111 wrong|?12345 book credit credited|?22222 wrong|", 1},
        {"UNUSED", 1, 1, ok, "", 254, {"11111", "11111"}, "?11111 wrong|?11111 wrong|", 255},
    };
    // clang-format on
    for (const Entries& c : cases) {
        FakePort port(c);
        std::uint8_t wrong = c.wrongBefore;
        for (const std::string& entry : c.typed) port.log += outcomes[int(CheckCode(entry, c.master, wrong, port))] + "|";
        EXPECT_EQ(port.log, c.log);
        EXPECT_EQ(wrong, c.wrongAfter) << c.log;
    }
}
