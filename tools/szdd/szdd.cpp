#include "tools/szdd/szdd.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace szdd {

const char* Describe(Error error) {
    switch (error) {
    case Error::None:
        return "no error";
    case Error::BadMagic:
        return "not an SZDD container (bad magic)";
    case Error::UnknownMode:
        return "unknown compression mode (only \"A\" is known)";
    case Error::TruncatedHeader:
        return "truncated header";
    case Error::TruncatedData:
        return "compressed data ends before the stated length";
    case Error::Overrun:
        return "compressed data runs past the stated length";
    case Error::SourceFailed:
        return "the compressed data could not be read";
    }
    return "unknown error";
}

// ---------------------------------------------------------------------------------------------
// Compression

namespace {

// The coder's costs in bits: a control bit plus one byte for a literal, two for a reference.
constexpr uint64_t kLiteralBits = 9;
constexpr uint64_t kReferenceBits = 17;

constexpr int32_t kNoPosition = -1;

// The stream the coder sees: the ring's blank fill, then the data. A reference at data index i
// reaching back d bytes (1..4096) reads exactly what the expander's ring holds at that point,
// blanks included, and a reference may overlap the bytes it produces.
struct Window {
    std::vector<uint8_t> bytes;
    size_t dataStart = kRingSize;
};

// Longest-match search over binary trees, one per two-byte prefix. Each new position becomes
// the root of its tree and splits the older ones to its sides, so every subtree is older than
// its root: the walk stops at the first node beyond the window, knowing that nothing below it
// is closer. The search sees every position of the window, unlike a chain walk with a cut-off,
// and stays fast on inputs where chains grow long (few distinct bytes).
class MatchTrees {
  public:
    explicit MatchTrees(const Window& window)
        : v_(window.bytes.data()), end_(window.bytes.size()), roots_(size_t{1} << 16, kNoPosition),
          children_(2 * kNodeSlots, kNoPosition) {}

    // Inserts `position` and answers the longest match for it (0 when fewer than two bytes
    // are left) with its distance in `distance`.
    size_t Insert(size_t position, size_t& distance) {
        const size_t limit = std::min(kMaxMatch, end_ - position);
        distance = 0;
        if (limit < 2)
            return 0;
        const uint8_t* current = v_ + position;
        int32_t& root = roots_[current[0] | (size_t{current[1]} << 8)];
        int32_t candidate = root;
        root = static_cast<int32_t>(position);

        int32_t* larger = &children_[Slot(position) + 1];
        int32_t* smaller = &children_[Slot(position)];
        size_t largerLength = 0;
        size_t smallerLength = 0;
        size_t best = 0;
        for (;;) {
            if (candidate == kNoPosition || position - static_cast<size_t>(candidate) > kRingSize) {
                *larger = *smaller = kNoPosition;
                return best;
            }
            const uint8_t* earlier = v_ + candidate;
            size_t length = std::min(largerLength, smallerLength);
            while (length < limit && earlier[length] == current[length])
                ++length;
            if (length > best) {
                best = length;
                distance = position - static_cast<size_t>(candidate);
            }
            int32_t* pair = &children_[Slot(static_cast<size_t>(candidate))];
            if (length == limit) {
                // The newer position takes the place of an equal older one.
                *smaller = pair[0];
                *larger = pair[1];
                return best;
            }
            if (earlier[length] < current[length]) {
                *smaller = candidate;
                smaller = pair + 1;
                candidate = *smaller;
                smallerLength = length;
            } else {
                *larger = candidate;
                larger = pair;
                candidate = *larger;
                largerLength = length;
            }
        }
    }

  private:
    // Twice the window, so that a node one full window back keeps a slot of its own.
    static constexpr size_t kNodeSlots = 2 * kRingSize;
    static size_t Slot(size_t position) { return 2 * (position & (kNodeSlots - 1)); }

