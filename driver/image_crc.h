// The image's own checksum: a CRC-32 of the whole file as the linker left it, stored in the DOS
// header's reserved words by a build step after linking and before signing. It finds damage (a
// download cut short or a flipped byte); tampering is for the signature to find.
//
// Left out of the sum are the bytes that signing changes, the optional header's CheckSum and
// the certificate table's entry in the data directory, besides the stamp itself; the
// certificate data that signing appends comes after the length the stamp records. Plain C++
// without platform calls: the stamping tool and the program share it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace image_crc {

// The stamp: "NQCK", the length the sum covers and the sum, little-endian, in the DOS header's
// e_res2 words, which the loader never reads and signing keeps (it hashes them).
constexpr size_t kStampOffset = 0x28;
constexpr size_t kStampSize = 12;

struct Layout {
    uint32_t checksumAt = 0;         // the optional header's CheckSum
    uint32_t certificateEntryAt = 0; // the certificate table's data-directory entry
    bool stamped = false; // the tag is there and the length covers the headers
    uint32_t length = 0; // stamped: the bytes the sum covers
    uint32_t crc = 0;    // stamped: their sum
};

// Reads the headers among the first `size` bytes of a file: false when they do not describe a
// PE image (32 or 64 bits) with a certificate table entry inside those bytes.
bool ReadLayout(const uint8_t* start, size_t size, Layout& layout);

// The sum of a file fed in order, piece by piece, over its first `length` bytes, leaving out
// the stamp, the CheckSum and the certificate table entry.
class Sum {
  public:
    Sum(const Layout& layout, uint32_t length);
    void Add(const uint8_t* data, size_t size);
    // True once `length` bytes have been fed.
    bool Complete() const { return position_ >= length_; }
    uint32_t Value() const { return ~crc_; }

  private:
    uint32_t skip_[3][2]; // [from, to) ranges, ascending
    uint32_t length_;
    uint32_t position_ = 0;
    uint32_t crc_ = 0xFFFFFFFFu;
};

// The plain CRC-32 of `size` bytes, continuing the sum `previous` of the bytes before them.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t previous = 0);

// Writes the stamp for `length` bytes with sum `crc` into the file's start.
void WriteStamp(uint8_t* start, uint32_t length, uint32_t crc);

} // namespace image_crc
