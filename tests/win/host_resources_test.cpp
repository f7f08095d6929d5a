// The host-mode process keeps its memory, its handles and its GDI and USER objects flat over
// many code entries: a few hundred here, 10,000 in the long run, which prints its figures.
#include <gtest/gtest.h>

#include <cstdio>

#include "host_test_support.h"
#include "process_resources.h"

using namespace codeeingabe::test;

namespace {

constexpr int kListSize = 200;
constexpr const char* kMasterCode = "99999";
// Growth still allowed after the warm-up: Wine's heaps and handle caches settle in steps.
constexpr unsigned long kHandleSlack = 10;
constexpr unsigned long kGuiObjectSlack = 5;
constexpr std::size_t kMemorySlack = 4u << 20;

std::string Code(int slot) { return std::to_string(10000 + slot * 37); }

void WriteFreshList(HostSession& session) {
    std::vector<std::pair<std::string, std::string>> codes;
    for (int slot = 0; slot < kListSize; ++slot) codes.emplace_back(Code(slot), "UNUSED");
    session.WriteCodeList("2", kMasterCode, codes);
}

// The keypad and its keys, looked up once: a search among the module's windows costs more than
// a whole entry.
struct Keypad {
    explicit Keypad(HostSession& session) : window(session.Keypad()), cancel(Child(window, L"Button", L"Abbruch")) {
        for (int digit = 0; digit < 10; ++digit) {
            const wchar_t caption[2] = {static_cast<wchar_t>(L'0' + digit), L'\0'};
            keys[digit] = Child(window, L"Button", caption);
        }
    }
    bool Open(HostSession& session) const {
        session.Send("CreditClick");
        return WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, kTimeout);
    }
    void Type(const std::string& digits) const {
        for (char digit : digits) Click(keys[digit - '0']);
    }
    bool Hides() const {
        return WaitUntil([&] { return IsWindowVisible(window) == FALSE; }, kTimeout);
    }
    HWND window;
    HWND cancel;
    HWND keys[10] = {};
};

// One guest at the keypad. Most type a free code and get their credit; every tenth types the code
// before them again (a wrong entry, never two in a row, so no lock), every twentieth cancels, and
// every fiftieth entry is the master code, whose window opens and is closed again.
void Entry(HostSession& session, const Keypad& keypad, int entry, std::size_t& credits) {
    const int slot = entry % kListSize;
    if (slot == 0) WriteFreshList(session);
    ASSERT_TRUE(keypad.Open(session)) << "entry " << entry;
    if (entry % 50 == 49) {
        keypad.Type(kMasterCode);
        HWND master = session.Module().WaitForVisibleWindow(L"Form1");
        ASSERT_NE(master, nullptr) << "entry " << entry;
        PostMessageW(master, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(384, 24));  // the close glyph
        PostMessageW(master, WM_LBUTTONUP, 0, MAKELPARAM(384, 24));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(master); }, kTimeout)) << "entry " << entry;
    } else if (entry % 20 == 19) {
        keypad.Type(Code(slot).substr(0, 2));
        Click(keypad.cancel);
    } else if (entry % 10 == 8 && slot > 0) {
        keypad.Type(Code(slot - 1));
    } else {
        keypad.Type(Code(slot));
        ASSERT_TRUE(WaitUntil([&] { return session.CommandCount("AddCredit| 2") > credits; }, kTimeout))
            << "entry " << entry;
        ++credits;
    }
    ASSERT_TRUE(keypad.Hides()) << "entry " << entry;
}

void Print(const char* when, const ProcessResources& r) {
    std::printf("%-16s working set %7.1f MB  private %7.1f MB  handles %5lu  GDI %4lu  USER %4lu  windows %4lu\n", when,
                r.workingSetBytes / 1048576.0, r.privateBytes / 1048576.0, r.handles, r.gdiObjects, r.userObjects,
                r.windows);
}

void EntriesStayFlat(int entries, int warmUp) {
    HostSession session;
    WriteFreshList(session);
    session.StartModule();
    HANDLE module = session.Module().Handle();
    const ProcessResources start = MeasureProcess(module);
    const Keypad keypad(session);
    ASSERT_NE(keypad.keys[9], nullptr);
    std::size_t credits = 0;
    ProcessResources warm;
    for (int entry = 0; entry < entries; ++entry) {
        Entry(session, keypad, entry, credits);
        if (::testing::Test::HasFatalFailure()) return;
        if (entry + 1 == warmUp) warm = MeasureProcess(module);
    }
    const ProcessResources end = MeasureProcess(module);
    std::printf("Codelist.exe /Mod over %d code entries (%zu credits):\n", entries, credits);
    Print("at start", start);
    Print("after warm-up", warm);
    Print("at the end", end);
    if (!GuiObjectsCounted(end)) std::printf("(GetGuiResources is not implemented here: it gives 0)\n");

    EXPECT_GT(warm.handles, 0u) << "no handle count at all";
    EXPECT_LE(end.handles, warm.handles + kHandleSlack);
    EXPECT_EQ(end.windows, warm.windows);
    EXPECT_LE(end.privateBytes, warm.privateBytes + kMemorySlack);
    EXPECT_LE(end.workingSetBytes, warm.workingSetBytes + kMemorySlack);
    if (GuiObjectsCounted(end)) {
        EXPECT_LE(end.gdiObjects, warm.gdiObjects + kGuiObjectSlack);
        EXPECT_LE(end.userObjects, warm.userObjects + kGuiObjectSlack);
    }
    session.Send("AppClose");
    EXPECT_TRUE(session.Module().WaitForExit(kTimeout));
    EXPECT_EQ(session.Module().ExceptionReports(), "");
}

TEST(HostResources, StayFlatOverAFewHundredEntries) { EntriesStayFlat(300, 100); }

TEST(HostResourcesLongRun, StayFlatOverTenThousandEntries) { EntriesStayFlat(10000, 500); }

}  // namespace
