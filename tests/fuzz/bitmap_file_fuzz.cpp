// Any bytes as a bitmap file: a refusal or a picture whose every pixel byte can be read, never
// a read or write outside the header block, the colour table or the section's storage.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "driver/bitmap_file.h"
#include "platform/host/emulation.h"
#include "platform/win32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    hostemu::Reset();
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
    // The first and last byte of every row, so that the sanitizer sees any storage too small;
    // touching all of a 64 MB picture byte by byte would take the fuzzer's whole time.
    const volatile uint8_t* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
    unsigned sum = 0;
    for (long long row = 0; row < rows && stride > 0; ++row)
        sum += bits[row * stride] + bits[row * stride + stride - 1];
    (void)sum;
    DeleteObject(bitmap);
    return 0;
}
