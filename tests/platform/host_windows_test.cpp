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
    EXPECT_EQ(nullptr, CreateDialogParamA(nullptr, MAKEINTRESOURCEA(999), nullptr, nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
    DestroyWindow(dialog);
}

TEST(HostGdi, DrawingOnWindowsIsLoggedAndObjectsAreCounted_HostOnly) {
    hostemu::Reset();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    EXPECT_EQ(2u, hostemu::GdiObjectsAlive());
    EXPECT_FALSE(DeleteObject(bitmap)); // still selected
    SelectObject(memory, old);
    DeleteDC(memory);

    HWND window = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT panel = {0, 0, 120, 227};
    DrawEdge(dc, &panel, BDR_SUNKENOUTER, BF_RECT);
    RECT inside = {1, 1, 119, 226};
    FillRect(dc, &inside, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HRGN clip = CreateRectRgn(0, 0, 120, 227);
    SelectClipRgn(dc, clip);
    DeleteObject(clip);
    SelectClipRgn(dc, nullptr);
    EndPaint(window, &paint);
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_EQ("DrawEdge 0,0,120,227 2 15\n"
              "FillRect 1,1,119,226 black\n"
              "SelectClipRgn 0,0,120,227\n"
              "SelectClipRgn null\n"
              "InvalidateRect \"\" all erase 0\n",
              hostemu::DrawingLog());
    DestroyWindow(window);
    EXPECT_EQ(1u, hostemu::GdiObjectsAlive());
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(0u, hostemu::GdiObjectsAlive());
}
