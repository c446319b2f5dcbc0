// Any bytes as an SZDD container, through the streaming expander in reads of varying size and
// through the whole-buffer expansion: a refusal or the expanded bytes, never a read or write
// outside a buffer. Whatever expands must expand the same both ways.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/szdd/szdd.h"

namespace {

// Hands out the input in pieces whose sizes the input's last byte chooses.
class PieceSource : public szdd::Source {
  public:
    PieceSource(const uint8_t* data, size_t size, size_t piece)
        : data_(data), size_(size), piece_(piece) {}
    long Read(uint8_t* buffer, size_t size) override {
        size_t count = size < piece_ ? size : piece_;
        if (count > size_ - offset_)
            count = size_ - offset_;
        std::memcpy(buffer, data_ + offset_, count);
        offset_ += count;
        return static_cast<long>(count);
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t piece_;
    size_t offset_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> whole;
    szdd::Error wholeError = szdd::Error::None;
    const bool expanded = szdd::Expand(data, size, whole, &wholeError);

    const size_t piece = size > 0 ? data[size - 1] % 64 + 1 : 1;
    PieceSource source(data, size, piece);
    szdd::Expander expander(source);
    std::vector<uint8_t> streamed;
    uint8_t buffer[1024];
    const size_t readSize = piece * 7 % sizeof buffer + 1;
    long count;
    // A container can claim 4 GiB; stop comparing well before that.
    while (streamed.size() < (size_t{64} << 20) && (count = expander.Read(buffer, readSize)) > 0)
        streamed.insert(streamed.end(), buffer, buffer + count);

    if (streamed.size() < (size_t{64} << 20)) {
        if (expanded != (expander.GetError() == szdd::Error::None))
            std::abort();
        if (expanded && streamed != whole)
            std::abort();
        if (!expanded && expander.GetError() != wholeError)
            std::abort();
    }
    return 0;
}
