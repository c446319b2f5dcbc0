// The SZDD container of MS-DOS COMPRESS (algorithm "A"): a 14-byte header, then an LZSS
// stream over a 4096-byte ring that starts out filled with blanks. Plain C++ with no platform
// calls, so that the build-time tool, the host emulation's LZ functions and the tests share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace szdd {

// Header: magic, mode, last character of the original name, expanded length (little-endian).
constexpr uint8_t kMagic[8] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33};
constexpr uint8_t kModeA = 0x41;
constexpr size_t kHeaderSize = 14;

// The ring the coded references point into.
constexpr size_t kRingSize = 4096;
constexpr size_t kFirstWritePosition = 4080;
constexpr uint8_t kRingFill = 0x20;
constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 18;

// Why a container was refused. Expander::Read answers the negated value.
enum class Error {
    None = 0,
    BadMagic = 1,        // the first eight bytes are not the magic
    UnknownMode = 2,     // a compression mode other than "A"
    TruncatedHeader = 3, // fewer than 14 bytes
    TruncatedData = 4,   // the stream ends before the stated length is reached
    Overrun = 5,         // the stream goes on past the stated length
    SourceFailed = 6,    // the caller's source reported an error
};

// A one-line description of `error`, for messages.
const char* Describe(Error error);

// The whole container for `size` bytes at `data`, coded as tightly as the format allows.
// Inputs beyond 4 GiB do not fit the header's length field and answer an empty vector.
std::vector<uint8_t> Compress(const uint8_t* data, size_t size);

// Where an Expander pulls its compressed bytes from.
class Source {
  public:
    // Fills up to `size` bytes of `buffer`; answers the count, 0 at the end, negative on error.
    virtual long Read(uint8_t* buffer, size_t size) = 0;

  protected:
    ~Source() = default;
};

// Expands a container on demand, pulling compressed bytes from a source only as needed and
// keeping nothing but the ring and a small input buffer.
class Expander {
  public:
    explicit Expander(Source& source);

    // Fills up to `size` bytes of `out` with expanded bytes; answers the count (less than
    // `size` only at the end), 0 at the end, or the negated Error. The header is checked on the
    // first call. An error sticks: every later call answers it again.
    long Read(uint8_t* out, size_t size);

    // Why the last call failed, or Error::None.
    Error GetError() const { return error_; }

    // The expanded length the header states; valid once the first Read has succeeded.
    uint32_t ExpandedLength() const { return expandedLength_; }

  private:
    bool ReadHeader();
    // The next compressed byte into `byte`; false at the end of the source or on its error.
    bool NextByte(uint8_t& byte);
    // True when the source holds no further byte; false when it does or when it failed.
    bool AtEnd();
    long Fail(Error error);

    Source& source_;
    Error error_ = Error::None;
    bool headerRead_ = false;
    uint32_t expandedLength_ = 0;
    uint32_t produced_ = 0;

    uint8_t ring_[kRingSize];
    size_t writePosition_ = kFirstWritePosition;
    unsigned control_ = 0; // the current control byte, shifted; bit 8 marks it used up
    size_t copyPosition_ = 0;
    size_t copyLeft_ = 0; // bytes of the current reference still to hand out

    uint8_t input_[1024];
    size_t inputPosition_ = 0;
    size_t inputEnd_ = 0;
    bool sourceEnded_ = false;
    bool sourceFailed_ = false;
};

// Expands the whole container at `data` into `out`. On refusal answers false, leaves `out`
// empty and sets `*error` (when given) to the reason.
bool Expand(const uint8_t* data, size_t size, std::vector<uint8_t>& out, Error* error);

} // namespace szdd
