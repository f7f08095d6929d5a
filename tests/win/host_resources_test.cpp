// The host-mode process keeps its memory, handles and windows flat over many code entries: a few
// hundred here, 10,000 in the long run.
#include <gtest/gtest.h>

#include <cstdio>

#include "fault_support.h"
#include "host_test_support.h"
#include "process_resources.h"

using namespace codeeingabe::test;

namespace {

constexpr int kListSize = 200;

std::string Code(int slot) { return std::to_string(10000 + slot * 37); }

// One guest. Most type a free code and get their credit; every tenth types the code before them
// again (a wrong entry, never two in a row), every twentieth cancels, and every fiftieth types the
// master code, whose window opens and is closed by its cross.
void Entry(HostSession& session, const DigitKeys& keys, int entry) {
    const int slot = entry % kListSize;
    if (slot == 0) {
        std::vector<std::pair<std::string, std::string>> codes;
        for (int i = 0; i < kListSize; ++i) codes.emplace_back(Code(i), "UNUSED");
        session.WriteCodeList("2", "99999", codes);
    }
    const std::size_t credits = session.CommandCount("AddCredit| 2");
    ASSERT_TRUE(session.OpenKeypad());
    if (entry % 50 == 49) {
        keys.Type("99999");
        HWND master = session.Module().WaitForVisibleWindow(L"Form1");
        PostMessageW(master, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(384, 24));
        PostMessageW(master, WM_LBUTTONUP, 0, MAKELPARAM(384, 24));
        ASSERT_TRUE(master != nullptr && WaitUntil([&] { return !IsWindow(master); }, kTimeout)) << "master window " << master;
    } else if (entry % 20 == 19) {
        keys.Type(Code(slot).substr(0, 2));
        Click(Child(session.Keypad(), L"Button", L"Abbruch"));
    } else {
        keys.Type(Code(entry % 10 == 8 && slot > 0 ? slot - 1 : slot));
        ASSERT_EQ(session.CommandCount("AddCredit| 2"), credits + (entry % 10 == 8 && slot > 0 ? 0 : 1));
    }
    ASSERT_TRUE(session.KeypadHides());
}

ProcessResources Measured(HANDLE process, const char* when) {
    const ProcessResources r = MeasureProcess(process);
    char text[120];
    std::snprintf(text, sizeof text, "%-14s working set %6.1f MB  private %6.1f MB  handles %4lu  windows %3lu", when,
                  r.workingSetBytes / 1048576.0, r.privateBytes / 1048576.0, r.handles, r.windows);
    PrintFigure(text);
    return r;
}

void EntriesStayFlat(int entries, int warmUp) {
    HostSession session;
    session.WriteCodeList("2", "99999", {});
    session.StartModule();
    const DigitKeys keys(session.Keypad());
    PrintFigure("Codelist.exe /Mod over " + std::to_string(entries) + " code entries:");
    Measured(session.Module().Handle(), "at start");
    ProcessResources warm;
    for (int entry = 0; entry < entries; ++entry) {
        SCOPED_TRACE("entry " + std::to_string(entry));
        ASSERT_NO_FATAL_FAILURE(Entry(session, keys, entry));
        if (entry + 1 == warmUp) warm = Measured(session.Module().Handle(), "after warm-up");
    }
    const ProcessResources end = Measured(session.Module().Handle(), "at the end");
    // Growth still allowed after the warm-up: Wine's heaps and handle caches settle in steps.
    EXPECT_GT(warm.handles, 0u) << "no handle count at all";
    EXPECT_LE(end.handles, warm.handles + 10);
    EXPECT_EQ(end.windows, warm.windows);
    EXPECT_LE(end.privateBytes, warm.privateBytes + (4u << 20));
    EXPECT_LE(end.workingSetBytes, warm.workingSetBytes + (4u << 20));
    session.CloseModule();
}

}  // namespace

TEST(HostResources, StayFlatOverAFewHundredEntries) { EntriesStayFlat(300, 100); }

TEST(HostResourcesLongRun, StayFlatOverTenThousandEntries) { EntriesStayFlat(10000, 500); }
