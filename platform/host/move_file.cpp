// Delayed moves and deletions go where the NT family keeps them: pairs of NT paths ("\??\"
// and the path) in the Session Manager's PendingFileRenameOperations, an empty destination for
// a deletion, the list ending with one more zero. Existing pairs are kept and the new one goes
// last. Only the delayed form is emulated; the program never moves a file at once. As Windows,
// the call works on the list in UTF-16, so that the pairs already there stay as they are.
#include <string>
#include <vector>

#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"

namespace {

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const WCHAR kPendingValue[] = L"PendingFileRenameOperations";

// "\??\" and the path in UTF-16, the ANSI characters converted as the A calls convert them.
std::wstring NtPath(const char* path) {
    std::wstring wide = L"\\??\\";
    for (const char* p = path; *p; ++p)
        wide += hostemu::detail::AnsiToWide(*p);
    return wide;
}

} // namespace

BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
    if (DWORD error = hostemu::detail::CheckFault(
            "MoveFileExA", existingFileName ? existingFileName : std::string())) {
        SetLastError(error);
        return FALSE;
    }
    // The 95 family has no MoveFileExA ("Windows 95/98/Me: MoveFileEx is not supported", in the
    // platform's documentation of the call; restart-time work goes through wininit.ini there).
    // Wine carries the call out whatever Windows version it reports.
    if (hostemu::CurrentPlatformFamily() == hostemu::PlatformFamily::Win9x) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    if (existingFileName == nullptr || existingFileName[0] == '\0') {
        SetLastError(existingFileName ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!(flags & MOVEFILE_DELAY_UNTIL_REBOOT) || (flags & MOVEFILE_COPY_ALLOWED)) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    HKEY key;
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(result));
        return FALSE;
    }
    std::wstring list;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key, kPendingValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ && size >= sizeof(WCHAR)) {
        std::vector<BYTE> bytes(size);
        if (RegQueryValueExW(key, kPendingValue, nullptr, &type, bytes.data(), &size) ==
            ERROR_SUCCESS) {
            list.assign(reinterpret_cast<const WCHAR*>(bytes.data()), size / sizeof(WCHAR));
            // The list's closing zero goes; the new pair brings it back.
            if (!list.empty() && list.back() == 0)
                list.pop_back();
        }
    }
    list += NtPath(existingFileName) + L'\0';
    if (newFileName != nullptr && newFileName[0] != '\0')
        list += NtPath(newFileName);
    list += L'\0';
    list += L'\0';
    result = RegSetValueExW(key, kPendingValue, 0, REG_MULTI_SZ,
                            reinterpret_cast<const BYTE*>(list.data()),
                            static_cast<DWORD>(list.size() * sizeof(WCHAR)));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(result));
        return FALSE;
    }
    return TRUE;
}
