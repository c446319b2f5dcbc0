// The file says how large its colour table and its pixel data are; nothing here believes it
// further than the buffers allow. The colour table lives in a fixed block of 256 entries, and
// the pixel read is bounded by the storage the section itself was given.
#include "driver/bitmap_file.h"

#include <cstring>

namespace {

const WORD kBitmapFileType = 0x4D42; // "BM"
const DWORD kFileHeaderSize = 14;
const DWORD kInfoHeaderSize = 40;
const DWORD kCoreHeaderSize = 12;
const DWORD kMaxColours = 256;
// Far beyond any picture this program shows, and small enough that a file claiming a huge
// picture cannot make the section itself exhaust memory.
const unsigned long long kMaxPixelStorage = 64ull << 20;

DWORD LittleEndian32(const BYTE* bytes) {
    return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 |
           static_cast<DWORD>(bytes[2]) << 16 | static_cast<DWORD>(bytes[3]) << 24;
}

WORD LittleEndian16(const BYTE* bytes) {
    return static_cast<WORD>(bytes[0] | bytes[1] << 8);
}

struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colours[kMaxColours];
};

// Fills `info` from the 40 header bytes of the file and answers the bytes the pixel rows take,
// or 0 when the layout is one the reader refuses: another header size (the 12-byte core layout
// and the later extended ones), compression, a bit depth other than 1, 4, 8, 16, 24 or 32, a
// colour count above what the depth can use, or a picture too large.
unsigned long long ReadInfoHeader(const BYTE* bytes, BitmapInfo256& info) {
    BITMAPINFOHEADER& header = info.header;
    header.biSize = LittleEndian32(bytes);
    header.biWidth = static_cast<LONG>(LittleEndian32(bytes + 4));
    header.biHeight = static_cast<LONG>(LittleEndian32(bytes + 8));
    header.biPlanes = LittleEndian16(bytes + 12);
    header.biBitCount = LittleEndian16(bytes + 14);
    header.biCompression = LittleEndian32(bytes + 16);
    header.biSizeImage = LittleEndian32(bytes + 20);
    header.biXPelsPerMeter = static_cast<LONG>(LittleEndian32(bytes + 24));
    header.biYPelsPerMeter = static_cast<LONG>(LittleEndian32(bytes + 28));
    header.biClrUsed = LittleEndian32(bytes + 32);
    header.biClrImportant = LittleEndian32(bytes + 36);

    if (header.biSize != kInfoHeaderSize || header.biPlanes != 1 ||
        header.biCompression != BI_RGB || header.biWidth <= 0 || header.biHeight == 0)
        return 0;
    const WORD depth = header.biBitCount;
    DWORD usable;
    switch (depth) {
    case 1:
    case 4:
    case 8:
        usable = 1u << depth;
        if (header.biClrUsed == 0)
            header.biClrUsed = usable;
        break;
    case 16:
    case 24:
    case 32:
        // Deeper pictures carry their colours in the pixels; a table is only a hint for
        // palette devices, and none is assumed when the file names none.
        usable = kMaxColours;
        break;
    default:
        return 0;
    }
    if (header.biClrUsed > usable)
        return 0;

    // Rows are padded to whole 32-bit words; a negative height is a top-down picture.
    const unsigned long long rowBytes =
        (static_cast<unsigned long long>(depth) * static_cast<DWORD>(header.biWidth) + 31) / 32 * 4;
    const unsigned long long rows = header.biHeight < 0
                                        ? 0ull - static_cast<long long>(header.biHeight)
                                        : static_cast<unsigned long long>(header.biHeight);
    const unsigned long long storage = rowBytes * rows;
    if (rowBytes > kMaxPixelStorage || rows > kMaxPixelStorage || storage > kMaxPixelStorage)
        return 0;
    return storage;
}

// The number of bytes read, short only at the end or on failure.
DWORD ReadBytes(HANDLE file, void* buffer, DWORD size) {
    DWORD read = 0;
    if (size == 0 || !ReadFile(file, buffer, size, &read, nullptr))
        return 0;
    return read;
}

HBITMAP ReadBitmap(HANDLE file) {
    BYTE fileHeader[kFileHeaderSize];
    if (ReadBytes(file, fileHeader, sizeof fileHeader) != sizeof fileHeader ||
        LittleEndian16(fileHeader) != kBitmapFileType)
        return nullptr;
    const DWORD bitsOffset = LittleEndian32(fileHeader + 10);

    BYTE infoBytes[kInfoHeaderSize];
    if (ReadBytes(file, infoBytes, sizeof infoBytes) != sizeof infoBytes ||
        LittleEndian32(infoBytes) == kCoreHeaderSize)
        return nullptr;
    BitmapInfo256 info = {};
    const unsigned long long storage = ReadInfoHeader(infoBytes, info);
    if (storage == 0)
        return nullptr;
    // The section is told its true size, so a file that claims more pixel bytes than its
    // rows hold is read only as far as the rows go.
    const DWORD claimed = info.header.biSizeImage;
    info.header.biSizeImage = static_cast<DWORD>(storage);
    const DWORD toRead = claimed != 0 && claimed < storage ? claimed : info.header.biSizeImage;

    // A table cut short keeps its remaining entries black.
    ReadBytes(file, info.colours, info.header.biClrUsed * sizeof(RGBQUAD));

    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits)
        return bitmap;
    // Without an offset the pixels follow the colour table. An offset that cannot be reached
    // leaves the picture blank rather than filling it from the wrong place.
    if (bitsOffset == 0 ||
        (bitsOffset <= 0x7FFFFFFF &&
         SetFilePointer(file, static_cast<LONG>(bitsOffset), nullptr, FILE_BEGIN) == bitsOffset))
        ReadBytes(file, bits, toRead);
    return bitmap;
}

} // namespace

HBITMAP LoadBitmapFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    HBITMAP bitmap = ReadBitmap(file);
    CloseHandle(file);
    return bitmap;
}

HBITMAP LoadBitmapHandle(HANDLE file) {
    return SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 ? ReadBitmap(file) : nullptr;
}
