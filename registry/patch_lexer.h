// The lexical routines of the registry patch text. Each works on a cursor into the
// zero-terminated text, moves it forward and never allocates; the text is 8-bit and bytes from
// 0x80 up are ordinary characters.
#pragma once

#include <cstddef>

#include "platform/win32.h"

// Capacity of the buffers quoted strings are read into: 1,023 bytes and the zero.
constexpr size_t kQuotedCapacity = 1024;

// Space, tab, vertical tab and form feed; never a line break.
inline bool IsPatchBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}
inline bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}
inline bool IsEndOfLine(char c) {
    return c == '\0' || IsLineBreak(c);
}
inline bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}
// The value of a hexadecimal digit in either case, or -1.
int HexDigitValue(char c);

// Skips blanks. A backslash with nothing but blanks after it up to the line break continues
// the line: the break, empty lines and comment lines are skipped too and skipping goes on. A
// backslash followed by other text is consumed alone, and the cursor stops at that text.
void SkipBlanks(const char*& cursor);

// Strict: only blanks may stand before the end of the line, else false with the cursor on the
// offending character. Not strict: everything up to the end of the line is skipped. Then the
// whole line break (any run of CR and LF) and every comment line after it are consumed.
bool EndOfLine(const char*& cursor, bool strict);

// Reads the double-quoted string at the cursor into `buffer`, zero-terminated, resolving the
// escapes \" \\ \n \r \t and \xHH; any other escape keeps both characters. False without
// moving when no double quote is at the cursor. False, with the cursor on the offending place,
// when a byte would land at `capacity` - 1 or beyond, on "\x" without two hexadecimal digits,
// or when the text ends first (the cursor then stays on the opening quote). On success the
// cursor stands after the closing quote. `expected`, when given, receives what the text should
// have held where reading stopped.
bool ReadQuoted(const char*& cursor, char* buffer, size_t capacity,
                const char** expected = nullptr);

// Reads exactly `digits` characters of `text` as a hexadecimal number, most significant first;
// false at a zero byte or any character that is no hexadecimal digit.
bool ParseHex(const char* text, int digits, DWORD& result);
