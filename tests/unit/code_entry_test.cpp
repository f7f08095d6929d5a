#include "credit/code_entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace codeeingabe {
namespace {

// A code list and a host in memory; records what the check did, in order.
class FakePort : public CodeEntryPort {
public:
    std::map<std::string, std::string> codes;
    bool listReadable = true;
    bool bookingWorks = true;
    SendResult sendResult = SendResult::delivered;
    std::vector<std::string> log;

    std::optional<std::string> CodeState(const std::string& code) override {
        log.push_back("lookup " + code);
        if (!listReadable) return std::nullopt;
        const auto found = codes.find(code);
        return found == codes.end() ? "00000" : found->second;
    }
    bool BookCodeUsed(const std::string& code) override {
        log.push_back("book " + code);
        if (bookingWorks) codes[code] = "USED";
        return bookingWorks;
    }
    void ReturnCode(const std::string& code) override {
        log.push_back("return " + code);
        codes[code] = "UNUSED";
    }
    SendResult SendCredit() override {
        log.push_back("credit");
        return sendResult;
    }
    void OpenMasterWindow() override { log.push_back("master"); }
    void StartLock() override { log.push_back("lock"); }
};

using Log = std::vector<std::string>;

TEST(CodeCheck, AFreeCodeIsBookedBeforeItsCreditIsSentAndOnlyOnce) {
    FakePort port;
    port.codes = {{"12345", "UNUSED"}};
    std::uint8_t wrong = 1;
    EXPECT_EQ(CheckCode("12345", "", wrong, port), EntryOutcome::credited);
    EXPECT_EQ(port.log, (Log{"lookup 12345", "book 12345", "credit"}));
    EXPECT_EQ(port.codes["12345"], "USED");
    EXPECT_EQ(wrong, 0);

    port.log.clear();
    EXPECT_EQ(CheckCode("12345", "", wrong, port), EntryOutcome::wrongEntry);
    EXPECT_EQ(port.log, (Log{"lookup 12345"}));
    EXPECT_EQ(wrong, 1);
}

TEST(CodeCheck, AHostThatDoesNotAnswerInTimeStillCountsAsCredited) {
    FakePort port;
    port.codes = {{"00042", "UNUSED"}};
    port.sendResult = SendResult::unanswered;
    std::uint8_t wrong = 1;
    EXPECT_EQ(CheckCode("00042", "", wrong, port), EntryOutcome::credited);
    EXPECT_EQ(port.codes["00042"], "USED");
    EXPECT_EQ(wrong, 0);
}

TEST(CodeCheck, AFailedBookingGivesNoCreditAndIsNoWrongEntry) {
    FakePort port;
    port.codes = {{"12345", "UNUSED"}};
    port.bookingWorks = false;
    std::uint8_t wrong = 1;
    EXPECT_EQ(CheckCode("12345", "", wrong, port), EntryOutcome::bookingFailed);
    EXPECT_EQ(port.log, (Log{"lookup 12345", "book 12345"}));
    EXPECT_EQ(port.codes["12345"], "UNUSED");
    EXPECT_EQ(wrong, 1);  // the guest typed a valid code: neither counted nor forgiven
}

TEST(CodeCheck, AnUnreadableListGivesNoCreditAndIsNoWrongEntry) {
    FakePort port;
    port.codes = {{"12345", "UNUSED"}};
    port.listReadable = false;
    std::uint8_t wrong = 1;
    for (const char* entry : {"12345", "99999"}) {
        EXPECT_EQ(CheckCode(entry, "", wrong, port), EntryOutcome::listUnreadable);
        EXPECT_EQ(port.log.back(), std::string("lookup ") + entry) << "nothing booked, sent or locked";
    }
    EXPECT_EQ(wrong, 1);
    EXPECT_EQ(port.codes["12345"], "UNUSED");
}

TEST(CodeCheck, ACreditThatFindsNoHostGivesTheCodeBack) {
    FakePort port;
    port.codes = {{"12345", "UNUSED"}};
    port.sendResult = SendResult::hostGone;
    std::uint8_t wrong = 1;
    EXPECT_EQ(CheckCode("12345", "", wrong, port), EntryOutcome::creditLost);
    EXPECT_EQ(port.log, (Log{"lookup 12345", "book 12345", "credit", "return 12345"}));
    EXPECT_EQ(port.codes["12345"], "UNUSED");
    EXPECT_EQ(wrong, 1);
}

TEST(CodeCheck, TheMasterCodeComesBeforeTheListAndResetsTheCount) {
    FakePort port;
    port.codes = {{"54321", "UNUSED"}};
    std::uint8_t wrong = 1;
    EXPECT_EQ(CheckCode("54321", "54321", wrong, port), EntryOutcome::masterWindow);
    EXPECT_EQ(port.log, (Log{"master"}));
    EXPECT_EQ(port.codes["54321"], "UNUSED");
    EXPECT_EQ(wrong, 0);
}

TEST(CodeCheck, AMasterCodeThatIsNotFiveDigitsNeverMatches) {
    for (const char* master : {"", "5432", "543210", "54321 ", "5432a"}) {
        FakePort port;
        port.codes = {{"54321", "UNUSED"}};
        std::uint8_t wrong = 0;
        EXPECT_EQ(CheckCode("54321", master, wrong, port), EntryOutcome::credited) << "[" << master << "]";
        EXPECT_EQ(port.log.front(), "lookup 54321");
    }
}

TEST(CodeCheck, EverythingButExactlyUnusedIsAWrongEntry) {
    for (const char* state : {"USED", "unused", "Unused", "UNUSED ", "00000", ""}) {
        FakePort port;
        port.codes = {{"11111", state}};
        std::uint8_t wrong = 0;
        EXPECT_EQ(CheckCode("11111", "", wrong, port), EntryOutcome::wrongEntry) << "[" << state << "]";
        EXPECT_EQ(port.log, (Log{"lookup 11111"}));
        EXPECT_EQ(wrong, 1);
    }
}

TEST(CodeCheck, TheSecondWrongEntryStartsTheLock) {
    FakePort port;
    std::uint8_t wrong = 0;
    EXPECT_EQ(CheckCode("11111", "", wrong, port), EntryOutcome::wrongEntry);
    EXPECT_EQ(CheckCode("22222", "", wrong, port), EntryOutcome::lockStarted);
    EXPECT_EQ(port.log, (Log{"lookup 11111", "lookup 22222", "lock"}));
    EXPECT_EQ(wrong, 2);
}

TEST(CodeCheck, WrongAcceptedWrongStartsNoLock) {
    FakePort port;
    port.codes = {{"12345", "UNUSED"}};
    std::uint8_t wrong = 0;
    CheckCode("11111", "", wrong, port);
    CheckCode("12345", "", wrong, port);
    EXPECT_EQ(CheckCode("22222", "", wrong, port), EntryOutcome::wrongEntry);
    EXPECT_EQ(wrong, 1);
    EXPECT_EQ(std::count(port.log.begin(), port.log.end(), "lock"), 0);
}

TEST(CodeCheck, TheCountStopsAtItsLargestValueInsteadOfWrapping) {
    FakePort port;
    std::uint8_t wrong = 254;
    CheckCode("11111", "", wrong, port);
    EXPECT_EQ(wrong, 255);
    CheckCode("11111", "", wrong, port);
    EXPECT_EQ(wrong, 255);
    EXPECT_EQ(std::count(port.log.begin(), port.log.end(), "lock"), 0);
}

}  // namespace
}  // namespace codeeingabe
