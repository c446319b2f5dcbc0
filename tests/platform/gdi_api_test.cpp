// Device-independent bitmaps and palettes as the wizard's picture uses them.
#include <cstdint>
#include <string>

#include "tests/support/test_world.h"

namespace {

// A 256-colour bitmap whose colour k is (k, 255 - k, 7).
HBITMAP MakeBitmap(int width, int height) {
    std::string info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), '\0');
    BITMAPINFO* header = reinterpret_cast<BITMAPINFO*>(&info[0]);
    header->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header->bmiHeader.biWidth = width;
    header->bmiHeader.biHeight = height;
    header->bmiHeader.biPlanes = 1;
    header->bmiHeader.biBitCount = 8;
    header->bmiHeader.biCompression = BI_RGB;
    for (int k = 0; k < 256; ++k)
        header->bmiColors[k] = RGBQUAD{7, static_cast<BYTE>(255 - k), static_cast<BYTE>(k), 0};
    void* bits = nullptr;
    return CreateDIBSection(nullptr, header, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// A 3 x 2 bitmap file of 8 bits a pixel with two colours, cut to `keep` bytes.
std::string BitmapFile(size_t keep) {
    std::string file(14 + 40 + 8 + 8, '\0');
    auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(0, 0x4D42, 2);
    put(2, static_cast<uint32_t>(file.size()), 4);
    put(10, 14 + 40 + 8, 4);
    put(14, 40, 4);
    put(18, 3, 4);
    put(22, 2, 4);
    put(26, 1, 2);
    put(28, 8, 2);
    put(46, 2, 4);
    put(62 - 4, 0x00FFFFFF, 4);
    put(62 + 1, 1, 1);
    return file.substr(0, keep);
}

class GdiFiles : public TestWorld {};

} // namespace

TEST_F(GdiFiles, BitmapFilesLoadAsDibSections) {
    std::string path = ScratchPath("small.bmp");
    ASSERT_TRUE(WriteTestFile(path, BitmapFile(std::string::npos)));
    HANDLE image = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                              LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(nullptr, image);
    DIBSECTION section = {};
    EXPECT_EQ(static_cast<int>(sizeof(DIBSECTION)), GetObjectA(image, sizeof section, &section));
    EXPECT_EQ(3, section.dsBmih.biWidth);
    EXPECT_EQ(8, section.dsBmih.biBitCount);
    EXPECT_EQ(1, static_cast<const BYTE*>(section.dsBm.bmBits)[1]);
    EXPECT_TRUE(DeleteObject(image));

    // Wine builds a bitmap even from a cut file, from the zeros past its end; not pinned.
    ASSERT_TRUE(WriteTestFile(path, "XM" + BitmapFile(std::string::npos).substr(2)));
    EXPECT_EQ(nullptr, LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

TEST(GdiApi, DibSectionsKeepTheirColourTableAndPalettesTheirEntries) {
    HBITMAP bitmap = MakeBitmap(116, 226);
    ASSERT_NE(nullptr, bitmap);
    DIBSECTION section = {};
    EXPECT_EQ(static_cast<int>(sizeof(DIBSECTION)), GetObjectA(bitmap, sizeof section, &section));
    EXPECT_EQ(116, section.dsBmih.biWidth);
    EXPECT_EQ(226, section.dsBmih.biHeight);
    EXPECT_EQ(8, section.dsBmih.biBitCount);
    EXPECT_EQ(116, section.dsBm.bmWidthBytes);
    EXPECT_NE(nullptr, section.dsBm.bmBits);
    BITMAP plain = {};
    EXPECT_EQ(static_cast<int>(sizeof(BITMAP)), GetObjectA(bitmap, sizeof plain, &plain));

    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_NE(nullptr, memory);
    HGDIOBJ old = SelectObject(memory, bitmap);
    EXPECT_NE(nullptr, old);
    RGBQUAD colours[256] = {};
    EXPECT_EQ(256u, GetDIBColorTable(memory, 0, 256, colours));
    EXPECT_EQ(200, colours[200].rgbRed);
    EXPECT_EQ(55, colours[200].rgbGreen);
    EXPECT_EQ(2u, GetDIBColorTable(memory, 254, 10, colours));
    SelectObject(memory, old);
    EXPECT_TRUE(DeleteDC(memory));

    std::string block(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY), '\0');
    LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(&block[0]);
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    HPALETTE palette = CreatePalette(logical);
    ASSERT_NE(nullptr, palette);
    WORD entries = 0;
    EXPECT_EQ(static_cast<int>(sizeof entries), GetObjectA(palette, sizeof entries, &entries));
    EXPECT_EQ(256, entries);

    HRGN region = CreateRectRgn(0, 0, 120, 227);
    EXPECT_TRUE(DeleteObject(region));
    EXPECT_TRUE(DeleteObject(palette));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    EXPECT_NE(nullptr, GetStockObject(BLACK_BRUSH));
}
