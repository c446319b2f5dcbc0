// The window manager's rules the program relies on, checked on both platforms.
#include <string>
#include <vector>

#include "tests/support/test_world.h"

namespace {

std::vector<UINT>& Messages() {
    static std::vector<UINT> messages;
    return messages;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE || message == WM_DESTROY || message == WM_USER + 7)
        Messages().push_back(message);
    if (message == WM_USER + 7)
        return static_cast<LRESULT>(wParam + lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindowApi : public TestWorld {
  protected:
    void SetUp() override {
        TestWorld::SetUp();
        InitCommonControls();
        Messages().clear();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "NQWindowApiTest";
        ASSERT_NE(0, RegisterClassA(&windowClass));
    }
    void TearDown() override {
        UnregisterClassA("NQWindowApiTest", GetModuleHandleA(nullptr));
        TestWorld::TearDown();
    }
    HWND Create(const char* text, DWORD style = WS_POPUP) {
        return CreateWindowExA(0, "NQWindowApiTest", text, style, 10, 20, 300, 200, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    }
};

} // namespace

TEST_F(WindowApi, ClassesAreRegisteredOnceAndNeededForWindows) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "nqwindowapitest";
    EXPECT_EQ(0, RegisterClassA(&windowClass));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ(nullptr, CreateWindowExA(0, "NQNoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                       nullptr, GetModuleHandleA(nullptr), nullptr));
    // Windows says ERROR_CANNOT_FIND_WND_CLASS; Wine says ERROR_CLASS_DOES_NOT_EXIST (1411).
    DWORD error = GetLastError();
    EXPECT_TRUE(error == ERROR_CANNOT_FIND_WND_CLASS || error == 1411) << error;
}

TEST_F(WindowApi, MessagesReachTheProcedureAtOnce) {
    HWND window = Create("Backdrop");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(std::vector<UINT>{WM_CREATE}, Messages());
    EXPECT_EQ(5, SendMessageA(window, WM_USER + 7, 2, 3));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(window, FindWindowExA(nullptr, nullptr, "nqwindowapitest", nullptr));
    EXPECT_EQ(window, FindWindowExA(nullptr, nullptr, "NQWindowApiTest", "Backdrop"));
    EXPECT_EQ(nullptr, FindWindowExA(nullptr, nullptr, "NQWindowApiTest", "Other"));

    EXPECT_TRUE(SetWindowTextA(window, "Renamed"));
    char text[4];
    EXPECT_EQ(3, GetWindowTextA(window, text, sizeof text));
    EXPECT_STREQ("Ren", text);
    EXPECT_EQ(7, GetWindowTextLengthA(window));

    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ((std::vector<UINT>{WM_CREATE, WM_USER + 7, WM_DESTROY}), Messages());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(DestroyWindow(window));
}

TEST_F(WindowApi, ShowingMovingAndMeasuring) {
    HWND window = Create("Popup", WS_POPUP | WS_BORDER);
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(ShowWindow(window, SW_SHOWNORMAL));
    EXPECT_TRUE(ShowWindow(window, SW_SHOWNORMAL));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(UpdateWindow(window));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    EXPECT_EQ(310, rect.right);
    EXPECT_TRUE(SetWindowPos(window, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(40, rect.left);
    EXPECT_EQ(50, rect.top);
    EXPECT_EQ(340, rect.right);
    EXPECT_EQ(250, rect.bottom);
    // A border takes one pixel on each side from the client area.
    ASSERT_TRUE(GetClientRect(window, &rect));
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(298, rect.right);
    EXPECT_EQ(198, rect.bottom);
    DestroyWindow(window);
}

TEST_F(WindowApi, ProgressBarKeepsRangePositionAndStep) {
    HWND parent = Create("Parent");
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 0, 0, 100, 10, parent,
                               reinterpret_cast<HMENU>(900), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(900, GetDlgCtrlID(bar));
    EXPECT_EQ(bar, GetDlgItem(parent, 900));
    EXPECT_EQ(nullptr, GetDlgItem(parent, 901));
    EXPECT_EQ(MAKELONG(0, 100), SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 9)));
    EXPECT_EQ(10, SendMessageA(bar, PBM_SETSTEP, 2, 0));
    EXPECT_EQ(0, SendMessageA(bar, PBM_STEPIT, 0, 0));
    EXPECT_EQ(2, SendMessageA(bar, PBM_STEPIT, 0, 0));
    EXPECT_EQ(4, SendMessageA(bar, PBM_GETPOS, 0, 0));
    PBRANGE range = {-1, -1};
    EXPECT_EQ(9, SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range)));
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(9, range.iHigh);
    EXPECT_EQ(4, SendMessageA(bar, PBM_SETPOS, 50, 0));
    EXPECT_EQ(9, SendMessageA(bar, PBM_GETPOS, 0, 0));
    // Destroying the parent takes its children along.
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(bar));
}
