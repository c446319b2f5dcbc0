// The ANSI code page of the emulated machine is Windows-1252, as on a Western European system.
#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"

namespace {

// 0x80 to 0x9F; the other bytes are their own code points. Unassigned bytes map to themselves,
// as Windows does.
const WCHAR kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

WCHAR ToWide(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : static_cast<WCHAR>(byte);
}

bool ToByte(WCHAR wide, char& byte) {
    if (wide < 0x80 || (wide >= 0xA0 && wide <= 0xFF)) {
        byte = static_cast<char>(wide);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == wide) {
            byte = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

UINT g_ansiCodePage = 1252;

bool KnownCodePage(UINT codePage) {
    return codePage == CP_ACP || codePage == 1252;
}

} // namespace

namespace hostemu {

void SetAnsiCodePage(UINT codePage) {
    g_ansiCodePage = codePage;
}

namespace detail {

WCHAR AnsiToWide(char byte) {
    return ToWide(static_cast<unsigned char>(byte));
}

char WideToAnsi(WCHAR wide) {
    char byte;
    return ToByte(wide, byte) ? byte : '?';
}

} // namespace detail
} // namespace hostemu

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int length, WCHAR* wide, int capacity) {
    if (hostemu::detail::CheckFault("MultiByteToWideChar") || !KnownCodePage(codePage) ||
        text == nullptr || length < -1 || capacity < 0 || (capacity > 0 && wide == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t count = 0;
    if (length == -1) {
        while (text[count] != '\0')
            ++count;
        ++count; // the zero is converted as well
    } else {
        count = static_cast<size_t>(length);
    }
    if (capacity == 0)
        return static_cast<int>(count);
    if (count > static_cast<size_t>(capacity)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (size_t i = 0; i < count; ++i)
        wide[i] = ToWide(static_cast<unsigned char>(text[i]));
    return static_cast<int>(count);
}

int WideCharToMultiByte(UINT codePage, DWORD, const WCHAR* wide, int length, LPSTR text,
                        int capacity, LPCSTR defaultChar, BOOL* usedDefault) {
    if (hostemu::detail::CheckFault("WideCharToMultiByte") || !KnownCodePage(codePage) ||
        wide == nullptr || length < -1 || capacity < 0 || (capacity > 0 && text == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t count = 0;
    if (length == -1) {
        while (wide[count] != 0)
            ++count;
        ++count;
    } else {
        count = static_cast<size_t>(length);
    }
    if (usedDefault)
        *usedDefault = FALSE;
    if (capacity == 0)
        return static_cast<int>(count);
    if (count > static_cast<size_t>(capacity)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (size_t i = 0; i < count; ++i) {
        if (!ToByte(wide[i], text[i])) {
            text[i] = defaultChar ? *defaultChar : '?';
            if (usedDefault)
                *usedDefault = TRUE;
        }
    }
    return static_cast<int>(count);
}

UINT GetACP() {
    hostemu::detail::CountCall("GetACP");
    return g_ansiCodePage;
}

BOOL IsDBCSLeadByte(BYTE) {
    hostemu::detail::CountCall("IsDBCSLeadByte");
    return FALSE;
}
