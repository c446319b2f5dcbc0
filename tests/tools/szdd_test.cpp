// The SZDD codec: what the compressor writes, how tightly, and that the expander gives back
// exactly the input and refuses every malformed container without reading past its input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/tools/szdd_test_data.h"
#include "tools/szdd/szdd.h"

using szddtest::Kind;
using szddtest::MakeData;

namespace {

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) {
    return szdd::Compress(data.data(), data.size());
}

// Expands with the error as the result, so that a refusal shows its reason.
szdd::Error ExpandInto(const std::vector<uint8_t>& container, std::vector<uint8_t>& out,
                       size_t size = std::numeric_limits<size_t>::max()) {
    szdd::Error error = szdd::Error::SourceFailed;
    // An exact-size copy, so that AddressSanitizer sees any read past the end.
    std::vector<uint8_t> input(container.begin(),
                               container.begin() + std::min(size, container.size()));
    bool expanded = szdd::Expand(input.data(), input.size(), out, &error);
    EXPECT_EQ(expanded, error == szdd::Error::None);
    return error;
}

// Hands out its bytes in pieces of a fixed size, then optionally fails.
class PieceSource : public szdd::Source {
  public:
    PieceSource(const std::vector<uint8_t>& bytes, size_t piece, bool failAtEnd = false)
        : bytes_(bytes), piece_(piece), failAtEnd_(failAtEnd) {}
    long Read(uint8_t* buffer, size_t size) override {
        size_t count = std::min({size, piece_, bytes_.size() - offset_});
        if (count == 0 && failAtEnd_)
            return -1;
        std::memcpy(buffer, bytes_.data() + offset_, count);
        offset_ += count;
        return static_cast<long>(count);
    }

  private:
    const std::vector<uint8_t>& bytes_;
    size_t piece_;
    bool failAtEnd_;
    size_t offset_ = 0;
};

// Item counts of a well-formed stream, read from its control bits.
struct Items {
    size_t literals = 0;
    size_t references = 0;
    size_t Bits() const { return 9 * literals + 17 * references; }
};

Items CountItems(const std::vector<uint8_t>& container, size_t expandedLength) {
    Items items;
    size_t at = szdd::kHeaderSize;
    size_t produced = 0;
    while (produced < expandedLength && at < container.size()) {
        uint8_t control = container[at++];
        for (int bit = 0; bit < 8 && produced < expandedLength; ++bit) {
            if (control & (1 << bit)) {
                ++items.literals;
                ++produced;
                at += 1;
            } else {
                ++items.references;
                produced += (container.at(at + 1) & 0x0F) + szdd::kMinMatch;
                at += 2;
            }
        }
    }
    return items;
}

// The fewest bits any parse can reach, by brute force over every distance of the window.
size_t OptimalBits(const std::vector<uint8_t>& data) {
    const size_t n = data.size();
    auto at = [&](long i) { return i < 0 ? szdd::kRingFill : data[static_cast<size_t>(i)]; };
    std::vector<size_t> cost(n + 1, std::numeric_limits<size_t>::max());
    cost[0] = 0;
    for (size_t i = 0; i < n; ++i) {
        size_t longest = 0;
        const size_t limit = std::min(szdd::kMaxMatch, n - i);
        for (long d = 1; d <= static_cast<long>(szdd::kRingSize) && longest < limit; ++d) {
            size_t length = 0;
            while (length < limit && at(static_cast<long>(i + length) - d) == data[i + length])
                ++length;
            longest = std::max(longest, length);
        }
        cost[i + 1] = std::min(cost[i + 1], cost[i] + 9);
        for (size_t length = szdd::kMinMatch; length <= longest; ++length)
            cost[i + length] = std::min(cost[i + length], cost[i] + 17);
    }
    return cost[n];
}

const Kind kAllKinds[] = {Kind::Incompressible, Kind::Repetitive, Kind::BlankLed, Kind::Text,
                          Kind::WindowRepeat};

} // namespace

