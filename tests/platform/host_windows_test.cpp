// What only the emulation shows: the log of what the user saw. Host-only.
#include "driver/progress_box.h"
#include "platform/host/emulation.h"
#include "tests/support/test_world.h"

namespace {
class HostWindows : public TestWorld {
  protected:
    void SetUp() override {
        TestWorld::SetUp();
        InitCommonControls();
    }
};
} // namespace

// Wine registers the common controls' classes as soon as comctl32 is loaded.
TEST_F(HostWindows, AProgressBarNeedsTheCommonControlsInitialised_HostOnly) {
    hostemu::Reset();
    EXPECT_EQ(nullptr, CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 100, 10, nullptr,
                                       nullptr, nullptr, nullptr));
    ProgressBox box;
    EXPECT_FALSE(box.Open(nullptr));
    InitCommonControls();
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr,
                               nullptr, nullptr);
    EXPECT_NE(nullptr, bar);
    DestroyWindow(bar);
    EXPECT_TRUE(box.Open(nullptr));
}

TEST_F(HostWindows, TheUserLogRecordsWhatAppearedOnScreen_HostOnly) {
    {
        ProgressBox box;
        ASSERT_TRUE(box.Open(nullptr));
        box.SetRange(4);
        box.Step();
        box.SetStatus("Modifying registry...");
        box.Step();
    }
    EXPECT_EQ("show \"Installing...\"\n"
              "progress control 900: 1 of 0..4\n"
              "text control 901: Modifying registry...\n"
              "progress control 900: 2 of 0..4\n"
              "close \"Installing...\"\n",
              hostemu::UserLog());
    hostemu::ClearUserLog();
    EXPECT_EQ("", hostemu::UserLog());
}

TEST_F(HostWindows, DialogUnitsBecomePixelsOfTheTemplateFont_HostOnly) {
    HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(130), nullptr, nullptr, 0);
    ASSERT_NE(nullptr, dialog);
    RECT client, bar;
    GetClientRect(dialog, &client);
    // 144 by 58 units at 6 by 13 pixels per 4 by 8 units.
    EXPECT_EQ(216, client.right);
    EXPECT_EQ(94, client.bottom);
    GetClientRect(GetDlgItem(dialog, 900), &bar);
    EXPECT_EQ(204, bar.right + 2);
    EXPECT_EQ(nullptr, CreateDialogParamA(nullptr, MAKEINTRESOURCEA(131), nullptr, nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
    DestroyWindow(dialog);
}
