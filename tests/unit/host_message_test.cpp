#include "credit/host_message.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace codeeingabe {
namespace {

TEST(HostMessage, AddCreditPutsABlankWhereTheMinusSignWouldStand) {
    EXPECT_EQ(AddCreditCommand(2), "AddCredit| 2");
    EXPECT_EQ(AddCreditCommand(0), "AddCredit| 0");
    EXPECT_EQ(AddCreditCommand(-3), "AddCredit|-3");
    EXPECT_EQ(AddCreditCommand(32767), "AddCredit| 32767");
    EXPECT_EQ(AddCreditCommand(-32768), "AddCredit|-32768");
}

TEST(HostMessage, OutgoingTextIsReturnAddressBarCommand) {
    EXPECT_EQ(OutgoingMessage(1234, AddCreditCommand(2)), "1234|AddCredit| 2");
    EXPECT_EQ(OutgoingMessage(65710, kRegisterCommand), "65710|Register");
    EXPECT_EQ(OutgoingMessage(65710, kSetCreditSysEnabledCommand), "65710|SetCreditSys|Enabled");
    // A handle with the top bit set is written signed, as the host reads 32-bit handles.
    EXPECT_EQ(OutgoingMessage(-2147483647 - 1, kRegisterCommand), "-2147483648|Register");
    EXPECT_EQ(OutgoingMessage(std::numeric_limits<std::int32_t>::max(), "x"), "2147483647|x");
}

TEST(HostMessage, HostWindowHandleFromModuleIniText) {
    struct Case {
        const char* text;
        std::int32_t handle;
    };
    const Case cases[] = {
        {"131226", 131226},
        {" 1 31 226 ", 131226},          // blanks are ignored wherever they stand
        {"65710 (Jukebox)", 65710},       // reading stops at what cannot continue a number
        {"-5", -5},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", 0},               // no 32-bit handle: no window, not a wrapped number
        {"-2147483649", 0},
        {"9e99", 0},
        {"12.5", 12},                    // to the nearest whole number, halves to the even one
        {"13.5", 14},
        {"", 0},
        {"Fenster", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(HostWindowHandleFromText(c.text), c.handle) << "[" << c.text << "]";
}

TEST(HostMessage, OnlyTheExactCommandWordsAct) {
    EXPECT_EQ(ParseHostCommand("CreditClick"), HostCommand::creditClick);
    EXPECT_EQ(ParseHostCommand("AppClose"), HostCommand::appClose);
    for (const char* text : {"", "creditclick", "CREDITCLICK", "CreditClick ", " CreditClick", "appclose", "AppClose ",
                             "AppClos", "1234|CreditClick", "CreditClick\r\n"}) {
        EXPECT_EQ(ParseHostCommand(text), HostCommand::none) << "[" << text << "]";
    }
}

}  // namespace
}  // namespace codeeingabe
