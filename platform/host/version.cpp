// The platform family the emulated machine reports: the NT family unless a test asks for the
// 95 family. The figures are those of a Windows 7 SP1 machine and of Windows 98 SE, the
// versions the Wine leg of the tests runs as.
#include <cstring>

#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"

namespace {

hostemu::PlatformFamily g_family = hostemu::PlatformFamily::NT;

void CopyText(CHAR (&field)[128], const char* text) {
    std::memset(field, 0, sizeof field);
    std::strncpy(field, text, sizeof field - 1);
}

} // namespace

namespace hostemu {

void SetPlatformFamily(PlatformFamily family) {
    g_family = family;
}

PlatformFamily CurrentPlatformFamily() {
    return g_family;
}

namespace detail {
void ResetVersion() {
    g_family = PlatformFamily::NT;
}
} // namespace detail

} // namespace hostemu

BOOL GetVersionExA(LPOSVERSIONINFOA info) {
    if (DWORD error = hostemu::detail::CheckFault("GetVersionExA")) {
        SetLastError(error);
        return FALSE;
    }
    // Windows would fault on a null pointer; the emulation refuses it instead.
    if (info == nullptr) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    DWORD size = info->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOA) && size != sizeof(OSVERSIONINFOEXA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    bool win9x = g_family == hostemu::PlatformFamily::Win9x;
    info->dwMajorVersion = win9x ? 4 : 6;
    info->dwMinorVersion = win9x ? 10 : 1;
    // The 95 family repeats major and minor version in the build number's high word.
    info->dwBuildNumber = win9x ? 0x040A08AE : 7601;
    info->dwPlatformId = win9x ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT;
    CopyText(info->szCSDVersion, win9x ? " A " : "Service Pack 1");
    if (size == sizeof(OSVERSIONINFOEXA)) {
        auto* extended = reinterpret_cast<OSVERSIONINFOEXA*>(info);
        extended->wServicePackMajor = win9x ? 0 : 1;
        extended->wServicePackMinor = 0;
        extended->wSuiteMask = 0;
        extended->wProductType = win9x ? 0 : VER_NT_WORKSTATION;
        extended->wReserved = 0;
    }
    return TRUE;
}
