// The keypad with real mouse input on the test display, as a guest's taps arrive.
#include <gtest/gtest.h>

#include "host_test_support.h"

using namespace codeeingabe::test;

namespace {

POINT KeyCentre(HWND keypad, char digit) {
    const wchar_t caption[2] = {static_cast<wchar_t>(digit), L'\0'};
    RECT key{};
    GetWindowRect(Child(keypad, L"Button", caption), &key);
    return POINT{(key.left + key.right) / 2, (key.top + key.bottom) / 2};
}

TEST(KeypadMouse, AGuestTypesACodeWithRealClicksIncludingQuickRepeatedTaps) {
    HostSession session;
    session.WriteCodeList("2", "", {{"00042", "UNUSED"}});
    session.StartModule();
    ASSERT_TRUE(session.OpenKeypad());
    // Three quick taps on "0": the second arrives as a double click, which must count as a tap.
    std::string taps;
    for (char digit : std::string("00042")) {
        const POINT centre = KeyCentre(session.Keypad(), digit);
        taps += "mousemove " + std::to_string(centre.x) + " " + std::to_string(centre.y) + " click 1 ";
    }
    Xdotool(taps);
    ASSERT_TRUE(session.WaitForCommand("AddCredit| 2"));
    EXPECT_EQ(session.CodeState("00042"), "USED");
    EXPECT_TRUE(session.KeypadHides());
    session.Send("AppClose");
    EXPECT_TRUE(session.Module().WaitForExit(kTimeout));
    EXPECT_EQ(session.Module().ExceptionReports(), "");
}

}  // namespace
