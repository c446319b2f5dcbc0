// Any bytes as a .bmp file for LoadImageA: a bitmap comes back only when the file holds all
// it claims, and nothing is read outside the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/host/emulation.h"
#include "platform/win32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = [] {
        hostemu::Reset();
        return true;
    }();
    (void)ready;
    hostemu::WriteFileBytes("C:\\fuzz.bmp", std::string(reinterpret_cast<const char*>(data), size));
    HANDLE image = LoadImageA(nullptr, "C:\\fuzz.bmp", IMAGE_BITMAP, 0, 0,
                              LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (image) {
        DIBSECTION section;
        GetObjectA(image, sizeof section, &section);
        DeleteObject(image);
    }
    return 0;
}
