// The taskbar's refresh: sent to the top-level "Shell_TrayWnd" window when there is one.
#include "driver/shell_helpers.h"
#include "tests/support/test_world.h"

namespace {

struct Received {
    int commands = 0;
    WPARAM first = 0;
    LPARAM second = -1;
};
Received g_received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_COMMAND) {
        ++g_received.commands;
        g_received.first = first;
        g_received.second = second;
        return 0;
    }
    return DefWindowProcA(window, message, first, second);
}

// A top-level window of `className` whose WM_COMMAND messages go to g_received.
HWND CreateRecordingWindow(const char* className) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass))
        return nullptr;
    return CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

void DestroyRecordingWindow(HWND window, const char* className) {
    DestroyWindow(window);
    UnregisterClassA(className, GetModuleHandleA(nullptr));
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
    HWND taskbar = CreateRecordingWindow("Shell_TrayWnd");
    ASSERT_NE(nullptr, taskbar);
    // The newest top-level window comes first, ahead of a taskbar the system may have.
    ASSERT_EQ(taskbar, FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr));
    NotifyTaskbar();
    DestroyRecordingWindow(taskbar, "Shell_TrayWnd");

    EXPECT_EQ(1, g_received.commands);
    EXPECT_EQ(41061, LOWORD(g_received.first));
    EXPECT_EQ(1, HIWORD(g_received.first));
    EXPECT_EQ(static_cast<WPARAM>(0x1A065), g_received.first);
    EXPECT_EQ(0, g_received.second);
}

TEST_F(Taskbar, OtherWindowsReceiveNothing) {
    HWND other = CreateRecordingWindow("NetQuilloTestWindow");
    ASSERT_NE(nullptr, other);
    NotifyTaskbar();
    DestroyRecordingWindow(other, "NetQuilloTestWindow");
    EXPECT_EQ(0, g_received.commands);
}
