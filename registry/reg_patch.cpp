#include "registry/reg_patch.h"

#include <cstring>

#include "platform/ascii_case.h"
#include "registry/patch_lexer.h"
#include "registry/reg_key.h"

namespace {

const char kHeader[] = "REGPATCH1.0000";
constexpr size_t kHeaderLength = sizeof kHeader - 1;

// The longest section name whose key path (suite key, separator, name) fits a key path buffer
// with its zero; shorter than the name buffer, so it is the limit that counts.
size_t SectionNameLimit() {
    return kKeyPathCapacity - 1 - std::strlen(kSuiteKeyPath) - 1;
}

enum class Keyword { None, Numbers, Number, Binary, Strings, String, Index, Indices };

// Tried in this order, so that a longer keyword wins over its own prefix.
struct KeywordName {
    const char* text;
    Keyword keyword;
};
const KeywordName kKeywords[] = {
    {"numbers", Keyword::Numbers}, {"number", Keyword::Number}, {"binary", Keyword::Binary},
    {"strings", Keyword::Strings}, {"string", Keyword::String}, {"index", Keyword::Index},
    {"indices", Keyword::Indices},
};

// Only one value line's data is alive at a time, so the keywords share their storage.
union LineData {
    DWORD numbers[kPatchListCapacity];
    BYTE bytes[kPatchListCapacity];
    char string[kQuotedCapacity];
    struct {
        char item[kQuotedCapacity];
        char value[kPatchMultiStringCapacity];
    } strings;
    struct {
        DWORD current[kPatchListCapacity];
        DWORD list[kPatchListCapacity];
        DWORD result[kPatchListCapacity];
    } indices;
};

// One pass over one patch text. Every read moves the cursor forward; every failure records
// where it happened and returns false, which the caller passes straight up.
class PatchReader {
  public:
    PatchReader(const char* shortName, const char* text, PatchStop* stop)
        : text_(text), cursor_(text), stop_(stop), key_(shortName) {}

    bool Run();

  private:
    bool Fail(const char* at, const char* expected);
    bool ExpectEndOfLine(const char* what);
    bool ReadSection();
    bool ReadValue();
    Keyword ReadKeyword();
    bool ReadNumber(DWORD& value);
    template <typename Item>
    bool ReadList(Item* list, DWORD& count, bool (PatchReader::*readItem)(Item&),
                  const char* tooLong);
    bool ReadNumberList(DWORD* list, DWORD& count);
    bool ReadHexByte(BYTE& value);
    bool ReadByteList(BYTE* list, DWORD& count);
    bool ReadString(char* buffer);
    bool ReadStrings(DWORD& size);
    bool WriteIndex(const char* line);
    bool WriteIndices(const char* line);

