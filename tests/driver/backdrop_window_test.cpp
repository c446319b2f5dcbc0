// The backdrop's gradient, painted into a picture whose pixels the test reads back, so that the
// same test runs on Windows and on the emulation.
#include <vector>

#include "driver/backdrop_window.h"
#include "tests/support/test_canvas.h"
#include "tests/support/test_world.h"

namespace {

class BackdropTest : public TestWorld {
  protected:
    // The blue of the first pixel of every row after painting a client area of that height.
    std::vector<int> BlueOfEachRow(LONG width, LONG height) {
        void* bits = nullptr;
        HBITMAP picture = CreateTestCanvas(width, height, &bits);
        EXPECT_NE(nullptr, picture);
        std::vector<int> blues;
        if (!picture)
            return blues;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, picture);
        PaintGradient(dc, RECT{0, 0, width, height});
        GdiFlush();
        const DWORD* pixels = static_cast<const DWORD*>(bits);
        for (LONG row = 0; row < height; ++row)
            blues.push_back(static_cast<int>(pixels[row * width] & 0xFF));
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(picture);
        return blues;
    }
};

} // namespace

TEST_F(BackdropTest, GradientBandsGrowWithTheHeightAndAlwaysReachTheBottom) {
    // 600 / 255 + 1 = 3 pixels a band, from pure blue down.
    std::vector<int> tall = BlueOfEachRow(4, 600);
    ASSERT_EQ(600u, tall.size());
    EXPECT_EQ(255, tall[0]);
    EXPECT_EQ(255, tall[2]);
    EXPECT_EQ(254, tall[3]);
    EXPECT_EQ(255 - 199, tall[599]);

    // Below 255 pixels every row is a band of its own.
    std::vector<int> low = BlueOfEachRow(4, 200);
    ASSERT_EQ(200u, low.size());
    for (int row = 0; row < 200; ++row)
        ASSERT_EQ(255 - row, low[row]) << "row " << row;
}
