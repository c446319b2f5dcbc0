#include "registry/patch_lexer.h"

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void SkipBlanks(const char*& cursor) {
    for (;;) {
        while (IsPatchBlank(*cursor))
            ++cursor;
        if (*cursor != '\\')
            return;
        ++cursor;
        if (!EndOfLine(cursor, true))
            return;
    }
}

bool EndOfLine(const char*& cursor, bool strict) {
    if (strict) {
        while (IsPatchBlank(*cursor))
            ++cursor;
        if (!IsEndOfLine(*cursor))
            return false;
    } else {
        while (!IsEndOfLine(*cursor))
            ++cursor;
    }
    for (;;) {
        while (IsLineBreak(*cursor))
            ++cursor;
        if (*cursor != ';')
            return true;
        while (!IsEndOfLine(*cursor))
            ++cursor;
    }
}

bool ParseHex(const char* text, int digits, DWORD& result) {
    DWORD value = 0;
    for (int i = 0; i < digits; ++i) {
        int digit = HexDigitValue(text[i]); // a zero byte is no digit, so reading stops there
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<DWORD>(digit);
    }
    result = value;
    return true;
}

namespace {

bool Refuse(const char** expected, const char* what) {
    if (expected)
        *expected = what;
    return false;
}

} // namespace

bool ReadQuoted(const char*& cursor, char* buffer, size_t capacity, const char** expected) {
    if (*cursor != '"')
        return Refuse(expected, "a double quote starting a string");
    if (capacity == 0)
        return Refuse(expected, "a string that fits its buffer");
    const char* open = cursor;
    const char* p = cursor + 1;
    size_t length = 0;
    while (*p != '"') {
        const char* at = p;
        char bytes[2];
        size_t count = 1;
        if (*p == '\0') {
            cursor = open;
            return Refuse(expected, "a closing double quote before the end of the text");
        }
        if (*p != '\\') {
            bytes[0] = *p++;
        } else {
            switch (p[1]) {
            case '"':
            case '\\':
                bytes[0] = p[1];
                break;
            case 'n':
                bytes[0] = '\n';
                break;
            case 'r':
                bytes[0] = '\r';
                break;
            case 't':
                bytes[0] = '\t';
                break;
            case 'x': {
                DWORD value;
                if (!ParseHex(p + 2, 2, value)) {
                    cursor = p;
                    return Refuse(expected, "two hexadecimal digits after \\x");
                }
                bytes[0] = static_cast<char>(value);
                p += 2;
                break;
            }
            case '\0':
                cursor = open;
                return Refuse(expected, "a closing double quote before the end of the text");
            default:
                bytes[0] = '\\';
                bytes[1] = p[1];
                count = 2;
                break;
            }
            p += 2;
        }
        for (size_t i = 0; i < count; ++i) {
            if (length >= capacity - 1) {
                cursor = at;
                return Refuse(expected, capacity == kQuotedCapacity
                                            ? "the string to end within 1023 bytes"
                                            : "the string to end within its buffer");
            }
            buffer[length++] = bytes[i];
        }
    }
    buffer[length] = '\0';
    cursor = p + 1;
    return true;
}