TEST(SzddCodec, RoundTripsEverySizeAndKind) {
    const size_t sizes[] = {0, 1, 2, 3, 17, 18, 19, 1023, 1024, 1025, 4096, 8192, 12288, 4096 * 5};
    for (Kind kind : kAllKinds) {
        for (size_t size : sizes) {
            SCOPED_TRACE(std::string(szddtest::KindName(kind)) + " " + std::to_string(size));
            std::vector<uint8_t> data = MakeData(kind, size);
            std::vector<uint8_t> container = Compress(data);
            std::vector<uint8_t> expanded;
            ASSERT_EQ(szdd::Error::None, ExpandInto(container, expanded));
            EXPECT_EQ(data, expanded);
        }
    }
}

TEST(SzddCodec, HeaderIsMagicModeANoNameCharacterAndLength) {
    std::vector<uint8_t> data = MakeData(Kind::Text, 0x012345);
    std::vector<uint8_t> container = Compress(data);
    const uint8_t expected[szdd::kHeaderSize] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27,
                                                 0x33, 0x41, 0x00, 0x45, 0x23, 0x01, 0x00};
    ASSERT_GE(container.size(), sizeof expected);
    EXPECT_EQ(0, std::memcmp(expected, container.data(), sizeof expected));

    // An empty file is the header alone, with length 0.
    std::vector<uint8_t> empty = Compress({});
    std::vector<uint8_t> emptyHeader(expected, expected + 10);
    emptyHeader.insert(emptyHeader.end(), 4, 0);
    EXPECT_EQ(emptyHeader, empty);
}

TEST(SzddCodec, CodesItemsBitForBit) {
    // One literal: a control byte with its first bit set, then the byte.
    std::vector<uint8_t> one = Compress({'A'});
    EXPECT_EQ((std::vector<uint8_t>{0x01, 'A'}),
              std::vector<uint8_t>(one.begin() + szdd::kHeaderSize, one.end()));

    // "ABCABCABC": three literals, then one overlapping six-byte reference to ring position
    // 4080 (the first write position): low byte F0, high nibble F, length nibble 6 - 3.
    std::vector<uint8_t> abc = Compress({'A', 'B', 'C', 'A', 'B', 'C', 'A', 'B', 'C'});
    EXPECT_EQ((std::vector<uint8_t>{0x07, 'A', 'B', 'C', 0xF0, 0xF3}),
              std::vector<uint8_t>(abc.begin() + szdd::kHeaderSize, abc.end()));

    // Eighteen blanks come straight from the ring's fill: one reference, no literal.
    std::vector<uint8_t> blanks = Compress(std::vector<uint8_t>(18, ' '));
    ASSERT_EQ(szdd::kHeaderSize + 3, blanks.size());
    EXPECT_EQ(0x00, blanks[szdd::kHeaderSize]);
    EXPECT_EQ(0x0F, blanks[szdd::kHeaderSize + 2] & 0x0F);
}

TEST(SzddCodec, CompressesAsTightlyAsTheFormatAllows) {
    // Incompressible data costs exactly one control byte per eight literals.
    std::vector<uint8_t> noise = MakeData(Kind::Incompressible, 10000);
    EXPECT_EQ(szdd::kHeaderSize + 10000 + 1250, Compress(noise).size());

    // A run is coded as references of eighteen bytes, seventeen bits each.
    std::vector<uint8_t> run(100000, 'x');
    EXPECT_LE(Compress(run).size(), szdd::kHeaderSize + 100000 * 17 / (18 * 8) + 3);

    // A block repeated one whole window later is found at that distance.
    std::vector<uint8_t> repeat = MakeData(Kind::WindowRepeat, 8192);
    EXPECT_LE(Compress(repeat).size(), szdd::kHeaderSize + 4096 + 512 + 4096 * 17 / (18 * 8) + 3);

    // No parse over any match of the window does better: the path is the cheapest there is.
    const struct {
        Kind kind;
        size_t size;
        uint32_t seed;
    } cases[] = {{Kind::Text, 6000, 1}, {Kind::Text, 5000, 7}, {Kind::BlankLed, 3000, 2},
                 {Kind::WindowRepeat, 4500, 3}, {Kind::Repetitive, 700, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(szddtest::KindName(c.kind));
        std::vector<uint8_t> data = MakeData(c.kind, c.size, c.seed);
        EXPECT_EQ(OptimalBits(data), CountItems(Compress(data), data.size()).Bits());
    }
    // Few distinct bytes: many equal candidates, where a search with a cut-off misses some.
    std::vector<uint8_t> twoLetters = MakeData(Kind::Incompressible, 5000, 9);
    for (uint8_t& byte : twoLetters)
        byte = (byte & 1) ? 'a' : ' ';
    EXPECT_EQ(OptimalBits(twoLetters), CountItems(Compress(twoLetters), 5000).Bits());
}

TEST(SzddExpander, RefusesEveryTruncation) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{40}, size_t{2000}}) {
        std::vector<uint8_t> container = Compress(MakeData(Kind::Text, size));
        for (size_t keep = 0; keep < container.size(); ++keep) {
            SCOPED_TRACE(std::to_string(size) + " bytes cut to " + std::to_string(keep));
            std::vector<uint8_t> out;
            EXPECT_EQ(keep < szdd::kHeaderSize ? szdd::Error::TruncatedHeader
                                               : szdd::Error::TruncatedData,
                      ExpandInto(container, out, keep));
            EXPECT_TRUE(out.empty());
        }
    }
}

