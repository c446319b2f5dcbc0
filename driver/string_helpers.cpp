#include "driver/string_helpers.h"

#include <cstring>

#include "platform/ascii_case.h"

std::unique_ptr<char[]> DuplicateString(const char* text) {
    if (text == nullptr)
        return nullptr;
    size_t size = std::strlen(text) + 1;
    std::unique_ptr<char[]> copy(new char[size]);
    std::memcpy(copy.get(), text, size);
    return copy;
}

bool JoinPath(char* path, const char* name, size_t capacity) {
    size_t length = std::strlen(path);
    bool needsSeparator = length > 0 && !IsPathSeparator(path[length - 1]);
    size_t nameLength = std::strlen(name);
    if (length + (needsSeparator ? 1 : 0) + nameLength + 1 > capacity)
        return false;
    if (needsSeparator)
        path[length++] = '\\';
    std::memcpy(path + length, name, nameLength + 1);
    return true;
}

size_t PathRootLength(const char* path) {
    if (path == nullptr)
        return 0;
    const char c = path[0];
    if (((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':' &&
        IsPathSeparator(path[2]))
        return 3;
    if (!IsPathSeparator(path[0]) || !IsPathSeparator(path[1]))
        return 0;
    size_t server = 2;
    size_t at = server;
    while (path[at] != '\0' && !IsPathSeparator(path[at]))
        ++at;
    const size_t serverLength = at - server;
    if (serverLength == 0 || path[at] == '\0' ||
        (serverLength == 1 && (path[server] == '?' || path[server] == '.')))
        return 0;
    const size_t share = ++at;
    while (path[at] != '\0' && !IsPathSeparator(path[at]))
        ++at;
    if (at == share)
        return 0;
    return path[at] == '\0' ? at : at + 1;
}

size_t CharacterLength(const char* text) {
    const unsigned char lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80)
        return 1;
    // UTF-8 leaves every byte of a multibyte character at 0x80 or above, its followers at
    // 0x80 to 0xBF; a stray follower stands alone.
    if (GetACP() == CP_UTF8) {
        const size_t most = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        size_t length = 1;
        while (length < most && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            ++length;
        return length;
    }
    return IsDBCSLeadByte(lead) && text[1] != '\0' ? 2 : 1;
}

char* LastPathSeparator(char* path) {
    char* last = nullptr;
    for (char* at = path; *at != '\0'; at += CharacterLength(at)) {
        if (IsPathSeparator(*at))
            last = at;
    }
    return last;
}

bool EqualIgnoringCase(const char* a, const char* b) {
    for (;;) {
        const size_t length = CharacterLength(a);
        if (length > 1) {
            if (std::strncmp(a, b, length) != 0)
                return false;
        } else {
            char x = AsciiUpper(*a);
            if (x != AsciiUpper(*b))
                return false;
            if (x == '\0')
                return true;
        }
        a += length;
        b += length;
    }
}

bool CopyString(char* buffer, const char* text, size_t capacity) {
    size_t size = std::strlen(text) + 1;
    if (size > capacity)
        return false;
    std::memcpy(buffer, text, size);
    return true;
}

bool AppendString(char* buffer, size_t capacity, const char* text) {
    if (text == nullptr)
        return false;
    size_t length = 0;
    while (length < capacity && buffer[length] != '\0')
        ++length;
    size_t textLength = std::strlen(text);
    if (length + textLength + 1 > capacity)
        return false;
    std::memcpy(buffer + length, text, textLength + 1);
    return true;
}

bool AppendStringCut(char* buffer, size_t capacity, const char* text) {
    if (text == nullptr || capacity == 0)
        return false;
    size_t length = 0;
    while (length < capacity && buffer[length] != '\0')
        ++length;
    if (length == capacity)
        return false;
    size_t taken = 0;
    for (size_t next; text[taken] != '\0'; taken += next) {
        next = CharacterLength(text + taken);
        if (length + taken + next + 1 > capacity)
            break;
    }
    std::memcpy(buffer + length, text, taken);
    buffer[length + taken] = '\0';
    return text[taken] == '\0';
}

bool ConcatStrings(char* buffer, size_t capacity, const char* first, const char* second) {
    if (capacity == 0)
        return false;
    buffer[0] = '\0';
    if (AppendString(buffer, capacity, first) && AppendString(buffer, capacity, second))
        return true;
    buffer[0] = '\0';
    return false;
}

namespace {

bool AppendNumber(char* buffer, size_t capacity, unsigned value, unsigned radix) {
    char digits[8 * sizeof value + 1];
    char* first = digits + sizeof digits - 1;
    *first = '\0';
    do {
        *--first = "0123456789ABCDEF"[value % radix];
        value /= radix;
    } while (value != 0);
    return AppendString(buffer, capacity, first);
}

} // namespace

bool AppendHexNumber(char* buffer, size_t capacity, unsigned value) {
    return AppendNumber(buffer, capacity, value, 16);
}

bool AppendDecimalNumber(char* buffer, size_t capacity, unsigned value) {
    return AppendNumber(buffer, capacity, value, 10);
}
