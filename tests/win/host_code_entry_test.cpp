// Code entry end to end: the keypad in Codelist.exe /Mod, the code list file, the host's credit.
#include <gtest/gtest.h>

#include "host_test_support.h"

using namespace codeeingabe::test;

namespace {

bool InfoShown(HostSession& session) { return session.Module().Window(L"Info", true) != nullptr; }

void ClickInfo(HostSession& session) {
    HWND info = session.Module().Window(L"Info", true);
    PostMessageW(info, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(320, 240));
    PostMessageW(info, WM_LBUTTONUP, 0, MAKELPARAM(320, 240));
}

TEST(CodeEntry, CreditClickShowsTheKeypadTopmostAndKeepsDigitsAlreadyTyped) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    EXPECT_NE(GetWindowLongW(session.Keypad(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(session.CodeShown(), L"");
    session.TypeDigits("12");
    session.Send("CreditClick");
    EXPECT_TRUE(session.KeypadVisible());
    EXPECT_EQ(session.CodeShown(), L"12");
    session.TypeDigits("345");
    EXPECT_TRUE(session.WaitForCommand("AddCredit| 2"));
    session.CloseModule();
}

TEST(CodeEntry, FourDigitsWaitAndTheFifthChecksAtOnce) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}, {"54321", "UNUSED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("1234");
    EXPECT_TRUE(session.KeypadVisible());
    EXPECT_EQ(session.CodeShown(), L"1234");
    EXPECT_EQ(session.Host().Commands().size(), 2u);
    EXPECT_EQ(session.CodeState("12345"), "UNUSED");

    session.TypeDigits("5");
    ASSERT_TRUE(session.WaitForCommand("AddCredit| 2"));
    EXPECT_TRUE(session.KeypadHides());
    EXPECT_EQ(session.CodeShown(), L"");
    EXPECT_EQ(session.CodeState("12345"), "USED");
    EXPECT_EQ(session.CodeState("54321"), "UNUSED");
    EXPECT_EQ(session.Host().Credits(), 2);
    session.CloseModule();
}

TEST(CodeEntry, ACodeGivesItsCreditExactlyOnce) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("12345");
    ASSERT_TRUE(session.WaitForCommand("AddCredit| 2"));
    const std::string booked = session.CodeListBytes();
    EXPECT_EQ(booked, "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=\r\n\r\n[Codes]\r\n12345=USED\r\n");

    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("12345");
    EXPECT_TRUE(session.KeypadHides());
    EXPECT_EQ(session.CommandCount("AddCredit| 2"), 1u);
    EXPECT_EQ(session.CodeListBytes(), booked);
    session.CloseModule();
}

TEST(CodeEntry, TheCreditTextFollowsCreditsPerCode) {
    const std::pair<const char*, const char*> cases[] = {
        {"0", "AddCredit| 0"}, {"-3", "AddCredit|-3"}, {"3.5", "AddCredit| 4"}, {"9e99", "AddCredit| 0"}};
    for (const auto& [credits, expected] : cases) {
        SCOPED_TRACE(credits);
        HostSession session;
        session.WriteCodeList(credits, "", {{"24680", "UNUSED"}});
        session.StartModule();
        ASSERT_TRUE(session.OpenKeypad());
        session.TypeDigits("24680");
        EXPECT_TRUE(session.WaitForCommand(expected));
        EXPECT_EQ(session.Host().Commands().back(), expected);
        session.CloseModule();
    }
}

TEST(CodeEntry, LeadingZerosArePartOfTheCode) {
    HostSession session;
    session.WriteCodeList("2", "", {{"42000", "UNUSED"}, {"00042", "UNUSED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("00042");
    ASSERT_TRUE(session.WaitForCommand("AddCredit| 2"));
    EXPECT_EQ(session.CodeState("00042"), "USED");
    EXPECT_EQ(session.CodeState("42000"), "UNUSED");
    session.CloseModule();
}

TEST(CodeEntry, CancelClearsTheEntryAndHidesTheKeypad) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("123");
    Click(Child(session.Keypad(), L"Button", L"Abbruch"));
    EXPECT_FALSE(session.KeypadVisible());
    ASSERT_TRUE(session.OpenKeypad());
    EXPECT_EQ(session.CodeShown(), L"");
    session.TypeDigits("12345");
    EXPECT_TRUE(session.WaitForCommand("AddCredit| 2"));
    session.CloseModule();
}

TEST(WrongEntryLock, TwoWrongEntriesWithACancelBetweenLockForTenSeconds) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}, {"77777", "USED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("77777");  // used: the first wrong entry
    EXPECT_FALSE(InfoShown(session));
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("1");
    Click(Child(session.Keypad(), L"Button", L"Abbruch"));  // cancel keeps the count
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("99999");  // not in the list: the second
    ASSERT_TRUE(WaitUntil([&] { return InfoShown(session); }, kTimeout));
    EXPECT_TRUE(session.KeypadHides());

    // During the lock the host's request shows the notice, also after the guest closed it.
    session.Send("CreditClick");
    EXPECT_FALSE(session.KeypadVisible());
    ClickInfo(session);
    ASSERT_TRUE(WaitUntil([&] { return !InfoShown(session); }, kTimeout));
    session.Send("CreditClick");
    EXPECT_TRUE(InfoShown(session));
    EXPECT_FALSE(session.KeypadVisible());

    // The lock ends by itself and takes the notice with it.
    ASSERT_TRUE(WaitUntil([&] { return !InfoShown(session); }, std::chrono::seconds(15)));
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("99999");  // the count started again: one wrong entry, no lock
    EXPECT_FALSE(InfoShown(session));
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("12345");
    EXPECT_TRUE(session.WaitForCommand("AddCredit| 2"));
    EXPECT_EQ(session.Host().Commands().size(), 3u);
    session.CloseModule();
}

TEST(WrongEntryLock, WrongAcceptedWrongStartsNoLock) {
    HostSession session;
    session.WriteCodeList("2", "", {{"12345", "UNUSED"}});
    session.StartModule();
    for (const char* code : {"11111", "12345", "22222"}) {
        ASSERT_TRUE(session.OpenKeypad());
        session.TypeDigits(code);
    }
    EXPECT_EQ(session.CommandCount("AddCredit| 2"), 1u);
    EXPECT_FALSE(InfoShown(session));
    EXPECT_TRUE(session.OpenKeypad());
    session.CloseModule();
}

TEST(MasterCode, OpensTheMasterWindowEvenWhereTheListHasTheSameDigits) {
    HostSession session;
    session.WriteCodeList("2", "54321", {{"54321", "UNUSED"}, {"12345", "UNUSED"}});
    ModuleProcess& module = session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("11111");  // one wrong entry, which the master code forgives
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("54321");
    EXPECT_NE(module.WaitForVisibleWindow(L"Form1"), nullptr);
    EXPECT_TRUE(session.KeypadHides());
    EXPECT_EQ(session.CodeState("54321"), "UNUSED");
    EXPECT_EQ(session.Host().Commands().size(), 2u);
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits("22222");
    EXPECT_FALSE(InfoShown(session));
    session.CloseModule();
}

TEST(MasterCode, AMasterCodeOfOtherLengthOnlyConsultsTheList) {
    for (const char* master : {"5432", "543210", ""}) {
        SCOPED_TRACE(master);
        HostSession session;
        session.WriteCodeList("2", master, {{"54321", "UNUSED"}});
        ModuleProcess& module = session.StartModule();
        ASSERT_TRUE(session.OpenKeypad());
        session.TypeDigits("54321");
        EXPECT_TRUE(session.WaitForCommand("AddCredit| 2"));
        EXPECT_EQ(module.Window(L"Form1"), nullptr);
        session.CloseModule();
    }
}

}  // namespace