TEST(SzddExpander, RefusesMalformedHeaders) {
    const std::vector<uint8_t> good = Compress(MakeData(Kind::Text, 500));
    std::vector<uint8_t> out;
    for (size_t i = 0; i < 8; ++i) {
        std::vector<uint8_t> bad = good;
        bad[i] ^= 0x40;
        EXPECT_EQ(szdd::Error::BadMagic, ExpandInto(bad, out)) << "magic byte " << i;
        // A short input that is not even the start of the magic is not an SZDD file at all.
        EXPECT_EQ(szdd::Error::BadMagic, ExpandInto(bad, out, i + 1)) << "magic byte " << i;
    }
    for (uint8_t mode : {0x00, 0x42, 0x51, 0xC1}) {
        std::vector<uint8_t> other = good;
        other[8] = mode;
        EXPECT_EQ(szdd::Error::UnknownMode, ExpandInto(other, out)) << int{mode};
    }
    // The name character is not checked: any value expands the same.
    std::vector<uint8_t> named = good;
    named[9] = 'E';
    EXPECT_EQ(szdd::Error::None, ExpandInto(named, out));
}

TEST(SzddExpander, RefusesLengthsTheStreamDoesNotMeet) {
    const std::vector<uint8_t> data = MakeData(Kind::Text, 3000);
    const std::vector<uint8_t> good = Compress(data);
    std::vector<uint8_t> out;

    std::vector<uint8_t> trailing = good;
    trailing.push_back(0x01);
    EXPECT_EQ(szdd::Error::Overrun, ExpandInto(trailing, out));

    std::vector<uint8_t> shorter = good;
    shorter[10] -= 1; // 3000 = 0x0BB8: no borrow
    EXPECT_EQ(szdd::Error::Overrun, ExpandInto(shorter, out));

    std::vector<uint8_t> longer = good;
    longer[10] += 1;
    EXPECT_EQ(szdd::Error::TruncatedData, ExpandInto(longer, out));

    // A huge stated length is only a number: no allocation follows it.
    std::vector<uint8_t> huge = good;
    std::fill(huge.begin() + 10, huge.begin() + 14, 0xFF);
    EXPECT_EQ(szdd::Error::TruncatedData, ExpandInto(huge, out));
    EXPECT_TRUE(out.empty());

    // A reference that would run past the stated length (two bytes stated, three coded).
    std::vector<uint8_t> reference(good.begin(), good.begin() + szdd::kHeaderSize);
    reference[10] = 2;
    reference[11] = reference[12] = reference[13] = 0;
    reference.insert(reference.end(), {0x00, 0xF0, 0xF0});
    EXPECT_EQ(szdd::Error::Overrun, ExpandInto(reference, out));

    // An empty file with data after the header.
    std::vector<uint8_t> empty = Compress({});
    empty.insert(empty.end(), {0x01, 0x00});
    EXPECT_EQ(szdd::Error::Overrun, ExpandInto(empty, out));
}

