#include "wizard/server_address.h"

#include <climits>
#include <cstring>

#include "driver/string_helpers.h"
#include "platform/ascii_case.h"

int ReadDecimal(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

bool CutPort(char* text, DWORD& port) {
    char* colon = std::strrchr(text, ':');
    if (colon == nullptr)
        return false;
    *colon = '\0';
    port = static_cast<DWORD>(ReadDecimal(colon + 1));
    return true;
}

namespace {

// Where `key` first stands in `text`, letter case aside; null when it does not.
const char* FindIgnoringCase(const char* text, const char* key) {
    const size_t length = std::strlen(key);
    for (; *text != '\0'; ++text) {
        size_t matched = 0;
        while (matched < length && AsciiUpper(text[matched]) == AsciiUpper(key[matched]))
            ++matched;
        if (matched == length)
            return text;
    }
    return nullptr;
}

} // namespace

bool FindSystemProxy(const char* proxyServer, const char* name, char* address, size_t capacity,
                     DWORD& port) {
    // The entry of `name`, up to the ";" that ends it. The first "name=" in any letter case.
    const size_t nameLength = std::strlen(name);
    const char* entry = nullptr;
    for (const char* at = proxyServer; (at = FindIgnoringCase(at, name)) != nullptr; ++at) {
        if (at[nameLength] == '=') {
            entry = at + nameLength + 1;
            break;
        }
    }
    if (entry == nullptr) {
        if (!EqualIgnoringCase(name, "http") || std::strpbrk(proxyServer, "=;") != nullptr)
            return false;
        entry = proxyServer;
    }
    size_t length = std::strcspn(entry, ";");
    for (size_t i = 0; i + 3 <= length; ++i) {
        if (std::strncmp(entry + i, "://", 3) == 0) {
            entry += i + 3;
            length -= i + 3;
            break;
        }
    }
    // The port follows the entry's last colon; the number ends at the ";" as at any non-digit.
    size_t hostLength = length;
    DWORD entryPort = port;
    for (size_t i = length; i-- > 0;) {
        if (entry[i] == ':') {
            hostLength = i;
            entryPort = static_cast<DWORD>(ReadDecimal(entry + i + 1));
            break;
        }
    }
    if (hostLength == 0 || hostLength + 1 > capacity)
        return false;
    for (size_t i = 0; i < hostLength; ++i)
        address[i] = AsciiLower(entry[i]);
    address[hostLength] = '\0';
    port = entryPort;
    return true;
}
