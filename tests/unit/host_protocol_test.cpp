#include "host_protocol.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "credit/host_message.h"

namespace codeeingabe {
namespace {

TEST(HostProtocol, ModuleMessagesAndWhatIsNoneOfThem) {
    const auto message = host::ParseModuleMessage("1234|SetCreditSys|Enabled");
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->returnAddress, 1234);
    EXPECT_EQ(message->command, "SetCreditSys|Enabled");  // the handle is what stands before the first "|"
    for (const char* text : {"", "Register", "|Register", "12a|Register", " 12|Register", "99999999999|Register"}) {
        EXPECT_FALSE(host::ParseModuleMessage(text).has_value()) << "[" << text << "]";
    }
}

TEST(HostProtocol, CreditsOnlyFromAddCredit) {
    EXPECT_EQ(host::AddCreditAmount("AddCredit| 2"), 2);
    EXPECT_EQ(host::AddCreditAmount("AddCredit|2"), 2);
    EXPECT_EQ(host::AddCreditAmount("AddCredit|-3"), -3);
    for (const char* command : {"AddCredit|", "AddCredit| ", "AddCredit|  2", "AddCredit| 2x", "AddCredit|+2",
                                "addcredit| 2", "Register", "SetCreditSys|Enabled"}) {
        EXPECT_FALSE(host::AddCreditAmount(command).has_value()) << "[" << command << "]";
    }
}

// The host's reading of what the module writes: both sides of the link agree on every credit.
TEST(HostMessage, TheHostReadsBackReturnAddressAndCredits) {
    for (int credits = std::numeric_limits<std::int16_t>::min(); credits <= std::numeric_limits<std::int16_t>::max();
         credits += 97) {
        const std::string text = OutgoingMessage(-42, AddCreditCommand(static_cast<std::int16_t>(credits)));
        const auto message = host::ParseModuleMessage(text);
        ASSERT_TRUE(message.has_value()) << text;
        EXPECT_EQ(message->returnAddress, -42);
        EXPECT_EQ(host::AddCreditAmount(message->command), credits) << text;
    }
}

}  // namespace
}  // namespace codeeingabe
