// LoadImageA for bitmaps: a bitmap resource of the module or a .bmp file, uncompressed, made
// into a device-independent bitmap with its own colour table and bits.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/host/emulation.h"
#include "platform/host/window_manager.h"

namespace {

// A packed bitmap: the header, the colour table, then the rows.
HBITMAP FromPackedDib(const BYTE* data, size_t size) {
    if (size < sizeof(BITMAPINFOHEADER))
        return nullptr;
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size ||
        header.biCompression != BI_RGB || header.biWidth <= 0 || header.biWidth > 0x4000 ||
        header.biHeight == 0 || std::abs(header.biHeight) > 0x4000)
        return nullptr;
    size_t colours = 0;
    if (header.biBitCount <= 8) {
        size_t most = size_t{1} << header.biBitCount;
        colours = header.biClrUsed && header.biClrUsed < most ? header.biClrUsed : most;
    }
    size_t tableEnd = header.biSize + colours * sizeof(RGBQUAD);
    size_t stride = ((static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
    size_t bitsSize = stride * static_cast<size_t>(std::abs(header.biHeight));
    if (tableEnd > size || size - tableEnd < bitsSize)
        return nullptr;
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + (colours + 1) * sizeof(RGBQUAD), 0);
    std::memcpy(info.data(), &header, sizeof header);
    reinterpret_cast<BITMAPINFOHEADER*>(info.data())->biSize = sizeof(BITMAPINFOHEADER);
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), data + header.biSize,
                colours * sizeof(RGBQUAD));
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap)
        std::memcpy(bits, data + tableEnd, bitsSize);
    return bitmap;
}

} // namespace

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int, int, UINT load) {
    if (type != IMAGE_BITMAP || !name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HBITMAP bitmap = nullptr;
    if (load & LR_LOADFROMFILE) {
        std::string bytes;
        if (!hostemu::ReadFileBytes(name, bytes)) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return nullptr;
        }
        if (bytes.size() > sizeof(BITMAPFILEHEADER) && bytes[0] == 'B' && bytes[1] == 'M')
            bitmap = FromPackedDib(reinterpret_cast<const BYTE*>(bytes.data()) +
                                       sizeof(BITMAPFILEHEADER),
                                   bytes.size() - sizeof(BITMAPFILEHEADER));
    } else {
        HRSRC resource = FindResourceA(instance, name, RT_BITMAP);
        HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
        if (!loaded)
            return nullptr;
        bitmap = FromPackedDib(static_cast<const BYTE*>(LockResource(loaded)),
                               SizeofResource(instance, resource));
    }
    if (!bitmap)
        SetLastError(ERROR_INVALID_DATA);
    return bitmap;
}
