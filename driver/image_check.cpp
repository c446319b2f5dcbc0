#include "driver/image_check.h"

#include "driver/image_crc.h"
#include "platform/win32.h"

bool CheckImageFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // 32 KB a read: fewer calls gain nothing measurable, and the stack stays small.
    BYTE buffer[32768];
    DWORD got = 0;
    image_crc::Layout layout;
    bool sound = ReadFile(file, buffer, sizeof buffer, &got, nullptr) &&
                 image_crc::ReadLayout(buffer, got, layout) && layout.stamped;
    if (sound) {
        image_crc::Sum sum(layout, layout.length);
        while (sound && got != 0 && !sum.Complete()) {
            sum.Add(buffer, got);
            if (!sum.Complete())
                sound = ReadFile(file, buffer, sizeof buffer, &got, nullptr);
        }
        sound = sound && sum.Complete() && sum.Value() == layout.crc;
    }
    CloseHandle(file);
    return sound;
}

bool CheckOwnImage() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length != 0 && length < sizeof path && CheckImageFile(path);
}
