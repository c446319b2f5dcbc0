#include "tests/support/lz_reader.h"

INT ReadThroughLz(const std::string& path, std::vector<uint8_t>& out) {
    OFSTRUCT record = {};
    record.cBytes = sizeof record;
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    INT handle = LZOpenFileA(name.data(), &record, OF_READ);
    if (handle < 0)
        return handle;
    INT total = 0;
    char buffer[1024];
    for (;;) {
        INT count = LZRead(handle, buffer, sizeof buffer);
        if (count < 0) {
            total = count;
            break;
        }
        out.insert(out.end(), buffer, buffer + count);
        total += count;
        if (count < static_cast<INT>(sizeof buffer))
            break;
    }
    LZClose(handle);
    return total;
}
