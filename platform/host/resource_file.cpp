// Reading a .res file: a run of entries, each a header (data size, header size, type and name
// as a number or a UTF-16 string, language and flags) and its data, both aligned to 4 bytes.
#include "platform/host/resource_file.h"

#include <cstring>

#include "platform/ascii_case.h"

namespace hostemu {

namespace {

class Reader {
  public:
    Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool Dword(size_t offset, DWORD& value) const {
        if (offset > size_ || size_ - offset < 4)
            return false;
        value = static_cast<DWORD>(data_[offset]) | static_cast<DWORD>(data_[offset + 1]) << 8 |
                static_cast<DWORD>(data_[offset + 2]) << 16 |
                static_cast<DWORD>(data_[offset + 3]) << 24;
        return true;
    }
    bool Word(size_t offset, WORD& value) const {
        if (offset > size_ || size_ - offset < 2)
            return false;
        value = static_cast<WORD>(data_[offset] | data_[offset + 1] << 8);
        return true;
    }

  private:
    const BYTE* data_;
    size_t size_;
};

// A type or name field within the header that ends at `end`; advances `offset` past it.
bool ReadKey(const Reader& reader, size_t& offset, size_t end, ResourceKey& key) {
    WORD first = 0;
    if (offset + 2 > end || !reader.Word(offset, first))
        return false;
    if (first == 0xFFFF) {
        if (offset + 4 > end || !reader.Word(offset + 2, key.number))
            return false;
        key.isNumber = true;
        offset += 4;
        return true;
    }
    key.isNumber = false;
    key.text.clear();
    for (;;) {
        WORD unit = 0;
        if (offset + 2 > end || !reader.Word(offset, unit))
            return false;
        offset += 2;
        if (unit == 0)
            return true;
        key.text += AsciiUpper(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
}

size_t Align4(size_t offset) {
    return (offset + 3) & ~static_cast<size_t>(3);
}

} // namespace

bool ParseResourceFile(const BYTE* image, size_t size, std::vector<ResourceEntry>& entries) {
    entries.clear();
    Reader reader(image, size);
    size_t offset = 0;
    while (offset < size) {
        DWORD dataSize = 0;
        DWORD headerSize = 0;
        if (!reader.Dword(offset, dataSize) || !reader.Dword(offset + 4, headerSize))
            break;
        // The fixed part after type and name: version, flags, language, two more DWORDs.
        if (headerSize < 8 + 4 + 4 + 16 || headerSize > size - offset ||
            dataSize > size - offset - headerSize) {
            entries.clear();
            return false;
        }
        size_t headerEnd = offset + headerSize;
        size_t field = offset + 8;
        ResourceEntry entry;
        if (!ReadKey(reader, field, headerEnd, entry.type) ||
            !ReadKey(reader, field, headerEnd, entry.name)) {
            entries.clear();
            return false;
        }
        field = Align4(field);
        if (field + 16 > headerEnd || !reader.Word(field + 6, entry.language)) {
            entries.clear();
            return false;
        }
        entry.data = image + headerEnd;
        entry.size = dataSize;
        // The leading empty entry marks the file as 32-bit resources; it names nothing.
        bool marker = entry.type.isNumber && entry.type.number == 0 && dataSize == 0;
        if (!marker)
            entries.push_back(entry);
        offset = Align4(headerEnd + dataSize);
    }
    if (offset < size) {
        entries.clear();
        return false;
    }
    return true;
}

} // namespace hostemu
