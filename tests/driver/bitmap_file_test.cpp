// Bitmap files as setup reads them, looked at through GDI so that the same test runs on
// Windows and on the emulation.
#include <string>

#include "driver/bitmap_file.h"
#include "install/payload_extractor.h"
#include "tests/support/test_world.h"

namespace {

void Put32(std::string& bytes, DWORD value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((value >> shift) & 0xFF);
}
void Put16(std::string& bytes, WORD value) {
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>(value >> 8);
}

// A bitmap file as a writer might make it, honest or not: the header says what the fields
// say, and the colour table and pixel bytes follow as given.
struct BitmapFile {
    LONG width = 4;
    LONG height = 2;
    WORD depth = 8;
    DWORD headerSize = 40;
    DWORD compression = BI_RGB;
    DWORD coloursUsed = 0;
    DWORD imageSize = 0;
    DWORD tableEntries = 256;
    // Extra bytes between the table and the pixels, which only the bits offset skips.
    DWORD gap = 0;
    bool zeroOffset = false;
    std::string pixels;

    std::string Bytes() const {
        std::string bytes = "BM";
        const DWORD offset = zeroOffset ? 0 : 14 + 40 + tableEntries * 4 + gap;
        Put32(bytes, 14 + 40 + tableEntries * 4 + gap + static_cast<DWORD>(pixels.size()));
        Put32(bytes, 0);
        Put32(bytes, offset);
        Put32(bytes, headerSize);
        Put32(bytes, static_cast<DWORD>(width));
        Put32(bytes, static_cast<DWORD>(height));
        Put16(bytes, 1);
        Put16(bytes, depth);
        Put32(bytes, compression);
        Put32(bytes, imageSize);
        Put32(bytes, 2835);
        Put32(bytes, 2835);
        Put32(bytes, coloursUsed);
        Put32(bytes, 0);
        for (DWORD k = 0; k < tableEntries; ++k)
            Put32(bytes, RGB(k & 0xFF, 255 - (k & 0xFF), 7));
        bytes += std::string(gap, '\x5A');
        return bytes + pixels;
    }
};

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + 3);
    return bytes;
}

class BitmapFileTest : public TestWorld {
  protected:
    void TearDown() override {
        if (bitmap_)
            DeleteObject(bitmap_);
        TestWorld::TearDown();
    }
    // Loads `bytes` written to a file; the section's description lands in section_.
    HBITMAP Load(const std::string& bytes) {
        if (bitmap_)
            DeleteObject(bitmap_);
        const std::string path = ScratchPath("picture.bmp");
        EXPECT_TRUE(WriteTestFile(path, bytes));
        bitmap_ = LoadBitmapFile(path.c_str());
        section_ = {};
        if (bitmap_) {
            EXPECT_EQ(static_cast<int>(sizeof section_),
                      GetObjectA(bitmap_, sizeof section_, &section_));
        }
        return bitmap_;
    }
    std::string Pixels(size_t size) const {
        return std::string(static_cast<const char*>(section_.dsBm.bmBits), size);
    }
    UINT ColourTable(RGBQUAD* table) const {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap_);
        UINT count = GetDIBColorTable(dc, 0, 256, table);
        SelectObject(dc, old);
        DeleteDC(dc);
        return count;
    }
    HBITMAP bitmap_ = nullptr;
    DIBSECTION section_ = {};
};

} // namespace

TEST_F(BitmapFileTest, TheWizardPictureLoadsWithAll256Colours) {
    const std::string path = ScratchPath("wizard.bmp");
    PayloadExtractor extractor;
    ASSERT_TRUE(extractor.ExtractPayload(999, path.c_str()));
    std::string file;
    ASSERT_TRUE(ReadTestFile(path, file));
    ASSERT_NE(nullptr, Load(file));
    EXPECT_EQ(116, section_.dsBm.bmWidth);
    EXPECT_EQ(226, section_.dsBm.bmHeight);
    EXPECT_EQ(8, section_.dsBmih.biBitCount);
    RGBQUAD table[256];
    ASSERT_EQ(256u, ColourTable(table));
    EXPECT_EQ(file.substr(54, 1024), std::string(reinterpret_cast<const char*>(table), 1024));
    EXPECT_EQ(file.substr(1078), Pixels(116 * 226));
}

