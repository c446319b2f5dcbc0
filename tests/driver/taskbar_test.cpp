// The taskbar's refresh: sent to the top-level "Shell_TrayWnd" window when there is one.
#include "driver/shell_helpers.h"
#include "tests/support/test_world.h"

// The host emulation has no windows yet; until it has, the taskbar is tested under Wine only.
#ifdef _WIN32

namespace {

struct Received {
    int commands = 0;
    WPARAM first = 0;
    LPARAM second = -1;
};
Received g_received;

LRESULT CALLBACK TaskbarProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_COMMAND) {
        ++g_received.commands;
        g_received.first = first;
        g_received.second = second;
        return 0;
    }
    return DefWindowProcA(window, message, first, second);
}

class Taskbar : public TestWorld {
  protected:
    void SetUp() override {
        TestWorld::SetUp();
        g_received = Received();
    }
};

} // namespace

TEST_F(Taskbar, RefreshCommandReachesTheTaskbarWindow) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TaskbarProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "Shell_TrayWnd";
    ASSERT_NE(0, RegisterClassA(&windowClass));
    HWND taskbar = CreateWindowExA(0, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   instance, nullptr);
    ASSERT_NE(nullptr, taskbar);
    // The newest top-level window comes first, ahead of a taskbar the system may have.
    ASSERT_EQ(taskbar, FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr));

    NotifyTaskbar();
    DestroyWindow(taskbar);
    UnregisterClassA("Shell_TrayWnd", instance);

    EXPECT_EQ(1, g_received.commands);
    EXPECT_EQ(static_cast<WPARAM>(0x1A065), g_received.first);
    EXPECT_EQ(41061, LOWORD(g_received.first));
    EXPECT_EQ(1, HIWORD(g_received.first));
    EXPECT_EQ(0, g_received.second);
}

// Wine's desktop under a display server keeps a "Shell_TrayWnd" of its own, so the case without
// a taskbar is left to the emulation.

#endif
