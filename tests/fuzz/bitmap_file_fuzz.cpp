// Any bytes as a bitmap file: a refusal or a picture whose every pixel byte can be read, never
// a read or write outside the header block, the colour table or the section's storage.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "driver/bitmap_file.h"
#include "platform/host/emulation.h"
#include "platform/win32.h"
#include "tests/fuzz/fresh_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FreshMachine machine;
    const char path[] = "C:\\picture.bmp";
    hostemu::WriteFileBytes(path, std::string(reinterpret_cast<const char*>(data), size));
    HBITMAP bitmap = LoadBitmapFile(path);
    if (!bitmap)
        return 0;
    DIBSECTION section;
    if (GetObjectA(bitmap, sizeof section, &section) != static_cast<int>(sizeof section))
        std::abort();
    const BITMAPINFOHEADER& header = section.dsBmih;
    const long long rows =
        header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    const long long stride =
        (static_cast<long long>(header.biBitCount) * header.biWidth + 31) / 32 * 4;
    // The storage is one block, so its first byte and the last byte of its last row show the
    // sanitizer any storage too small for the rows the header claims.
    const volatile uint8_t* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
    if (rows > 0 && stride > 0) {
        uint8_t first = bits[0];
        uint8_t last = bits[rows * stride - 1];
        (void)first;
        (void)last;
    }
    DeleteObject(bitmap);
    return 0;
}
