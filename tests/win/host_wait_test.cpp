// The timed wait, in this process: messages are handled while it waits, nested waits end, and it
// always returns.
#include "platform/waitable_timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/win_handles.h"

using namespace codeeingabe;
using Clock = std::chrono::steady_clock;

namespace {

// A window that counts the WM_APP messages it handles and runs an action for each.
class Probe {
public:
    Probe() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Probe::Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"Codeeingabe.WaitProbe";
        RegisterClassW(&windowClass);
        window_.reset(CreateWindowExW(0, L"Codeeingabe.WaitProbe", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), this));
    }
    HWND Handle() const { return window_.get(); }
    int handled = 0;
    std::function<void()> onMessage;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* probe = reinterpret_cast<Probe*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (probe != nullptr && message == WM_APP) {
            ++probe->handled;
            if (probe->onMessage) probe->onMessage();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    UniqueWindow window_;
};

std::wstring TimerName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).stem().wstring() + L"Timer";
}

TEST(Wait, LastsItsTimeAndHandlesPostedAndSentMessagesMeanwhile) {
    Probe probe;
    PostMessageW(probe.Handle(), WM_APP, 0, 0);
    std::thread sender([&] { SendMessageW(probe.Handle(), WM_APP, 0, 0); });
    // The other thread's message is waiting for this thread before the wait begins.
    while ((HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) == 0) std::this_thread::yield();
    const auto start = Clock::now();
    Wait(10);
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(probe.handled, 2);
    EXPECT_GE(elapsed, std::chrono::milliseconds(10));
    sender.join();
}

TEST(Wait, AWaitNestedInAHandlerEndsAndTheOuterEndsWithIt) {
    Probe probe;
    Clock::time_point innerEnd{};
    probe.onMessage = [&] {
        Wait(60);
        innerEnd = Clock::now();
    };
    PostMessageW(probe.Handle(), WM_APP, 0, 0);
    const auto start = Clock::now();
    Wait(10);
    const auto end = Clock::now();
    ASSERT_EQ(probe.handled, 1);
    EXPECT_GE(innerEnd - start, std::chrono::milliseconds(60));
    EXPECT_GE(end, innerEnd);
}

TEST(Wait, ReturnsAndHandlesMessagesAlsoWhenItsTimerCannotBeHad) {
    // Another kind of object under the timer's name: the timer cannot be created.
    UniqueHandle squatter(CreateMutexW(nullptr, FALSE, TimerName().c_str()));
    ASSERT_TRUE(squatter);
    UniqueHandle timer(CreateWaitableTimerW(nullptr, TRUE, TimerName().c_str()));
    ASSERT_FALSE(timer) << "the name is taken";

    Probe probe;
    PostMessageW(probe.Handle(), WM_APP, 0, 0);
    const auto start = Clock::now();
    Wait(30);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(30));
    EXPECT_EQ(probe.handled, 1);
}

TEST(Wait, AQuitRequestTakenInsideTheWaitIsLeftForTheMessageLoop) {
    PostQuitMessage(7);
    Wait(10);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
