// The page base classes on a page window made from the real templates: the control utilities
// and the bitmap panel.
#include <cstring>
#include <string>

#include "driver/image_resource.h"
#include "driver/setup_context.h"
#include "tests/support/test_canvas.h"
#include "tests/wizard/wizard_test_support.h"
#include "wizard/licence_page.h"
#ifndef _WIN32
#include <iostream>

#include "platform/host/emulation.h"
#endif

namespace {

class WizardPageTest : public TestWorld {
  protected:
    void TearDown() override {
        if (window_)
            DestroyWindow(window_);
        if (bitmap_)
            DeleteObject(bitmap_);
        TestWorld::TearDown();
    }
    std::string Text(int id) {
        char text[256] = "unread";
        GetDlgItemTextA(window_, id, text, sizeof text);
        return text;
    }
    SetupContext context_{"NetQuillo", kProductCatalogue, kCatalogueRowCount};
    HWND window_ = nullptr;
    HBITMAP bitmap_ = nullptr;
};

} // namespace

TEST_F(WizardPageTest, ControlUtilitiesReadAndWriteThePageControls) {
    WizardPage page(105, nullptr);
    window_ = CreatePageWindow(page);
    ASSERT_NE(nullptr, window_);
    EXPECT_EQ(window_, page.Window());

    page.SetItemText(702, "");
    EXPECT_EQ(0u, page.GetItemInt(702));
    page.SetItemText(702, "proxy.example");
    EXPECT_EQ(0u, page.GetItemInt(702));
    page.SetItemText(702, "8080");
    EXPECT_EQ(8080u, page.GetItemInt(702));
    page.SetItemInt(702, 4000000000u);
    EXPECT_EQ("4000000000", Text(702));
    EXPECT_EQ(4000000000u, page.GetItemInt(702));
    char small[5];
    page.GetItemText(702, small, sizeof small);
    EXPECT_STREQ("4000", small);

    EXPECT_FALSE(page.GetCheck(700));
    page.SetCheck(700, true);
    EXPECT_TRUE(page.GetCheck(700));
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(window_, 700));
    page.SetCheck(700, false);
    EXPECT_FALSE(page.GetCheck(700));

    page.ExpandItemText(701, "NetQuillo links");
    EXPECT_EQ("&Add NetQuillo links to the desktop", Text(701));
    page.ExpandItemText(701, "again");
    EXPECT_EQ("&Add NetQuillo links to the desktop", Text(701));
    page.SetItemText(702, "%s\\Programs");
    page.ExpandItemText(702, nullptr);
    EXPECT_EQ("NetQuillo\\Programs", Text(702));
}

TEST_F(WizardPageTest, LicenceAndNoticePagesShowTheirTextsReadOnly) {
    LicencePage licence(nullptr);
    window_ = CreatePageWindow(licence);
    ASSERT_NE(nullptr, window_);
    char shown[4096] = "";
    GetDlgItemTextA(window_, 400, shown, sizeof shown);
    const std::string agreement = shown;
    EXPECT_EQ(ImageText(kLicenceText), agreement);
    EXPECT_GT(agreement.size(), 2600u);
    EXPECT_LT(agreement.size(), 3000u);
    EXPECT_EQ(std::string::npos, agreement.find("%s"));
    for (size_t i = agreement.find('\n'); i != std::string::npos; i = agreement.find('\n', i + 1))
        EXPECT_EQ('\r', agreement[i - 1]) << "line end at " << i;
    EXPECT_NE(std::string::npos, agreement.find("\r\n\r\n2. GRANT OF LICENCE\r\n\r\n"));
    // The edit class takes WS_BORDER for a border of its own, so the style no longer shows it.
    const LONG_PTR style = GetWindowLongPtrA(GetDlgItem(window_, 400), GWL_STYLE);
    EXPECT_EQ(ES_MULTILINE | ES_READONLY | WS_VSCROLL,
              style & (ES_MULTILINE | ES_READONLY | WS_VSCROLL));
    DestroyWindow(window_);

    NoticePage notice(nullptr);
    window_ = CreatePageWindow(notice);
    ASSERT_NE(nullptr, window_);
    EXPECT_EQ("Note: You must remove all previous versions of the Quillos from your system before "
              "continuing with this installation.\r\n\r\n",
              Text(500));
}

