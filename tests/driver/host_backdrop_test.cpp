// The backdrop window as it paints, read from the emulation's drawing log: the picture at its
// natural size in the corner, repaints after a palette change, and nothing left behind.
#include <string>

#include "driver/backdrop_window.h"
#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "platform/host/emulation.h"
#include "tests/support/test_world.h"

namespace {

size_t Count(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

class HostBackdrop : public TestWorld {
  protected:
    HWND MakeBackdrop() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = BackdropWindowProc;
        windowClass.lpszClassName = "QUILLOSETUPWNDCLASS";
        RegisterClassA(&windowClass);
        return CreateWindowExA(0, "QUILLOSETUPWNDCLASS", "NetQuillo Installation", WS_POPUPWINDOW,
                               CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, nullptr,
                               nullptr);
    }
};

} // namespace

TEST_F(HostBackdrop, PaintsTheGradientThenThePictureInTheCornerGrownOnlyOnADenserDisplay_HostOnly) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 10, 20, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    context.backdropBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, context.backdropBitmap);
    const unsigned objectsBefore = hostemu::GdiObjectsAlive();

    HWND window = MakeBackdrop();
    ASSERT_NE(nullptr, window);
    hostemu::ClearDrawingLog();
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);
    const std::string log = hostemu::DrawingLog();
    // A bordered popup over the 1024 x 768 screen: 766 client rows, bands of 4.
    EXPECT_EQ(255u, Count(log, "FillRect "));
    EXPECT_EQ(1u, Count(log, "FillRect 0,0,1022,4 solid 0,0,255\n")) << log.substr(0, 200);
    EXPECT_EQ(1u, Count(log, "FillRect 0,1016,1022,1020 solid 0,0,1\n"));
    // After every band, so the gradient never covers the picture.
    EXPECT_EQ(log.size() - log.find("BitBlt 0,0 10x20 from bitmap 10x20x24 at 0,0\n"),
              std::string("BitBlt 0,0 10x20 from bitmap 10x20x24 at 0,0\n").size());
    // Every band's brush and the memory context are gone again.
    EXPECT_EQ(objectsBefore, hostemu::GdiObjectsAlive());

    hostemu::ClearDrawingLog();
    SendMessageA(window, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(window), 0);
    EXPECT_EQ("InvalidateRect \"NetQuillo Installation\" all erase 0\n", hostemu::DrawingLog());

    // At 144 dots an inch the picture grows by half, averaged, still after the gradient.
    hostemu::SetDisplayDpi(144);
    hostemu::ClearDrawingLog();
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    const std::string dense = hostemu::DrawingLog();
    const std::string enlarged =
        "SetStretchBltMode 4\nStretchBlt 0,0 15x30 from bitmap 10x20x24 at "
        "0,0 10x20\n";
    EXPECT_EQ(dense.size() - dense.find(enlarged), enlarged.size()) << dense.substr(0, 200);
    EXPECT_EQ(objectsBefore, hostemu::GdiObjectsAlive());
    DestroyWindow(window);
    DeleteObject(context.backdropBitmap);
    context.backdropBitmap = nullptr;
}
