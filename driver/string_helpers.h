// Small string services used throughout the program.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/win32.h"

// A heap copy of a zero-terminated string; null for null.
std::unique_ptr<char[]> DuplicateString(const char* text);

// Appends `name` to the path in `path`, with exactly one backslash between them (none after an
// empty path). The buffer holds `capacity` bytes; when the result and its zero do not fit, the
// path is left as it was and the answer is false, so no caller ever works on a cut-off path.
bool JoinPath(char* path, const char* name, size_t capacity = MAX_PATH);

// Letter case folded to upper case character by character (ASCII letters only, as Windows
// compares names), as the catalogue lookups compare.
bool EqualIgnoringCase(const char* a, const char* b);

// Copies `text` into `buffer` of `capacity` bytes; false, and the buffer left as it was, when it
// does not fit with its zero.
bool CopyString(char* buffer, const char* text, size_t capacity);

// Appends `text` to the string in `buffer` of `capacity` bytes; false, and the buffer left as it
// was, when `text` is null or the result does not fit with its zero.
bool AppendString(char* buffer, size_t capacity, const char* text);
// `first` followed by `second` in `buffer` of `capacity` bytes. False, and an empty buffer, when
// either is null or the result does not fit with its zero: no key or file is ever addressed by
// a name cut short.
bool ConcatStrings(char* buffer, size_t capacity, const char* first, const char* second);
// Appends `value` in upper-case hexadecimal without leading zeros ("1F"); false, and the buffer
// left as it was, when it does not fit.
bool AppendHexNumber(char* buffer, size_t capacity, unsigned value);
// The same in decimal ("31").
bool AppendDecimalNumber(char* buffer, size_t capacity, unsigned value);
