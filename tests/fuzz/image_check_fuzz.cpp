// Any bytes as setup's own file: the check answers, reading nothing outside what it was given;
// and bytes with a valid stamp of their own must pass, whatever their headers say.
#include <cstddef>
#include <cstdint>
#include <string>

#include "driver/image_check.h"
#include "driver/image_crc.h"
#include "platform/host/emulation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = [] {
        hostemu::Reset();
        return true;
    }();
    (void)ready;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    hostemu::WriteFileBytes("C:\\image.exe", bytes);
    CheckImageFile("C:\\image.exe");

    // The same bytes stamped as the build would: the check must then pass them.
    image_crc::Layout layout;
    uint8_t* start = reinterpret_cast<uint8_t*>(&bytes[0]);
    if (size < 32768 && image_crc::ReadLayout(start, size, layout) &&
        size >= layout.certificateEntryAt + 8) {
        image_crc::Sum sum(layout, static_cast<uint32_t>(size));
        sum.Add(start, size);
        image_crc::WriteStamp(start, static_cast<uint32_t>(size), sum.Value());
        hostemu::WriteFileBytes("C:\\image.exe", bytes);
        if (!CheckImageFile("C:\\image.exe"))
            __builtin_trap();
    }
    return 0;
}
