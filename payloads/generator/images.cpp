#include "images.h"

#include <cstdint>
#include <cstdio>

namespace {

class Bytes {
  public:
    void U8(uint32_t v) { data.push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(uint32_t v) {
        U16(v);
        U16(v >> 16);
    }
    std::vector<uint8_t> data;
};

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPaletteSize = 256 * 4;

uint32_t RowBytes(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

// The info header, the colour table and the pixel rows bottom up; for an icon the height
// counts the mask too and the mask rows follow.
void PutDib(Bytes& out, const IndexedImage& image, bool withMask) {
    const uint32_t pixelBytes = RowBytes(image.width, 8) * image.height;
    const uint32_t maskBytes = withMask ? RowBytes(image.width, 1) * image.height : 0;
    out.U32(kInfoHeaderSize);
    out.U32(image.width);
    out.U32(withMask ? image.height * 2 : image.height);
    out.U16(1); // planes
    out.U16(8); // bits a pixel
    out.U32(0); // uncompressed
    out.U32(pixelBytes + maskBytes);
    out.U32(2835); // 72 dots an inch
    out.U32(2835);
    out.U32(0); // colours used: all 256
    out.U32(0); // colours important: all
    for (const Rgb& c : image.palette) {
        out.U8(c.b);
        out.U8(c.g);
        out.U8(c.r);
        out.U8(0);
    }
    for (int y = image.height - 1; y >= 0; --y) {
        uint32_t x = 0;
        for (; x < static_cast<uint32_t>(image.width); ++x)
            out.U8(image.pixels[static_cast<size_t>(y) * image.width + x]);
        for (; x < RowBytes(image.width, 8); ++x)
            out.U8(0);
    }
    if (!withMask)
        return;
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(RowBytes(image.width, 1), 0);
        for (int x = 0; x < image.width; ++x) {
            size_t at = static_cast<size_t>(y) * image.width + x;
            if (!image.transparent.empty() && image.transparent[at])
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        out.data.insert(out.data.end(), row.begin(), row.end());
    }
}

bool WriteAll(const std::vector<uint8_t>& bytes, const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

bool WriteBitmapFile(const IndexedImage& image, const char* path) {
    Bytes dib;
    PutDib(dib, image, false);
    const uint32_t bitsOffset = 14 + kInfoHeaderSize + kPaletteSize;
    Bytes file;
    file.U8('B');
    file.U8('M');
    file.U32(14 + static_cast<uint32_t>(dib.data.size()));
    file.U32(0); // reserved
    file.U32(bitsOffset);
    file.data.insert(file.data.end(), dib.data.begin(), dib.data.end());
    return WriteAll(file.data, path);
}

bool WriteIconFile(const std::vector<IndexedImage>& images, const char* path) {
    std::vector<Bytes> dibs(images.size());
    for (size_t i = 0; i < images.size(); ++i)
        PutDib(dibs[i], images[i], true);
    Bytes file;
    file.U16(0); // reserved
    file.U16(1); // an icon, not a cursor
    file.U16(static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.U8(images[i].width);
        file.U8(images[i].height);
        file.U8(0); // 256 colours
        file.U8(0);
        file.U16(1); // planes
        file.U16(8); // bits a pixel
        file.U32(static_cast<uint32_t>(dibs[i].data.size()));
        file.U32(offset);
        offset += static_cast<uint32_t>(dibs[i].data.size());
    }
    for (const Bytes& dib : dibs)
        file.data.insert(file.data.end(), dib.data.begin(), dib.data.end());
    return WriteAll(file.data, path);
}