    const uint8_t* v_;
    size_t end_;
    std::vector<int32_t> roots_;
    std::vector<int32_t> children_;
};

// The longest match (up to kMaxMatch) for every data position.
void FindLongestMatches(const Window& window, size_t size, std::vector<uint8_t>& lengths,
                        std::vector<uint16_t>& distances) {
    MatchTrees trees(window);
    size_t distance;
    // Every fill position further back than kMaxMatch reads as kMaxMatch blanks, just as the
    // one at -kMaxMatch does, and lies in the window exactly when that one does; so the last
    // kMaxMatch fill positions stand for all of them.
    for (size_t position = window.dataStart - kMaxMatch; position < window.dataStart; ++position)
        trees.Insert(position, distance);
    for (size_t i = 0; i < size; ++i) {
        const size_t best = trees.Insert(window.dataStart + i, distance);
        if (best >= kMinMatch) {
            lengths[i] = static_cast<uint8_t>(best);
            distances[i] = static_cast<uint16_t>(distance);
        }
    }
}

void PutLength(std::vector<uint8_t>& out, uint32_t length) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(length >> shift));
}

} // namespace

std::vector<uint8_t> Compress(const uint8_t* data, size_t size) {
    if (size > std::numeric_limits<uint32_t>::max())
        return {};

    Window window;
    window.bytes.assign(kRingSize + size, kRingFill);
    if (size > 0)
        std::memcpy(window.bytes.data() + window.dataStart, data, size);

    std::vector<uint8_t> lengths(size, 0);
    std::vector<uint16_t> distances(size, 0);
    FindLongestMatches(window, size, lengths, distances);

    // Cheapest path from the start to every position. Every length from kMinMatch up to the
    // longest is available at the longest match's distance, and every reference costs the same,
    // so the longest match of each position carries all of its choices.
    std::vector<uint64_t> cost(size + 1, std::numeric_limits<uint64_t>::max());
    std::vector<uint8_t> step(size + 1, 0); // length of the item that ends here; 1 = literal
    cost[0] = 0;
    for (size_t i = 0; i < size; ++i) {
        const uint64_t here = cost[i];
        if (here + kLiteralBits < cost[i + 1]) {
            cost[i + 1] = here + kLiteralBits;
            step[i + 1] = 1;
        }
        for (size_t length = kMinMatch; length <= lengths[i]; ++length) {
            if (here + kReferenceBits < cost[i + length]) {
                cost[i + length] = here + kReferenceBits;
                step[i + length] = static_cast<uint8_t>(length);
            }
        }
    }

    // Walk the path back, then code it forwards.
    std::vector<uint8_t> items; // item lengths in order
    for (size_t i = size; i > 0; i -= step[i])
        items.push_back(step[i]);
    std::reverse(items.begin(), items.end());

    std::vector<uint8_t> out;
    out.reserve(kHeaderSize + size + size / 8 + 1);
    out.insert(out.end(), kMagic, kMagic + sizeof kMagic);
    out.push_back(kModeA);
    out.push_back(0); // no last character recorded
    PutLength(out, static_cast<uint32_t>(size));

    size_t controlAt = 0;
    size_t position = 0;
    for (size_t n = 0; n < items.size(); ++n) {
        if (n % 8 == 0) {
            controlAt = out.size();
            out.push_back(0);
        }
        const size_t length = items[n];
        if (length == 1) {
            out[controlAt] |= static_cast<uint8_t>(1u << (n % 8));
            out.push_back(data[position]);
        } else {
            const size_t ring = (kFirstWritePosition + position - distances[position]) & (kRingSize - 1);
            out.push_back(static_cast<uint8_t>(ring & 0xFF));
            out.push_back(static_cast<uint8_t>(((ring >> 4) & 0xF0) | (length - kMinMatch)));
        }
        position += length;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Expansion

Expander::Expander(Source& source) : source_(source) {
    std::memset(ring_, kRingFill, sizeof ring_);
}

long Expander::Fail(Error error) {
    error_ = sourceFailed_ ? Error::SourceFailed : error;
    return -static_cast<long>(error_);
}

bool Expander::NextByte(uint8_t& byte) {
    if (inputPosition_ == inputEnd_) {
        if (sourceEnded_)
            return false;
        long count = source_.Read(input_, sizeof input_);
        if (count <= 0) {
            sourceEnded_ = true;
            sourceFailed_ = count < 0;
            return false;
        }
        inputPosition_ = 0;
        inputEnd_ = std::min(static_cast<size_t>(count), sizeof input_);
    }
    byte = input_[inputPosition_++];
    return true;
}

bool Expander::AtEnd() {
    uint8_t byte;
    if (!NextByte(byte))
        return !sourceFailed_;
    --inputPosition_; // the byte stays unread
    return false;
}

bool Expander::ReadHeader() {
    uint8_t header[kHeaderSize];
    size_t count = 0;
    while (count < kHeaderSize && NextByte(header[count]))
        ++count;
    if (std::memcmp(header, kMagic, std::min(count, sizeof kMagic)) != 0)
        return Fail(Error::BadMagic), false;
    if (count < kHeaderSize)
        return Fail(Error::TruncatedHeader), false;
    if (header[8] != kModeA)
        return Fail(Error::UnknownMode), false;
    expandedLength_ = uint32_t{header[10]} | (uint32_t{header[11]} << 8) |
                      (uint32_t{header[12]} << 16) | (uint32_t{header[13]} << 24);
    headerRead_ = true;
    return true;
}

long Expander::Read(uint8_t* out, size_t size) {
    if (error_ != Error::None)
        return -static_cast<long>(error_);
    if (!headerRead_ && !ReadHeader())
        return -static_cast<long>(error_);
    // Counts are answered as a long; keep one call's worth within that.
    size = std::min(size, static_cast<size_t>(std::numeric_limits<long>::max()));

    size_t count = 0;
    while (count < size && produced_ < expandedLength_) {
        uint8_t byte = 0;
        if (copyLeft_ == 0) {
            if ((control_ & 0x100) == 0) {
                uint8_t control;
                if (!NextByte(control))
                    return Fail(Error::TruncatedData);
                control_ = 0xFF00u | control; // the high bits count the eight items down
            }
            const bool literal = (control_ & 1) != 0;
            control_ >>= 1;
            if (literal) {
                if (!NextByte(byte))
                    return Fail(Error::TruncatedData);
            } else {
                uint8_t low, high;
                if (!NextByte(low) || !NextByte(high))
                    return Fail(Error::TruncatedData);
                copyPosition_ = low | (size_t{high & 0xF0u} << 4);
                copyLeft_ = (high & 0x0Fu) + kMinMatch;
                if (copyLeft_ > expandedLength_ - produced_)
                    return Fail(Error::Overrun);
            }
        }
        if (copyLeft_ > 0) {
            byte = ring_[copyPosition_];
            copyPosition_ = (copyPosition_ + 1) & (kRingSize - 1);
            --copyLeft_;
        }
        ring_[writePosition_] = byte;
        writePosition_ = (writePosition_ + 1) & (kRingSize - 1);
        out[count++] = byte;
        ++produced_;
    }
    // Checked as soon as the last byte is handed out, so that a caller that stops at the
    // stated length still learns that the container was longer.
    if (produced_ == expandedLength_ && !AtEnd())
        return Fail(Error::Overrun);
    return static_cast<long>(count);
}

namespace {

class MemorySource : public Source {
  public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    long Read(uint8_t* buffer, size_t size) override {
        size_t count = std::min({size, size_ - offset_, size_t{1} << 20});
        if (count > 0)
            std::memcpy(buffer, data_ + offset_, count);
        offset_ += count;
        return static_cast<long>(count);
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t offset_ = 0;
};

} // namespace

bool Expand(const uint8_t* data, size_t size, std::vector<uint8_t>& out, Error* error) {
    out.clear();
    MemorySource source(data, size);
    Expander expander(source);
    uint8_t chunk[16384];
    for (;;) {
        long count = expander.Read(chunk, sizeof chunk);
        if (count < 0) {
            out.clear();
            if (error != nullptr)
                *error = expander.GetError();
            return false;
        }
        if (count == 0)
            break;
        if (out.empty()) {
            // A reference codes at most kMaxMatch bytes in 17 bits: never reserve more than
            // the input can hold, whatever the header claims.
            const size_t bound = size / 2 * kMaxMatch + kMaxMatch;
            out.reserve(std::min<size_t>(expander.ExpandedLength(), bound));
        }
        out.insert(out.end(), chunk, chunk + count);
    }
    if (error != nullptr)
        *error = Error::None;
    return true;
}

} // namespace szdd
