// Small string services used throughout the program.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/win32.h"

// A heap copy of a zero-terminated string; null for null.
std::unique_ptr<char[]> DuplicateString(const char* text);

// A blank between the words of a command line: space or tab.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Windows takes '/' between the levels of a path as well as '\'.
inline bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

// Where the first level of `path` begins: the length of its volume root with the separator
// after it, 3 for "C:\", up to and with the separator after the share for
// "\\server\share\...", the whole of "\\server\share". 0 for every path that does not name
// the same place whatever the current directory is (relative paths, "C:" and "C:name", "\name"),
// for a network path without a server or a share, and for the "\\?\" and "\\.\" forms, whose
// names the system takes as they stand, '/' included, and which setup never installs to.
size_t PathRootLength(const char* path);

// The bytes of the character `text` starts with, in the code page of the 8-bit calls: more than
// one only for a multibyte character (UTF-8, or a double-byte code page), never past the zero.
size_t CharacterLength(const char* text);

// The last separator of `path`, either kind; null when it has none. A trail byte of a
// double-byte character that happens to be '\' is no separator.
char* LastPathSeparator(char* path);

// Appends `name` to the path in `path`, with exactly one backslash between them (none after an
// empty path, nor after a path that ends in '/'). The buffer holds `capacity` bytes; when the result and its zero do not fit, the
// path is left as it was and the answer is false, so no caller ever works on a cut-off path.
bool JoinPath(char* path, const char* name, size_t capacity = MAX_PATH);

// Letter case folded to upper case character by character (ASCII letters only, as Windows
// compares names), as the catalogue lookups compare. Multibyte characters compare byte for
// byte: their bytes are no letters, and a sure "different" is what a caller can act on.
bool EqualIgnoringCase(const char* a, const char* b);

// Copies `text` into `buffer` of `capacity` bytes; false, and the buffer left as it was, when it
// does not fit with its zero.
bool CopyString(char* buffer, const char* text, size_t capacity);

// Appends `text` to the string in `buffer` of `capacity` bytes; false, and the buffer left as it
// was, when `text` is null or the result does not fit with its zero.
bool AppendString(char* buffer, size_t capacity, const char* text);
// The same, but `text` that does not fit is cut after the last whole character that does, for
// text only shown (a log line, a field's answer): false when cut. Never splits a character.
bool AppendStringCut(char* buffer, size_t capacity, const char* text);
// `first` followed by `second` in `buffer` of `capacity` bytes. False, and an empty buffer, when
// either is null or the result does not fit with its zero: no key or file is ever addressed by
// a name cut short.
bool ConcatStrings(char* buffer, size_t capacity, const char* first, const char* second);
// Appends `value` in upper-case hexadecimal without leading zeros ("1F"); false, and the buffer
// left as it was, when it does not fit.
bool AppendHexNumber(char* buffer, size_t capacity, unsigned value);
// The same in decimal ("31").
bool AppendDecimalNumber(char* buffer, size_t capacity, unsigned value);