#ifdef _WIN32
// The panel drawn for real into a 32-bit bitmap and compared pixel by pixel with what it should
// show. The emulation records the drawing calls instead; its test checks them.
namespace {

const COLORREF kUntouched = RGB(0xFF, 0x00, 0xFF);

class Canvas {
  public:
    Canvas(int width, int height) : width_(width), height_(height) {
        void* bits = nullptr;
        bitmap_ = CreateTestCanvas(width, height, &bits);
        pixels_ = static_cast<DWORD*>(bits);
        for (int i = 0; i < width * height; ++i)
            pixels_[i] = 0xFF00FF;
        dc_ = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    HDC Dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        DWORD pixel = pixels_[y * width_ + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

  private:
    int width_;
    int height_;
    HBITMAP bitmap_;
    DWORD* pixels_;
    HDC dc_;
    HGDIOBJ previous_;
};

// The colour of the bitmap's pixel (x, y) counted from its top left.
COLORREF BitmapColour(HBITMAP bitmap, int x, int y) {
    DIBSECTION section;
    GetObjectA(bitmap, sizeof section, &section);
    RGBQUAD colours[256];
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    GetDIBColorTable(dc, 0, 256, colours);
    SelectObject(dc, previous);
    DeleteDC(dc);
    const BYTE* rows = static_cast<const BYTE*>(section.dsBm.bmBits);
    BYTE index = rows[(section.dsBm.bmHeight - 1 - y) * section.dsBm.bmWidthBytes + x];
    return RGB(colours[index].rgbRed, colours[index].rgbGreen, colours[index].rgbBlue);
}

// Every pixel of the canvas against the panel `panel` with `bitmap` (or none) drawn in it. The
// edge's four corners are left out: which line owns them is the system's business.
void ExpectPanel(const Canvas& canvas, const RECT& panel, HBITMAP bitmap) {
    RECT image = {};
    if (bitmap) {
        BITMAP size;
        GetObjectA(bitmap, sizeof size, &size);
        image.left = (panel.right - size.bmWidth) / 2;
        image.top = (panel.bottom - size.bmHeight) / 2;
        image.right = image.left + size.bmWidth;
        image.bottom = image.top + size.bmHeight;
    }
    int wrong = 0;
    for (int y = 0; y < canvas.Height() && wrong < 10; ++y) {
        for (int x = 0; x < canvas.Width() && wrong < 10; ++x) {
            const bool inPanel = x < panel.right && y < panel.bottom;
            const bool left = x == 0, top = y == 0;
            const bool right = x == panel.right - 1, bottom = y == panel.bottom - 1;
            if (inPanel && (left || right) && (top || bottom))
                continue;
            COLORREF expected = kUntouched;
            if (!inPanel)
                expected = kUntouched;
            else if (bitmap && x >= image.left && x < image.right && y >= image.top &&
                     y < image.bottom)
                expected = BitmapColour(bitmap, x - image.left, y - image.top);
            else if (left || top)
                expected = GetSysColor(COLOR_BTNSHADOW);
            else if (right || bottom)
                expected = GetSysColor(COLOR_BTNHIGHLIGHT);
            else if (bitmap)
                expected = RGB(0, 0, 0);
            if (canvas.At(x, y) != expected) {
                ++wrong;
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                              << canvas.At(x, y) << ", expected " << expected;
            }
        }
    }
}

} // namespace

TEST_F(WizardPageTest, PanelShowsTheEdgeTheBlackFillAndTheBitmapCentredOrTheEdgeAlone) {
    bitmap_ = LoadStockWizardBitmap();
    ASSERT_NE(nullptr, bitmap_);
    BITMAP size;
    GetObjectA(bitmap_, sizeof size, &size);
    EXPECT_EQ(116, size.bmWidth);
    EXPECT_EQ(226, size.bmHeight);
    EXPECT_EQ(8, size.bmBitsPixel);

    WizardPage page(101, bitmap_);
    window_ = CreatePageWindow(page);
    ASSERT_NE(nullptr, window_);
    RECT panel = {0, 0, 80, 140};
    MapDialogRect(window_, &panel);
    {
        Canvas canvas(panel.right + 6, panel.bottom + 6);
        EXPECT_EQ(0, page.OnPaint(canvas.Dc()));
        ExpectPanel(canvas, panel, bitmap_);
    }
    WizardPage plain(101, nullptr);
    plain.AttachWindow(window_);
    Canvas canvas(panel.right + 6, panel.bottom + 6);
    EXPECT_EQ(0, plain.OnPaint(canvas.Dc()));
    ExpectPanel(canvas, panel, nullptr);
}
#endif

#ifndef _WIN32
// The emulation logs the drawing calls of window device contexts.
TEST_F(WizardPageTest, PanelDrawsTheEdgeTheBlackFillAndTheBitmapCentredOrTheEdgeAlone_HostOnly) {
    bitmap_ = LoadStockWizardBitmap();
    ASSERT_NE(nullptr, bitmap_);
    const unsigned objectsBefore = hostemu::GdiObjectsAlive();
    {
        WizardPage page(101, bitmap_);
        window_ = CreatePageWindow(page);
        ASSERT_NE(nullptr, window_);
        RECT panel = {0, 0, 80, 140};
        MapDialogRect(window_, &panel);
        const std::string r = std::to_string(panel.right), b = std::to_string(panel.bottom);
        const std::string x = std::to_string((panel.right - 116) / 2);
        const std::string y = std::to_string((panel.bottom - 226) / 2);

        hostemu::ClearDrawingLog();
        HDC dc = GetDC(window_);
        EXPECT_EQ(0, page.OnPaint(dc));
        WizardPage plain(101, nullptr);
        plain.AttachWindow(window_);
        EXPECT_EQ(0, plain.OnPaint(dc));
        ReleaseDC(window_, dc);
        EXPECT_EQ("DrawEdge 0,0," + r + "," + b + " 2 15\n" +
                      "SelectPalette palette 256 0\n"
                      "RealizePalette\n"
                      "SelectClipRgn 0,0," +
                      r + "," + b + "\n" + "FillRect 1,1," + std::to_string(panel.right - 1) + "," +
                      std::to_string(panel.bottom - 1) + " black\n" + "SetDIBitsToDevice " + x +
                      "," + y +
                      " 116x226 from 0,0 lines 0+226 116x226x8 rgb\n"
                      "SelectClipRgn null\n"
                      "SelectPalette default palette 0\n"
                      "UnrealizeObject default palette\n"
                      "DrawEdge 0,0," +
                      r + "," + b + " 2 15\n",
                  hostemu::DrawingLog());
    }
    // The page's palette and the clip region are gone; the bitmap is still the caller's.
    EXPECT_EQ(objectsBefore, hostemu::GdiObjectsAlive());
}

TEST_F(WizardPageTest, OnADenserDisplayThePictureGrowsWithThePanel_HostOnly) {
    hostemu::SetDisplayDpi(144);
    bitmap_ = LoadStockWizardBitmap();
    ASSERT_NE(nullptr, bitmap_);
    WizardPage page(101, bitmap_);
    window_ = CreatePageWindow(page);
    ASSERT_NE(nullptr, window_);
    // The dialog font's base units are 9 by 20 there: a panel of 180 by 350 pixels, and the
    // 116 by 226 picture drawn half as large again, centred on it.
    RECT panel = {0, 0, 80, 140};
    MapDialogRect(window_, &panel);
    EXPECT_EQ(180, panel.right);
    EXPECT_EQ(350, panel.bottom);
    hostemu::ClearDrawingLog();
    HDC dc = GetDC(window_);
    EXPECT_EQ(0, page.OnPaint(dc));
    ReleaseDC(window_, dc);
    const std::string log = hostemu::DrawingLog();
    EXPECT_NE(std::string::npos,
              log.find("FillRect 1,1,179,349 black\nSetStretchBltMode 4\nStretchDIBits 3,5 "
                       "174x339 from 0,0 116x226 116x226x8 rgb\nSelectClipRgn null\n"))
        << log;
    EXPECT_EQ(std::string::npos, log.find("SetDIBitsToDevice"));
}
#endif
