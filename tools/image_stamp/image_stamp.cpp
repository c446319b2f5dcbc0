// image_stamp IMAGE: stores the sum of a freshly linked image in its own header
// (driver/image_crc.h), in place, before the image is signed. Status 1 and one line on stderr
// when the file is not a PE image or cannot be read or written.
#include <cstdio>
#include <vector>

#include "driver/image_crc.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: image_stamp IMAGE\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "r+b");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    for (size_t got; (got = std::fread(block, 1, sizeof block, file)) != 0;)
        bytes.insert(bytes.end(), block, block + got);
    image_crc::Layout layout;
    if (!image_crc::ReadLayout(bytes.data(), bytes.size(), layout) || bytes.size() > 0xFFFFFFFFu) {
        std::fprintf(stderr, "%s: not a PE image this tool can stamp\n", argv[1]);
        std::fclose(file);
        return 1;
    }
    // A signed image would keep its certificate outside the sum but its hash over the stamp:
    // stamping must come first.
    if (std::vector<uint8_t>(bytes.begin() + layout.certificateEntryAt,
                             bytes.begin() + layout.certificateEntryAt + 8) !=
        std::vector<uint8_t>(8, 0)) {
        std::fprintf(stderr, "%s: already signed; stamp it before signing\n", argv[1]);
        std::fclose(file);
        return 1;
    }
    const uint32_t length = static_cast<uint32_t>(bytes.size());
    image_crc::Sum sum(layout, length);
    sum.Add(bytes.data(), bytes.size());
    image_crc::WriteStamp(bytes.data(), length, sum.Value());
    const bool written = std::fseek(file, 0, SEEK_SET) == 0 &&
                         std::fwrite(bytes.data(), 1, image_crc::kStampOffset + image_crc::kStampSize,
                                     file) == image_crc::kStampOffset + image_crc::kStampSize;
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: cannot write the stamp\n", argv[1]);
        return 1;
    }
    return 0;
}
