#include "driver/image_crc.h"

namespace image_crc {
namespace {

const uint8_t kTag[4] = {'N', 'Q', 'C', 'K'};

uint32_t Read16(const uint8_t* at) {
    return static_cast<uint32_t>(at[0] | at[1] << 8);
}

uint32_t Read32(const uint8_t* at) {
    return Read16(at) | Read16(at + 2) << 16;
}

void Write32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// The reflected CRC-32 of zip and PNG. Made on first use rather than stored: 1 KB less image.
const uint32_t* Table() {
    static uint32_t table[256];
    if (table[1] == 0) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    return table;
}

} // namespace

bool ReadLayout(const uint8_t* start, size_t size, Layout& layout) {
    if (size < 0x40 || start[0] != 'M' || start[1] != 'Z')
        return false;
    const uint32_t pe = Read32(start + 0x3C);
    // Signature (4), file header (20), then the optional header.
    if (pe > size || size - pe < 24 + 2 || Read32(start + pe) != 0x00004550)
        return false;
    const uint32_t optional = pe + 24;
    const uint32_t optionalSize = Read16(start + pe + 20);
    uint32_t directories; // where the data directory begins in the optional header
    switch (Read16(start + optional)) {
    case 0x10B:
        directories = 96;
        break;
    case 0x20B:
        directories = 112;
        break;
    default:
        return false;
    }
    // Entry 4 of the data directory is the certificate table; it must be there, and inside
    // both the optional header's stated size and the bytes at hand.
    const uint32_t entryEnd = directories + 5 * 8;
    if (optionalSize < entryEnd || size - optional < entryEnd ||
        Read32(start + optional + directories - 4) < 5)
        return false;
    layout.checksumAt = optional + 64;
    layout.certificateEntryAt = optional + directories + 4 * 8;
    layout.stamped = true;
    for (int i = 0; i < 4; ++i)
        layout.stamped = layout.stamped && start[kStampOffset + i] == kTag[i];
    layout.length = Read32(start + kStampOffset + 4);
    layout.crc = Read32(start + kStampOffset + 8);
    layout.stamped = layout.stamped && layout.length >= layout.certificateEntryAt + 8;
    // The stamp lies below the PE header, so the three ranges never overlap.
    return pe >= kStampOffset + kStampSize + 4;
}

Sum::Sum(const Layout& layout, uint32_t length)
    : skip_{{kStampOffset, kStampOffset + kStampSize},
            {layout.checksumAt, layout.checksumAt + 4},
            {layout.certificateEntryAt, layout.certificateEntryAt + 8}},
      length_(length) {}

void Sum::Add(const uint8_t* data, size_t size) {
    const uint32_t* table = Table();
    if (size > length_ - position_)
        size = length_ - position_;
    size_t i = 0;
    // The left-out fields all lie in the headers; past them every byte counts.
    for (; i < size && position_ < skip_[2][1]; ++i, ++position_) {
        bool skipped = false;
        for (const auto& range : skip_)
            skipped = skipped || (position_ >= range[0] && position_ < range[1]);
        if (!skipped)
            crc_ = table[(crc_ ^ data[i]) & 0xFF] ^ (crc_ >> 8);
    }
    position_ += static_cast<uint32_t>(size - i);
    crc_ = ~Crc32(data + i, size - i, ~crc_);
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t previous) {
    const uint32_t* table = Table();
    uint32_t crc = ~previous;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void WriteStamp(uint8_t* start, uint32_t length, uint32_t crc) {
    for (int i = 0; i < 4; ++i)
        start[kStampOffset + i] = kTag[i];
    Write32(start + kStampOffset + 4, length);
    Write32(start + kStampOffset + 8, crc);
}

} // namespace image_crc