TEST(SzddExpander, StreamsInAnyPiecesTheSameBytes) {
    const std::vector<uint8_t> data = MakeData(Kind::BlankLed, 3 * 4096 + 77);
    const std::vector<uint8_t> container = Compress(data);
    for (size_t sourcePiece : {size_t{1}, size_t{13}, size_t{4096}}) {
        for (size_t readSize : {size_t{1}, size_t{7}, size_t{1023}, size_t{1024}, size_t{5000}}) {
            SCOPED_TRACE(std::to_string(sourcePiece) + "/" + std::to_string(readSize));
            PieceSource source(container, sourcePiece);
            szdd::Expander expander(source);
            std::vector<uint8_t> out;
            std::vector<uint8_t> buffer(readSize);
            long count;
            while ((count = expander.Read(buffer.data(), buffer.size())) > 0) {
                // Only the last read may come short.
                ASSERT_TRUE(static_cast<size_t>(count) == readSize ||
                            out.size() + count == data.size());
                out.insert(out.end(), buffer.begin(), buffer.begin() + count);
            }
            EXPECT_EQ(0, count);
            EXPECT_EQ(0, expander.Read(buffer.data(), buffer.size())); // the end stays the end
            EXPECT_EQ(data, out);
        }
    }
}

TEST(SzddExpander, ExactMultipleOf1024EndsWithAnEmptyRead) {
    const std::vector<uint8_t> container = Compress(MakeData(Kind::Text, 2048));
    PieceSource source(container, 1000);
    szdd::Expander expander(source);
    uint8_t buffer[1024];
    EXPECT_EQ(1024, expander.Read(buffer, sizeof buffer));
    EXPECT_EQ(1024, expander.Read(buffer, sizeof buffer));
    EXPECT_EQ(0, expander.Read(buffer, sizeof buffer));
    EXPECT_EQ(2048u, expander.ExpandedLength());
}

TEST(SzddExpander, ErrorsAreReportedAtOnceAndStick) {
    const std::vector<uint8_t> data = MakeData(Kind::Text, 5000);
    std::vector<uint8_t> container = Compress(data);
    uint8_t buffer[1024];

    // The source fails after the stream: the failure is reported, not taken for the end.
    container.resize(container.size() / 2);
    PieceSource failing(container, 100, true);
    szdd::Expander broken(failing);
    long count;
    while ((count = broken.Read(buffer, sizeof buffer)) > 0) {
    }
    EXPECT_EQ(-static_cast<long>(szdd::Error::SourceFailed), count);
    EXPECT_EQ(szdd::Error::SourceFailed, broken.GetError());
    EXPECT_EQ(count, broken.Read(buffer, sizeof buffer));

    // Trailing bytes are found by the read that hands out the last byte, so that a caller
    // that stops at the stated length still hears of them.
    std::vector<uint8_t> trailing = Compress(data);
    trailing.push_back(0);
    PieceSource source(trailing, trailing.size());
    szdd::Expander expander(source);
    std::vector<uint8_t> whole(data.size());
    EXPECT_EQ(-static_cast<long>(szdd::Error::Overrun),
              expander.Read(whole.data(), whole.size()));
    EXPECT_EQ(szdd::Error::Overrun, expander.GetError());
    EXPECT_EQ(-static_cast<long>(szdd::Error::Overrun), expander.Read(buffer, sizeof buffer));
}

TEST(SzddExpander, ReadsReferencesIntoTheBlankFillAndWrappedRing) {
    // Hand-made stream: a reference to ring position 0 before anything was written there reads
    // blanks; fourteen literals then fill 4083..4095 and wrap to 0; a last reference to
    // position 0 reads the byte just written there, and then the bytes it writes itself.
    std::vector<uint8_t> container(szdd::kMagic, szdd::kMagic + 8);
    container.insert(container.end(), {szdd::kModeA, 0, 20, 0, 0, 0});
    container.insert(container.end(), {0xFE, 0x00, 0x00}); // reference: position 0, 3 bytes
    container.insert(container.end(), {'a', 'b', 'c', 'd', 'e', 'f', 'g'});
    container.insert(container.end(), {0x7F, 'h', 'i', 'j', 'k', 'l', 'm', 'n', 0x00, 0x00});
    std::vector<uint8_t> out;
    ASSERT_EQ(szdd::Error::None, ExpandInto(container, out));
    EXPECT_EQ("   abcdefghijklmnnnn", std::string(out.begin(), out.end()));
}
