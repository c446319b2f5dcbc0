// The emulated user is in the United States, as a fresh Wine prefix with an English
// environment reports.
#include <cstring>

#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"

int GetLocaleInfoA(LCID, LCTYPE type, LPSTR buffer, int size) {
    if (DWORD error = hostemu::detail::CheckFault("GetLocaleInfoA")) {
        SetLastError(error);
        return 0;
    }
    // Only the items the program asks for.
    const char* answer = nullptr;
    if ((type & 0xFFFF) == LOCALE_SENGCOUNTRY)
        answer = "United States";
    if (answer == nullptr || size < 0) {
        SetLastError(answer == nullptr ? ERROR_INVALID_FLAGS : ERROR_INVALID_PARAMETER);
        return 0;
    }
    int needed = static_cast<int>(std::strlen(answer)) + 1;
    if (size == 0)
        return needed;
    if (buffer == nullptr || size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, answer, needed);
    return needed;
}
