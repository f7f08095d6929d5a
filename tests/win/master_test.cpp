// The master window in Codelist.exe /Mod: opened by the master code on the keypad.
#include <gtest/gtest.h>

#include <cstdio>

#include "host_test_support.h"

using namespace codeeingabe::test;

namespace {

constexpr const char* kMasterCode = "99999";

std::string FiveDigits(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%05d", number);
    return text;
}

// 250 codes, of which the given ones are used.
std::vector<std::pair<std::string, std::string>> CodeList(const std::vector<int>& used) {
    std::vector<std::pair<std::string, std::string>> codes;
    for (int i = 0; i < 250; ++i) {
        const bool isUsed = std::find(used.begin(), used.end(), i) != used.end();
        codes.emplace_back(FiveDigits(i * 397 % 100000), isUsed ? "USED" : "UNUSED");
    }
    return codes;
}

HWND OpenMasterWindow(HostSession& session) {
    EXPECT_TRUE(session.OpenKeypad());
    session.TypeDigits(kMasterCode);
    return session.Module().WaitForVisibleWindow(L"Form1");
}

std::wstring CodesLeft(HWND master) { return TextOf(Child(master, L"Static", nullptr)); }

void ClickClientPoint(HWND window, int x, int y, int releaseX, int releaseY) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(releaseX, releaseY));
}

bool SamePlace(HWND window, const RECT& place) {
    RECT now{};
    GetWindowRect(window, &now);
    return EqualRect(&now, &place) != FALSE;
}

TEST(MasterWindow, CountsTheFreeCodesOnceAtLoadAndSetsThemAllFree) {
    HostSession session;
    session.WriteCodeList("2", kMasterCode, CodeList({5, 100, 249}));
    session.StartModule();
    HWND master = OpenMasterWindow(session);
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(CodesLeft(master), L"247");

    // A code redeemed while the window stays open is not counted again, not even when the master
    // code is typed once more.
    ASSERT_TRUE(session.OpenKeypad());
    session.TypeDigits(FiveDigits(7 * 397 % 100000));
    ASSERT_TRUE(session.WaitForCommand("AddCredit| 2"));
    EXPECT_EQ(OpenMasterWindow(session), master);
    EXPECT_EQ(CodesLeft(master), L"247");

    Click(Child(master, L"Button", L"Alle Codes freigeben"));
    EXPECT_EQ(CodesLeft(master), L"250");
    std::string expected = "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=99999\r\n\r\n[Codes]\r\n";
    for (const auto& [code, state] : CodeList({})) expected += code + "=" + state + "\r\n";
    EXPECT_EQ(session.CodeListBytes(), expected);
    EXPECT_TRUE(IsWindowVisible(master)) << "the window stays open";
    session.CloseModule();
}

TEST(MasterWindow, AnEmptyListCountsZeroAndAMissingListIsLeftAlone) {
    HostSession session;
    const std::string emptyList = "[Einstellungen]\r\nCreditsPerCode=2\r\nMasterCode=99999\r\n\r\n[Codes]\r\n";
    session.WriteCodeListBytes(emptyList);
    session.StartModule();
    HWND master = OpenMasterWindow(session);
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(CodesLeft(master), L"0");
    Click(Child(master, L"Button", L"Alle Codes freigeben"));
    EXPECT_EQ(CodesLeft(master), L"0");
    EXPECT_EQ(session.CodeListBytes(), emptyList);

    // Without the file (the master code was read at start), nothing is counted or created.
    ClickClientPoint(master, 384, 24, 384, 24);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(master); }, kTimeout));
    std::filesystem::remove(session.Folder() / "Codelist.ini");
    master = OpenMasterWindow(session);
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(CodesLeft(master), L"0");
    Click(Child(master, L"Button", L"Alle Codes freigeben"));
    EXPECT_EQ(CodesLeft(master), L"0");
    EXPECT_FALSE(std::filesystem::exists(session.Folder() / "Codelist.ini"));
    session.CloseModule();
}

TEST(MasterWindow, TheCloseGlyphClosesOnlyTheMasterWindow) {
    HostSession session;
    session.WriteCodeList("2", kMasterCode, CodeList({}));
    session.StartModule();
    HWND master = OpenMasterWindow(session);
    ASSERT_NE(master, nullptr);
    // Pressed on the glyph but released elsewhere: no click.
    ClickClientPoint(master, 384, 24, 100, 200);
    Click(Child(master, L"Button", L"Alle Codes freigeben"));  // a round trip after the release
    EXPECT_TRUE(IsWindowVisible(master));
    // Anywhere in the glyph's box counts, not only on the cross.
    ClickClientPoint(master, 362, 46, 362, 46);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(master); }, kTimeout));
    EXPECT_TRUE(session.Module().Running());
    EXPECT_TRUE(session.OpenKeypad());
    session.CloseModule();
}

TEST(MasterWindow, IsDraggedByItsTitleKeepingTheOffsetUntilTheButtonIsReleased) {
    HostSession session;
    session.WriteCodeList("2", kMasterCode, CodeList({}));
    session.StartModule();
    HWND master = OpenMasterWindow(session);
    ASSERT_NE(master, nullptr);
    RECT start{};
    GetWindowRect(master, &start);
    const int grabX = start.left + 40;
    const int grabY = start.top + 20;
    RECT moved = start;
    OffsetRect(&moved, -120, 70);
    Xdotool("mousemove " + std::to_string(grabX) + " " + std::to_string(grabY) + " mousedown 1 mousemove " +
            std::to_string(grabX - 120) + " " + std::to_string(grabY + 70));
    EXPECT_TRUE(WaitUntil([&] { return SamePlace(master, moved); }, kTimeout));

    // Released: the window stays where it is while the mouse goes on.
    Xdotool("mouseup 1 mousemove 1000 900");
    ASSERT_TRUE(WaitUntil([] {
        POINT cursor{};
        GetCursorPos(&cursor);
        return cursor.x == 1000 && cursor.y == 900;
    }, kTimeout));
    EXPECT_FALSE(WaitUntil([&] { return !SamePlace(master, moved); }, std::chrono::milliseconds(1000)));

    // Another button on the title moves the window once, to where it already is.
    Xdotool("mousemove " + std::to_string(moved.left + 40) + " " + std::to_string(moved.top + 20) + " click 3");
    EXPECT_FALSE(WaitUntil([&] { return !SamePlace(master, moved); }, std::chrono::milliseconds(1000)));
    session.CloseModule();
}

TEST(MasterWindow, AppCloseDuringADragEndsTheModuleCleanly) {
    HostSession session;
    session.WriteCodeList("2", kMasterCode, CodeList({}));
    session.StartModule();
    HWND master = OpenMasterWindow(session);
    ASSERT_NE(master, nullptr);
    RECT start{};
    GetWindowRect(master, &start);
    RECT moved = start;
    OffsetRect(&moved, 50, 30);
    Xdotool("mousemove " + std::to_string(start.left + 40) + " " + std::to_string(start.top + 20) + " mousedown 1 mousemove " +
            std::to_string(start.left + 90) + " " + std::to_string(start.top + 50));
    ASSERT_TRUE(WaitUntil([&] { return SamePlace(master, moved); }, kTimeout));
    session.CloseModule();  // the drag loop is running: "AppClose" is handled inside it
    Xdotool("mouseup 1");
}

}  // namespace
