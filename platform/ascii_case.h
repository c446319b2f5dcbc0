// Letter case as Windows folds it when it compares file, key, class and resource names, and as
// the program compares its own names: the 26 ASCII letters only, whatever the locale, so that
// the product and the emulation can never disagree about which names are equal.
#pragma once

inline char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline wchar_t AsciiUpperWide(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
