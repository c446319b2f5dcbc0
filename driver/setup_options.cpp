#include "driver/setup_options.h"

#include <cstring>

#include "driver/catalogue.h"
#include "driver/string_helpers.h"
#include "platform/ascii_case.h"

namespace {

// The `length` bytes at `text` begin with `prefix`, ignoring letter case.
bool BeginsWith(const char* text, size_t length, const char* prefix) {
    size_t i = 0;
    for (; prefix[i] != '\0'; ++i) {
        if (i >= length || AsciiUpper(text[i]) != AsciiUpper(prefix[i]))
            return false;
    }
    return true;
}

bool IsWord(const char* text, size_t length, const char* word) {
    return length == std::strlen(word) && BeginsWith(text, length, word);
}

// `length` bytes into `buffer` with their zero; false when they do not fit or there are none.
bool TakeValue(const char* text, size_t length, char (&buffer)[MAX_PATH]) {
    if (length == 0 || length >= MAX_PATH)
        return false;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return true;
}

// The short names between the commas, each a module of the catalogue.
bool TakeModules(const char* text, size_t length, DWORD& modules) {
    if (length == 0)
        return false;
    size_t start = 0;
    while (start <= length) {
        size_t end = start;
        while (end < length && text[end] != ',')
            ++end;
        DWORD row = 0;
        while (row < kCatalogueRowCount &&
               !IsWord(text + start, end - start, kProductCatalogue[row].shortName))
            ++row;
        if (row == kCatalogueRowCount)
            return false;
        modules |= DWORD(1) << row;
        start = end + 1;
    }
    return true;
}

// A log path in double quotes may hold blanks: one pair around the whole is dropped, and no
// other quote is a path's.
bool TakeLogPath(const char* text, size_t length, char (&path)[MAX_PATH]) {
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"') {
        ++text;
        length -= 2;
    }
    return std::memchr(text, '"', length) == nullptr && TakeValue(text, length, path);
}

} // namespace

bool HasNoArguments(const char* arguments) {
    while (arguments != nullptr && IsBlank(*arguments))
        ++arguments;
    return arguments == nullptr || *arguments == '\0';
}

bool ReadSetupOptions(const char* arguments, SetupOptions& options) {
    options = SetupOptions();
    if (arguments == nullptr)
        return false;
    bool sound = true;
    bool seenModules = false;
    const char* at = arguments;
    for (;;) {
        while (IsBlank(*at))
            ++at;
        if (*at == '\0')
            break;
        const size_t rest = std::strlen(at);
        if (BeginsWith(at, rest, "/D=")) {
            size_t length = rest - 3;
            while (length > 0 && IsBlank(at[3 + length - 1]))
                --length;
            sound = sound && options.folder[0] == '\0' && TakeValue(at + 3, length, options.folder);
            break;
        }
        // A word runs to the next blank outside double quotes. A word quoted whole, as
        // launchers quote an argument with blanks ("/D=C:\Program Files\Q"), is its inside.
        const char* word = at;
        bool quoted = false;
        while (*at != '\0' && (quoted || !IsBlank(*at))) {
            if (*at == '"')
                quoted = !quoted;
            ++at;
        }
        size_t length = static_cast<size_t>(at - word);
        const bool quotedWhole = length >= 2 && word[0] == '"' && word[length - 1] == '"' &&
                                 std::memchr(word + 1, '"', length - 2) == nullptr;
        if (quotedWhole) {
            ++word;
            length -= 2;
        }
        if (IsWord(word, length, "/S")) {
            sound = sound && !options.silent;
            options.silent = true;
        } else if (IsWord(word, length, "/FORCE")) {
            sound = sound && !options.force;
            options.force = true;
        } else if (IsWord(word, length, "/CLOSEAPPLICATIONS")) {
            sound = sound && !options.closeApplications;
            options.closeApplications = true;
        } else if (IsWord(word, length, "/?")) {
            options.help = true;
        } else if (BeginsWith(word, length, "/MODULES=")) {
            sound = sound && !seenModules && TakeModules(word + 9, length - 9, options.modules);
            seenModules = true;
        } else if (BeginsWith(word, length, "/LOG=")) {
            sound = sound && options.logPath[0] == '\0' &&
                    TakeLogPath(word + 5, length - 5, options.logPath);
        } else if (quotedWhole && BeginsWith(word, length, "/D=")) {
            sound = sound && options.folder[0] == '\0' &&
                    TakeValue(word + 3, length - 3, options.folder);
        } else {
            sound = false;
        }
    }
    return sound;
}