TEST_F(BitmapFileTest, DeeperPicturesNeedNoTableAndReadTheirBitsFromTheOffset) {
    for (WORD depth : {16, 24, 32}) {
        SCOPED_TRACE(depth);
        BitmapFile file;
        file.depth = depth;
        file.width = 3;
        file.tableEntries = 0;
        file.gap = 10;
        const size_t rowBytes = (depth * 3 + 31) / 32 * 4;
        file.pixels = Pattern(rowBytes * 2);
        ASSERT_NE(nullptr, Load(file.Bytes()));
        EXPECT_EQ(depth, section_.dsBmih.biBitCount);
        RGBQUAD table[256];
        EXPECT_EQ(0u, ColourTable(table));
        EXPECT_EQ(file.pixels, Pixels(file.pixels.size()));
    }
}

TEST_F(BitmapFileTest, PixelsWithoutAnOffsetFollowTheColourTable) {
    BitmapFile file;
    file.zeroOffset = true;
    file.pixels = Pattern(8);
    ASSERT_NE(nullptr, Load(file.Bytes()));
    EXPECT_EQ(file.pixels, Pixels(8));
}

TEST_F(BitmapFileTest, RefusesWhatItCannotReadSafely) {
    EXPECT_EQ(nullptr, LoadBitmapFile(ScratchPath("missing.bmp").c_str()));
    BitmapFile honest;
    honest.pixels = Pattern(8);
    const std::string good = honest.Bytes();
    ASSERT_NE(nullptr, Load(good));
    EXPECT_EQ(nullptr, Load("MB" + good.substr(2))) << "not BM";
    EXPECT_EQ(nullptr, Load(good.substr(0, 40))) << "header cut short";

    struct Case {
        const char* what;
        void (*change)(BitmapFile&);
    };
    const Case cases[] = {
        {"core header", [](BitmapFile& f) { f.headerSize = 12; }},
        {"extended header", [](BitmapFile& f) { f.headerSize = 108; }},
        {"run-length compression", [](BitmapFile& f) { f.compression = 1; }},
        {"257 colours at 8 bits", [](BitmapFile& f) { f.coloursUsed = 257; }},
        {"17 colours at 4 bits",
         [](BitmapFile& f) {
             f.depth = 4;
             f.coloursUsed = 17;
         }},
        {"2^16 colours at 16 bits",
         [](BitmapFile& f) {
             f.depth = 16;
             f.coloursUsed = 65536;
         }},
        {"a depth of 2", [](BitmapFile& f) { f.depth = 2; }},
        {"no width", [](BitmapFile& f) { f.width = 0; }},
        {"no height", [](BitmapFile& f) { f.height = 0; }},
        {"a picture of a terapixel",
         [](BitmapFile& f) {
             f.width = 1 << 20;
             f.height = 1 << 20;
         }},
    };
    for (const Case& c : cases) {
        BitmapFile file = honest;
        c.change(file);
        EXPECT_EQ(nullptr, Load(file.Bytes())) << c.what;
    }
}

TEST_F(BitmapFileTest, ReadsOnlyWhatThePictureHoldsWhateverTheHeaderClaims) {
    // An image size beyond the rows' storage: the rows are filled, nothing beyond them.
    BitmapFile overstated;
    overstated.imageSize = 1 << 20;
    overstated.pixels = Pattern(4096);
    ASSERT_NE(nullptr, Load(overstated.Bytes()));
    EXPECT_EQ(overstated.pixels.substr(0, 8), Pixels(8));

    // Top-down, with the size left for the reader to work out from the height's magnitude.
    BitmapFile topDown;
    topDown.height = -3;
    topDown.pixels = Pattern(12);
    ASSERT_NE(nullptr, Load(topDown.Bytes()));
    EXPECT_EQ(3, section_.dsBm.bmHeight);
    EXPECT_EQ(topDown.pixels, Pixels(12));

    // A file that ends early: what is there is read, the rest stays blank.
    BitmapFile shortFile;
    shortFile.height = 4;
    shortFile.pixels = Pattern(5);
    ASSERT_NE(nullptr, Load(shortFile.Bytes()));
    EXPECT_EQ(shortFile.pixels + std::string(11, '\0'), Pixels(16));
}
