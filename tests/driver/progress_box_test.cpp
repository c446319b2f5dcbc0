// The progress box as the user sees it, read back through the window calls so that the same
// test runs on Windows and on the emulation.
#include <string>

#include "driver/progress_box.h"
#include "tests/support/test_world.h"

namespace {

class ProgressBoxTest : public TestWorld {
  protected:
    void SetUp() override {
        TestWorld::SetUp();
        InitCommonControls();
    }
    static std::string Status(const ProgressBox& box) {
        char text[1024] = "unread";
        GetDlgItemTextA(box.Window(), 901, text, sizeof text);
        return text;
    }
    static LRESULT Bar(const ProgressBox& box, UINT message, WPARAM wParam = 0) {
        return SendDlgItemMessageA(box.Window(), 900, message, wParam, 0);
    }
};

} // namespace

TEST_F(ProgressBoxTest, OpensCentredByItsClientAreaWithAnEmptyStatus) {
    ProgressBox box;
    ASSERT_TRUE(box.Open(nullptr));
    HWND window = box.Window();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    char caption[64];
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ("Installing...", caption);
    EXPECT_EQ("", Status(box));
    ASSERT_NE(nullptr, GetDlgItem(window, 900));

    RECT desktop, client, frame;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    EXPECT_EQ((desktop.right - desktop.left - client.right) / 2, frame.left);
    EXPECT_EQ((desktop.bottom - desktop.top - client.bottom) / 2, frame.top);
    // The template's 144 by 58 units hold both controls, the status line above the bar.
    RECT status, bar;
    GetWindowRect(GetDlgItem(window, 901), &status);
    GetWindowRect(GetDlgItem(window, 900), &bar);
    EXPECT_LT(status.bottom, bar.top);
    EXPECT_GT(bar.right - bar.left, status.right - status.left);
    EXPECT_LE(bar.right, frame.right);
    EXPECT_LE(bar.bottom, frame.bottom);
}

TEST_F(ProgressBoxTest, RangeStepsAndStatusAreWhatTheBarAndLineShow) {
    ProgressBox box;
    ASSERT_TRUE(box.Open(nullptr));
    box.SetRange(19);
    EXPECT_EQ(0, Bar(box, PBM_GETRANGE, TRUE));
    EXPECT_EQ(19, Bar(box, PBM_GETRANGE, FALSE));
    EXPECT_EQ(0, Bar(box, PBM_GETPOS));
    for (int i = 0; i < 15; ++i)
        box.Step();
    EXPECT_EQ(15, Bar(box, PBM_GETPOS));
    box.SetStatus("Decompressing WebQuillo.exe...");
    EXPECT_EQ("Decompressing WebQuillo.exe...", Status(box));
    box.SetStatus("Setup complete...");
    EXPECT_EQ("Setup complete...", Status(box));
}

TEST_F(ProgressBoxTest, OwnedByTheBackdropAndClosedWithIt) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "NQProgressOwnerTest";
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowExA(0, "NQProgressOwnerTest", "Owner", WS_POPUPWINDOW, 0, 0, 300, 200,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, owner);
    {
        ProgressBox box;
        ASSERT_TRUE(box.Open(owner));
        HWND window = box.Window();
        EXPECT_EQ(owner, GetParent(window));
        box.Close();
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(nullptr, box.Window());
        box.Close();
    }
    DestroyWindow(owner);
    UnregisterClassA("NQProgressOwnerTest", GetModuleHandleA(nullptr));
}