    const char* text_;
    const char* cursor_;
    PatchStop* stop_;
    RegKey key_;
    char section_[kPatchNameCapacity];
    char name_[kPatchNameCapacity];
    LineData data_;
};

bool PatchReader::Fail(const char* at, const char* expected) {
    if (!stop_)
        return false;
    // Lines as an editor counts them: CR LF, a lone LF and a lone CR each end one line.
    DWORD line = 1;
    const char* lineStart = text_;
    for (const char* p = text_; p < at; ++p) {
        if (*p == '\n' || (*p == '\r' && p[1] != '\n')) {
            ++line;
            lineStart = p + 1;
        }
    }
    stop_->line = line;
    stop_->column = static_cast<DWORD>(at - lineStart) + 1;
    stop_->offset = static_cast<size_t>(at - text_);
    stop_->expected = expected;
    return false;
}

bool PatchReader::ExpectEndOfLine(const char* what) {
    return EndOfLine(cursor_, true) || Fail(cursor_, what);
}

bool PatchReader::Run() {
    if (std::strncmp(text_, kHeader, kHeaderLength) != 0)
        return Fail(text_, "the header REGPATCH1.0000");
    cursor_ = text_ + kHeaderLength;
    if (!ExpectEndOfLine("only blanks after the header"))
        return false;
    if (!key_.Open(Module, nullptr, false))
        return Fail(text_, "the module key to open");
    while (*cursor_ != '\0') {
        switch (*cursor_) {
        case ';':
            EndOfLine(cursor_, false);
            break;
        case ' ': // indentation is spaces; the rest of the line may then hold any blanks
            SkipBlanks(cursor_);
            break;
        case '[':
            if (!ReadSection())
                return false;
            break;
        case '"':
            if (!ReadValue())
                return false;
            break;
        default:
            return Fail(cursor_, "a section, a value, a comment or the end of the text");
        }
    }
    key_.Close();
    return true;
}

bool PatchReader::ReadSection() {
    const char* open = cursor_;
    const char* close = std::strchr(open + 1, ']');
    if (!close)
        return Fail(open, "a ']' closing the section name");
    size_t length = static_cast<size_t>(close - (open + 1));
    size_t limit = SectionNameLimit();
    if (length > limit)
        return Fail(open + 1 + limit, "a key path (suite key, '\\' and section) of at most 1023 "
                                      "characters");
    std::memcpy(section_, open + 1, length);
    section_[length] = '\0';
    cursor_ = close + 1;
    if (!ExpectEndOfLine("only blanks after the section line"))
        return false;
    if (!key_.Open(Suite, section_, false))
        return Fail(open, "a section whose key can be opened or created");
    return true;
}

Keyword PatchReader::ReadKeyword() {
    for (const KeywordName& candidate : kKeywords) {
        size_t i = 0;
        // The text's zero never equals a keyword letter, so the comparison stops there.
        while (candidate.text[i] != '\0' && AsciiUpper(cursor_[i]) == AsciiUpper(candidate.text[i]))
            ++i;
        if (candidate.text[i] == '\0') {
            cursor_ += i;
            return candidate.keyword;
        }
    }
    return Keyword::None;
}

bool PatchReader::ReadNumber(DWORD& value) {
    if (*cursor_ == '+' || *cursor_ == '-')
        return Fail(cursor_, "a decimal number without a sign");
    DWORD number = 0; // an empty field counts as 0; digits wrap modulo 2^32
    while (IsDecimalDigit(*cursor_))
        number = number * 10 + static_cast<DWORD>(*cursor_++ - '0');
    value = number;
    return true;
}

// Comma-separated items with blanks around them; the list ends at the first item not followed
// by a comma.
template <typename Item>
bool PatchReader::ReadList(Item* list, DWORD& count, bool (PatchReader::*readItem)(Item&),
                           const char* tooLong) {
    count = 0;
    for (;;) {
        SkipBlanks(cursor_);
        if (count == kPatchListCapacity)
            return Fail(cursor_, tooLong);
        if (!(this->*readItem)(list[count]))
            return false;
        ++count;
        SkipBlanks(cursor_);
        if (*cursor_ != ',')
            return true;
        ++cursor_;
    }
}

bool PatchReader::ReadNumberList(DWORD* list, DWORD& count) {
    return ReadList(list, count, &PatchReader::ReadNumber, "a list of at most 2048 numbers");
}

bool PatchReader::ReadHexByte(BYTE& value) {
    const char* start = cursor_;
    DWORD number = 0;
    int digit;
    while ((digit = HexDigitValue(*cursor_)) >= 0) {
        // Leading zeros may run on; once the value is past FF it can only fail.
        if (number <= 0xFF)
            number = number * 16 + static_cast<DWORD>(digit);
        ++cursor_;
    }
    if (cursor_ == start)
        return Fail(start, "a hexadecimal byte");
    if (number > 0xFF)
        return Fail(start, "a hexadecimal byte of at most FF");
    value = static_cast<BYTE>(number);
    return true;
}

bool PatchReader::ReadByteList(BYTE* list, DWORD& count) {
    return ReadList(list, count, &PatchReader::ReadHexByte, "a list of at most 2048 bytes");
}

bool PatchReader::ReadString(char* buffer) {
    const char* expected = nullptr;
    if (!ReadQuoted(cursor_, buffer, kQuotedCapacity, &expected))
        return Fail(cursor_, expected);
    return true;
}

// Builds the REG_MULTI_SZ layout: each item and its zero, then one more zero. No stored item is
// empty, since an empty one would end the list early: it becomes the single byte 0x01.
bool PatchReader::ReadStrings(DWORD& size) {
    char* value = data_.strings.value;
    size_t used = 0;
    for (;;) {
        SkipBlanks(cursor_);
        const char* itemStart = cursor_;
        if (!ReadString(data_.strings.item))
            return false;
        // A \x00 escape ends the item where it stands.
        size_t length = std::strlen(data_.strings.item);
        if (length == 0) {
            data_.strings.item[0] = '\x01';
            data_.strings.item[1] = '\0';
            length = 1;
        }
        // The item, its zero and the list's final zero must all fit.
        if (used + length + 2 > kPatchMultiStringCapacity)
            return Fail(itemStart, "a strings value of at most 65536 bytes");
        std::memcpy(value + used, data_.strings.item, length + 1);
        used += length + 1;
        SkipBlanks(cursor_);
        if (*cursor_ != ',')
            break;
        ++cursor_;
    }
    value[used++] = '\0';
    size = static_cast<DWORD>(used);
    return true;
}

// "index": the stored number names an old position; it becomes the first new position whose
// list entry names that old position, or 0.
bool PatchReader::WriteIndex(const char* line) {
    DWORD count;
    if (!ReadNumberList(data_.numbers, count) || !ExpectEndOfLine("only blanks after the list"))
        return false;
    DWORD current;
    if (!key_.ReadDword(name_, current))
        return Fail(line, "an existing REG_DWORD value to re-index");
    DWORD position = 0;
    for (DWORD p = 0; p < count; ++p) {
        if (data_.numbers[p] == current) {
            position = p;
            break;
        }
    }
    return key_.WriteDword(name_, position) || Fail(line, "the registry to accept the value");
}

// "indices": new element p is the stored array's element at the list's entry p, or 0 when
// that entry lies outside the stored array.
bool PatchReader::WriteIndices(const char* line) {
    DWORD stored = kPatchListCapacity;
    if (!key_.ReadDwordArray(name_, data_.indices.current, stored))
        return Fail(line, "an existing REG_BINARY value of at most 8192 bytes to re-index");
    DWORD count;
    if (!ReadNumberList(data_.indices.list, count) ||
        !ExpectEndOfLine("only blanks after the list"))
        return false;
    for (DWORD p = 0; p < count; ++p) {
        DWORD k = data_.indices.list[p];
        data_.indices.result[p] = k < stored ? data_.indices.current[k] : 0;
    }
    return key_.WriteDwordArray(name_, data_.indices.result, count) ||
           Fail(line, "the registry to accept the value");
}

bool PatchReader::ReadValue() {
    const char* line = cursor_;
    const char* nameStart = cursor_ + 1;
    // The closing quote is looked for from the name's second character: names are never empty.
    const char* close = *nameStart == '\0' ? nullptr : std::strchr(nameStart + 1, '"');
    if (!close)
        return Fail(line, "a '\"' closing the value name");
    size_t length = static_cast<size_t>(close - nameStart);
    if (length >= kPatchNameCapacity)
        return Fail(nameStart + kPatchNameCapacity - 1, "a value name of at most 1023 characters");
    std::memcpy(name_, nameStart, length);
    name_[length] = '\0';
    cursor_ = close + 1;

    SkipBlanks(cursor_);
    if (*cursor_ != '=')
        return Fail(cursor_, "'=' after the value name");
    ++cursor_;
    SkipBlanks(cursor_);
    Keyword keyword = ReadKeyword();
    if (keyword == Keyword::None) {
        if (!IsEndOfLine(*cursor_))
            return Fail(cursor_, "a type keyword (number, numbers, binary, string, strings, "
                                 "index, indices) or the end of the line");
        if (!key_.DeleteValue(name_))
            return Fail(line, "the registry to delete the value");
        EndOfLine(cursor_, true);
        return true;
    }
    SkipBlanks(cursor_);
    if (*cursor_ != ':')
        return Fail(cursor_, "':' after the type keyword");
    ++cursor_;
    SkipBlanks(cursor_);

    const char* const written = "the registry to accept the value";
    DWORD count;
    switch (keyword) {
    case Keyword::Number: {
        DWORD number;
        if (!ReadNumber(number) || !ExpectEndOfLine("only blanks after the number"))
            return false;
        return key_.WriteDword(name_, number) || Fail(line, written);
    }
    case Keyword::Numbers:
        count = 0;
        if (!IsEndOfLine(*cursor_) && !ReadNumberList(data_.numbers, count))
            return false;
        // The value is written before the rest of the line is judged.
        if (!key_.WriteDwordArray(name_, data_.numbers, count))
            return Fail(line, written);
        return ExpectEndOfLine("',' or the end of the line after a number");
    case Keyword::Binary:
        if (!ReadByteList(data_.bytes, count) ||
            !ExpectEndOfLine("',' or the end of the line after a byte"))
            return false;
        return key_.WriteBinary(name_, data_.bytes, count) || Fail(line, written);
    case Keyword::String:
        if (!ReadString(data_.string) || !ExpectEndOfLine("only blanks after the string"))
            return false;
        return key_.WriteString(name_, data_.string) || Fail(line, written);
    case Keyword::Strings: {
        DWORD size = 1;
        data_.strings.value[0] = '\0';
        if (!IsEndOfLine(*cursor_) && !ReadStrings(size))
            return false;
        if (!key_.WriteMultiString(name_, data_.strings.value, size))
            return Fail(line, written);
        return ExpectEndOfLine("',' or the end of the line after a string");
    }
    case Keyword::Index:
        return WriteIndex(line);
    case Keyword::Indices:
        return WriteIndices(line);
    case Keyword::None:
        break;
    }
    return false;
}

} // namespace

bool RegPatch::Apply(const char* shortName, const char* text, PatchStop* stop) {
    PatchReader reader(shortName, text, stop);
    return reader.Run();
}
